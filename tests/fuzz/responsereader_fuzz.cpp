// The response readers over a scripted far end that sends the input, in pieces: a read ends
// (completed, at its byte limit or at its time-out), keeps only bytes that arrived, in order,
// leaves the rest in the port, and calls a reply complete only when it is.

#include <chrono>
#include <string>

#include "engine/replylines.h"
#include "engine/responsereader.h"
#include "fuzzcheck.h"
#include "support/scriptedsource.h"

namespace {

// What the far end sent after the read: the read must have left it whole, in order.
std::string Rest(ScriptedSource& source, std::size_t expected) {
    std::string rest;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (rest.size() < expected && std::chrono::steady_clock::now() < giveUp) {
        char buffer[256];
        uint32_t received = 0;
        source.Read(buffer, sizeof buffer, received);
        rest.append(buffer, received);
        if (received == 0) {
            source.WaitForData(1);
        }
    }
    return rest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the reader and its byte limit, the second where the bytes split into
    // two pieces, the second arriving a moment later.
    const bool prompt = (data[0] & 1) != 0;
    const std::size_t limit = 16 + (data[0] >> 1) * 8;
    const std::string bytes = FuzzText(data + 2, size - 2);
    const std::size_t split = bytes.empty() ? 0 : data[1] % (bytes.size() + 1);

    auto source = MakeRef<ScriptedSource>();
    source->Push(bytes.substr(0, split));
    source->AddChunk(std::chrono::milliseconds(1), bytes.substr(split));
    source->Start();
    if (prompt) {
        CGeneralStringReader reader;
        reader.SetExpected("> ");
        reader.SetTimeout(10);
        reader.Read(source.get());
        const std::string got = reader.GetResponse();
        FUZZ_CHECK(bytes.starts_with(got));
        if (!reader.IsTimedOut()) {
            // It stops at the first prompt and leaves what follows in the port.
            FUZZ_CHECK(got.ends_with("> ") && got.find("> ") == got.size() - 2);
            FUZZ_CHECK(got + Rest(*source, bytes.size() - got.size()) == bytes);
        }
    } else {
        CGeneralResponseReader reader;
        reader.SetTimeout(10);
        reader.SetLimits(limit, 0);
        reader.Read(source.get());
        const std::string got = reader.GetResponse();
        FUZZ_CHECK(bytes.starts_with(got));
        FUZZ_CHECK(got.size() <= limit);
        FUZZ_CHECK(got + Rest(*source, bytes.size() - got.size()) == bytes);
        if (!reader.IsTimedOut()) {
            FUZZ_CHECK(CReplyLines(got).EndsWithFinalOk());
        }
    }
    return 0;
}
