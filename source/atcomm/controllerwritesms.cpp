#include "atcomm/controllerwritesms.h"

#include "atcomm/smsstore.h"
#include "core/textutils.h"

CControllerWriteSms::CControllerWriteSms(ISmsDataProvider* provider)
    : CControllerBase(stMAIN_STEP, "CControllerWriteSms", kReplyTimeoutMs, kDescriptionKey),
      provider(provider) {
    stringReader.SetExpected(kSmsPrompt);
}

void CControllerWriteSms::SetReplyTimeout(uint32_t ms) {
    reader.SetTimeout(ms);
    stringReader.SetTimeout(ms);
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
    SendCommand(SmsHeaderCommand(provider->GetNumber()), kCommandPauseMs);
    if (IsCancelRequested()) {
        return;
    }
    const bool prompted = ReadPrompt();
    if (IsCancelRequested()) {
        return;
    }
    if (prompted && ReplyContains(kSmsPrompt)) {
        m_currState = stWRITE_SMS;
    } else {
        Finish(resultFailed);
    }
}

void CControllerWriteSms::actionWriteSms() {
    SendCommand(SmsTextCommand(provider->GetText()), kCommandPauseMs);
    if (IsCancelRequested()) {
        return;
    }
    const bool completed = ReadReply();
    if (IsCancelRequested()) {
        return;
    }
    if (completed && IsStoredAt(GetReply(), provider->Current())) {
        ReturnToProgressStep();
        provider->Next();
    } else {
        Finish(resultFailed);
    }
}
