#include "atcomm/controllerreadsms.h"

#include "atcomm/listingparser.h"

namespace {
// Past the last working step, so a stray Step after the parse does nothing.
constexpr uint8_t stPARSED = 3;
}  // namespace

CControllerReadSms::CControllerReadSms(ISmsDataCollector* collector)
    : CControllerBase(stMAIN_STEP, "CControllerReadSms", kReplyTimeoutMs, kDescriptionKey),
      collector(CRefPtr<ISmsDataCollector>::Share(collector)) {}

void CControllerReadSms::PrepareDescription() {
    progressInfo.SetMaximum(collector->Last());
}

void CControllerReadSms::PrepareProgress() {
    progressInfo.SetPosition(collector->Current());
}

void CControllerReadSms::DoAction(uint8_t action) {
    if (action != stFIRST_WORK) {
        return;
    }
    // A repeat sends the same listing command again.
    const std::optional<bool> arrived =
        ExchangeUnlessCancelled("AT+CMGL=\"ALL\"\r", kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (!completed) {
        repeat = true;
        if (--attemptsLeft < 0) {
            Finish(resultFailed);
        }
        return;
    }
    repeat = false;
    attemptsLeft = kAttempts;
    m_currState = stPARSED;
    ParseReply();
}

void CControllerReadSms::ParseReply() {
    const CSmsListing listing = ParseSmsListing(GetReply());
    if (listing.outcome == CSmsListing::Outcome::Empty) {
        Finish(resultOk);
        return;
    }
    if (listing.outcome == CSmsListing::Outcome::NotAListing) {
        Finish(resultFailed);
        return;
    }
    const int32_t first = collector->First();
    const int32_t last = collector->Last();
    for (const CSmsListingEntry& message : listing.messages) {
        if (IsCancelRequested()) {
            return;
        }
        // Messages outside the collector's range (a received message, a store larger than the
        // unit uses) belong to no row.
        if (message.index < first || message.index > last) {
            continue;
        }
        collector->SetMessage(message.index, message.number, message.text);
    }
    Finish(listing.outcome == CSmsListing::Outcome::Listed ? resultOk : resultFailed);
}
