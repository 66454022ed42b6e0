#include "support/quickcontrollers.h"

#include <algorithm>

#include "atcomm/controllersignalcheck.h"
#include "atcomm/controllerunitidentity.h"
#include "atcomm/controllerwaitforsim.h"
#include "engine/controllerbase.h"

void MakeQuick(IController& controller, uint32_t replyTimeoutMs, uint32_t pollPauseMs) {
    auto* base = dynamic_cast<CControllerBase*>(&controller);
    if (base == nullptr) {
        return;
    }
    base->SetCommandPauseLimit(0);
    // The identity's own time-out is short already; a longer one would only wait out refusals.
    const bool identity = dynamic_cast<CControllerUnitIdentity*>(base) != nullptr;
    base->SetReplyTimeout(identity
                              ? std::min(replyTimeoutMs, CControllerUnitIdentity::kReplyTimeoutMs)
                              : replyTimeoutMs);
    if (auto* wait = dynamic_cast<CControllerWaitForSim*>(base)) {
        wait->SetPinPauses(0, 0);
    }
    if (auto* signal = dynamic_cast<CControllerSignalCheck*>(base)) {
        signal->SetPollPause(pollPauseMs);
    }
}
