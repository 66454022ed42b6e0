#include "support/quickcontrollers.h"

#include <algorithm>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerconfigure.h"
#include "atcomm/controllerconnectioncheck.h"
#include "atcomm/controllerdeletephonebook.h"
#include "atcomm/controllerdeletesms.h"
#include "atcomm/controlleritemwriter.h"
#include "atcomm/controllerpin.h"
#include "atcomm/controllerreadphonebook.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllerreadsms.h"
#include "atcomm/controllersignalcheck.h"
#include "atcomm/controllersmartwritesms.h"
#include "atcomm/controllerunitidentity.h"
#include "atcomm/controllerwaitforsim.h"
#include "atcomm/controllerwritephonebook.h"
#include "atcomm/controllerwritesms.h"

namespace {

template <typename T>
bool Shorten(IController& controller, uint32_t ms) {
    if (auto* typed = dynamic_cast<T*>(&controller)) {
        typed->SetReplyTimeout(ms);
        return true;
    }
    return false;
}

}  // namespace

void MakeQuick(IController& controller, uint32_t replyTimeoutMs, uint32_t pollPauseMs) {
    if (auto* base = dynamic_cast<CControllerBase*>(&controller)) {
        base->SetCommandPauseLimit(0);
    }
    if (auto* wait = dynamic_cast<CControllerWaitForSim*>(&controller)) {
        wait->SetReplyTimeout(replyTimeoutMs);
        wait->SetPinPauses(0, 0);
        return;
    }
    if (auto* signal = dynamic_cast<CControllerSignalCheck*>(&controller)) {
        signal->SetReplyTimeout(replyTimeoutMs);
        signal->SetPollPause(pollPauseMs);
        return;
    }
    Shorten<CControllerChangeMode>(controller, replyTimeoutMs) ||
        Shorten<CControllerCheckMode>(controller, replyTimeoutMs) ||
        Shorten<CControllerConfigure>(controller, replyTimeoutMs) ||
        Shorten<CControllerConnectionCheck>(controller, replyTimeoutMs) ||
        Shorten<CControllerItemWriter>(controller, replyTimeoutMs) ||
        Shorten<CControllerPin>(controller, replyTimeoutMs) ||
        Shorten<CControllerReadPhoneBook>(controller, replyTimeoutMs) ||
        Shorten<CControllerReadSetting>(controller, replyTimeoutMs) ||
        Shorten<CControllerReadSms>(controller, replyTimeoutMs) ||
        Shorten<CControllerSmartWriteSms>(controller, replyTimeoutMs) ||
        Shorten<CControllerWriteSms>(controller, replyTimeoutMs) ||
        Shorten<CControllerUnitIdentity>(
            controller, std::min(replyTimeoutMs, CControllerUnitIdentity::kReplyTimeoutMs));
}
