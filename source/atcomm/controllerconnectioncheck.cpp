#include "atcomm/controllerconnectioncheck.h"

#include <vector>

#include "atcomm/replyparser.h"

CControllerConnectionCheck::CControllerConnectionCheck(int32_t attempts)
    : CControllerBase(stMAIN_STEP, "CControllerConnectionCheck", kReplyTimeoutMs, kDescriptionKey,
                      DefaultDescription::Named),
      attemptsLeft(attempts) {
    progressInfo.SetMaximum(attempts);
    progressInfo.SetPosition(0);
}

namespace {

// The lines a device gave about itself: every non-empty line but the echoed command and the
// final result, joined by blanks.
std::string IdentificationLines(const std::string& reply) {
    std::string lines;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = reply.size();
        }
        const std::string line = reply.substr(start, end - start);
        if (!line.empty() && line != "OK" && line != "ATI") {
            lines += (lines.empty() ? "" : " ") + line;
        }
        start = end + 1;
    }
    return lines.empty() ? std::string("?") : lines;
}

}  // namespace

void CControllerConnectionCheck::DoAction(uint8_t action) {
    if (action != stATTEMPT) {
        return;
    }
    ReturnToProgressStep();
    if (attemptsLeft < 1) {
        m_currState = stDONE;
        Finish(resultFailed);
        return;
    }
    if (!released) {
        released = true;
        ReleaseTextEntry(kReleasePauseMs);
    }
    if (Exchange("ATI\r")) {
        // Case matters: the makers write their names exactly so.
        if (ReplyContains("SIEMENS") || ReplyContains("TRIORAIL") || ReplyContains("Cinterion")) {
            const std::vector<std::string> lines = ParseIdentificationLines(GetReply());
            maker = !lines.empty() ? lines[0] : std::string();
            model = lines.size() > 1 ? lines[1] : std::string();
            m_currState = stDONE;
            Finish(resultOk);
        } else {
            // A module that answers but is not ours is given up on twice as fast as silence.
            --attemptsLeft;
            identification = IdentificationLines(GetReply());
        }
    }
    --attemptsLeft;
    progressInfo.SetPosition(progressInfo.GetMaximum() - attemptsLeft);
}
