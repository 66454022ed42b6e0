#include "atcomm/controllerreadphonebook.h"

#include "atcomm/listingparser.h"
#include "core/parseint.h"

CControllerReadPhoneBook::CControllerReadPhoneBook(IPhoneBookDataCollector* collector)
    : CControllerBase(stMAIN_STEP, "CControllerReadPhoneBook", kReplyTimeoutMs, kDescriptionKey),
      collector(collector) {}

void CControllerReadPhoneBook::PrepareDescription() {
    progressInfo.SetMaximum(collector->Last());
}

void CControllerReadPhoneBook::PrepareProgress() {
    progressInfo.SetPosition(collector->Current());
}

void CControllerReadPhoneBook::DoAction(uint8_t action) {
    if (action != stFIRST_WORK) {
        return;
    }
    if (!collector->HasMore()) {
        Finish(resultOk);
        return;
    }
    const std::optional<bool> arrived = ExchangeUnlessCancelled(
        "AT+CPBR=" + IntToStr(collector->First()) + "," + IntToStr(collector->Last()) + "\r",
        kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (completed && ReplyContains("\r\nOK\r\n")) {
        attemptsLeft = kAttempts;
        ParseReply();
        progressInfo.SetPosition(collector->Current());
        return;
    }
    if (--attemptsLeft < 0) {
        Finish(resultFailed);
    } else {
        ReturnToProgressStep();
    }
    progressInfo.SetPosition(collector->Current());
}

void CControllerReadPhoneBook::ParseReply() {
    const int32_t first = collector->First();
    const int32_t last = collector->Last();
    // The module lists only occupied positions, so every position starts out empty.
    for (int32_t position = 1; position <= last; ++position) {
        collector->SetEntry(position, "", "");
    }
    const CPhoneBookListing listing = ParsePhoneBookListing(GetReply());
    for (const CPhoneBookListingEntry& entry : listing.entries) {
        if (IsCancelRequested()) {
            return;
        }
        // A position outside the range asked for names no row of the caller's table.
        if (entry.position < first || entry.position > last) {
            continue;
        }
        collector->SetEntry(entry.position, entry.number, entry.quotedNumber);
    }
    Finish(listing.hasUnreadable ? resultFailed : resultOk);
}
