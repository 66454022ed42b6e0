#include "engine/responsereader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <string>

#include "engine/replylines.h"
#include "engine/taketime.h"

namespace {

constexpr std::size_t kPollBytes = 512;
// A final "OK" counts only once the line has been quiet for more than this, so that a result
// code split across two deliveries is not taken for the end. It is measured to the clock's own
// resolution: whole milliseconds would make "more than 5" mean 6 or more, and every command would
// pay for it.
constexpr std::chrono::milliseconds kQuiet{5};

// Judged on lines, so that unsolicited reports (a `RING` just after the final result, a
// `+CMTI:` in the middle) neither keep a complete reply waiting for its time-out nor end one
// early. Only a reply that ends with a line end can be complete: a report still arriving is
// left to finish first, and the lines are not split while one is still arriving.
bool IsCompleteReply(const std::string& text) {
    return text.ends_with("\r\n") && CReplyLines(text).EndsWithFinalOk();
}

}  // namespace

void IResponseReader::SetCancelEvent(CEvent* event) {
    cancelEvent = event;
}

bool IResponseReader::IsCancelRequested() const {
    return cancelEvent != nullptr && cancelEvent->IsSet();
}

void CGeneralResponseReader::SetLimits(std::size_t maxBytes, uint32_t minTotalMs) {
    byteLimit = maxBytes;
    totalFloorMs = minTotalMs;
}

void CGeneralResponseReader::Read(ICommSource* source) {
    timedOut = false;
    std::array<char, kPollBytes> buffer{};
    std::string text;
    // 0: nothing yet; 1: receiving, no line end yet; 2: at least one line end seen.
    int phase = 0;
    // Counts from the call, then from the first bytes, then from the latest bytes.
    CTakeTime watch;
    const CTakeTime total;
    const uint64_t totalLimitMs = std::max<uint64_t>(totalFloorMs, uint64_t{3} * timeout);
    bool cancelled = false;

    for (;;) {
        const auto room = static_cast<uint32_t>(std::min(kPollBytes, byteLimit - text.size()));
        uint32_t received = 0;
        source->Read(buffer.data(), room, received);
        received = std::min(received, room);
        if (received > 0) {
            text.append(buffer.data(), received);
        }

        if (phase == 0 && received > 0) {
            phase = 1;
            watch.Start();
        }
        if (phase == 1) {
            // Only the new bytes and the one before them can complete a first line end.
            const std::size_t from = text.size() - received;
            if (text.find("\r\n", from == 0 ? 0 : from - 1) != std::string::npos) {
                phase = 2;
            }
        }
        // The wait still needed before a complete reply counts as ended, if any.
        std::optional<std::chrono::steady_clock::duration> quietLeft;
        if (phase == 2) {
            if (received > 0) {
                watch.Start();
            } else if (IsCompleteReply(text)) {
                quietLeft = kQuiet - watch.Span();
                if (*quietLeft < std::chrono::steady_clock::duration::zero()) {
                    response = std::move(text);
                    return;
                }
            }
        }

        if (IsCancelRequested()) {
            cancelled = true;
            break;
        }
        const uint32_t elapsed = watch.Elapsed();
        if (elapsed >= timeout || text.size() >= byteLimit || total.Elapsed() >= totalLimitMs) {
            break;
        }
        if (received == 0) {
            uint32_t wait = std::min(kPollPauseMs, timeout - elapsed);
            if (quietLeft) {
                // No longer than the rest of the quiet period, rounded up to the millisecond.
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(*quietLeft).count();
                wait = std::min(wait, static_cast<uint32_t>(std::max<int64_t>(left, 1)));
            }
            source->WaitForData(wait);
        }
    }

    // Whatever stopped the read other than a cancel is a time-out, even when the clock shows
    // exactly the time-out, so an unfinished or error reply never passes as success.
    timedOut = !cancelled || watch.Elapsed() >= timeout;
    response = std::move(text);
}

void CGeneralStringReader::Read(ICommSource* source) {
    timedOut = false;
    std::string text;
    const CTakeTime watch;
    for (;;) {
        if (IsCancelRequested()) {
            return;
        }
        const uint32_t elapsed = watch.Elapsed();
        if (elapsed > timeout) {
            timedOut = true;
            return;
        }
        char byte = 0;
        uint32_t received = 0;
        source->Read(&byte, 1, received);
        if (received > 0) {
            text.push_back(byte);
        }
        // Tested after every single byte, so a match can only end at the newest one.
        if (text.ends_with(expected)) {
            response = std::move(text);
            return;
        }
        if (received == 0) {
            source->WaitForData(static_cast<uint32_t>(
                std::min<uint64_t>(kPollPauseMs, uint64_t{timeout} - elapsed + 1)));
        }
    }
}
