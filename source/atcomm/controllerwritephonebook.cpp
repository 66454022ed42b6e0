#include "atcomm/controllerwritephonebook.h"

#include "core/parseint.h"

CControllerWritePhoneBook::CControllerWritePhoneBook(IPhoneBookDataProvider* provider)
    : CControllerItemWriter("CControllerWritePhoneBook", kReplyTimeoutMs, kDescriptionKey),
      provider(provider) {
    SetChangesUnit();
}

bool CControllerWritePhoneBook::HasMoreItems() {
    return provider->HasMore();
}

std::string CControllerWritePhoneBook::TakeNextCommand() {
    const int32_t position = provider->NextPosition();
    const std::string number = provider->GetNumber(position);
    const std::string type = provider->GetType(position);
    const std::string text = provider->GetText(position);
    return "AT+CPBW=" + IntToStr(position) + ",\"" + number + "\"," + type + ",\"" + text + "\"\r";
}

int32_t CControllerWritePhoneBook::ItemsLast() const {
    return provider->Last();
}

int32_t CControllerWritePhoneBook::ItemsCurrent() const {
    return provider->Current();
}
