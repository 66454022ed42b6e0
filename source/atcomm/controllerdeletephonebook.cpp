#include "atcomm/controllerdeletephonebook.h"

#include "core/parseint.h"

CControllerDeletePhoneBook::CControllerDeletePhoneBook(IPhoneBookDelete* provider)
    : CControllerItemWriter("CControllerDeletePhoneBook", kReplyTimeoutMs, kDescriptionKey),
      provider(provider) {
    SetChangesUnit();
}

bool CControllerDeletePhoneBook::HasMoreItems() {
    return provider->HasMore();
}

std::string CControllerDeletePhoneBook::TakeNextCommand() {
    return "AT+CPBW=" + IntToStr(provider->NextPosition()) + "\r";
}

int32_t CControllerDeletePhoneBook::ItemsLast() const {
    return provider->Last();
}

int32_t CControllerDeletePhoneBook::ItemsCurrent() const {
    return provider->Current();
}
