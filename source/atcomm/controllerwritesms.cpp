#include "atcomm/controllerwritesms.h"

#include "atcomm/smsstore.h"
#include "core/textutils.h"

CControllerWriteSms::CControllerWriteSms(ISmsDataProvider* provider)
    : CControllerBase(stMAIN_STEP, "CControllerWriteSms", kReplyTimeoutMs, kDescriptionKey),
      provider(provider) {
    SetChangesUnit();
    stringReader.SetExpected(kSmsPrompt);
}

void CControllerWriteSms::PrepareDescription() {
    progressInfo.SetMaximum(provider->Last());
}

void CControllerWriteSms::PrepareProgress() {
    progressInfo.SetPosition(provider->Current());
}

void CControllerWriteSms::DoAction(uint8_t action) {
    if (action == stWRITE_GSM) {
        actionWriteGsm();
    } else if (action == stWRITE_SMS) {
        actionWriteSms();
    }
}

void CControllerWriteSms::actionWriteGsm() {
    if (!provider->HasMore()) {
        Finish(resultOk);
        return;
    }
    const std::optional<bool> arrived =
        ExchangeForPromptUnlessCancelled(SmsHeaderCommand(provider->GetNumber()), kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool prompted = *arrived;
    if (prompted && ReplyContains(kSmsPrompt)) {
        m_currState = stWRITE_SMS;
    } else {
        Finish(resultFailed);
    }
}

void CControllerWriteSms::actionWriteSms() {
    const std::optional<bool> arrived =
        ExchangeUnlessCancelled(SmsTextCommand(provider->GetText()), kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (completed && IsStoredAt(GetReply(), provider->Current())) {
        ReturnToProgressStep();
        provider->Next();
    } else {
        Finish(resultFailed);
    }
}
