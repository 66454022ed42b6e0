#include "atcomm/controllerdeletesms.h"

#include "core/parseint.h"

CControllerDeleteSms::CControllerDeleteSms(ISmsDelete* provider)
    : CControllerItemWriter("CControllerDeleteSms", kReplyTimeoutMs, kDescriptionKey),
      provider(provider) {
    SetChangesUnit();
}

bool CControllerDeleteSms::HasMoreItems() {
    return provider->HasMore();
}

std::string CControllerDeleteSms::TakeNextCommand() {
    return "AT+CMGD=" + IntToStr(provider->NextIndex()) + "\r";
}

int32_t CControllerDeleteSms::ItemsLast() const {
    return provider->Last();
}

int32_t CControllerDeleteSms::ItemsCurrent() const {
    return provider->Current();
}
