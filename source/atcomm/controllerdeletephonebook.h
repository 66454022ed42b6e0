#pragma once

#include <cstdint>
#include <string>

#include "atcomm/controlleritemwriter.h"
#include "atcomm/phonebookdata.h"

// Empties, one position per command, every position the delete provider offers.
class CControllerDeletePhoneBook : public CControllerItemWriter {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_DELETE_PHONEBOOK_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 5000;

    // The provider is lent: its owner keeps it alive and resets it before queueing.
    explicit CControllerDeletePhoneBook(IPhoneBookDelete* provider);

protected:
    bool HasMoreItems() override;
    std::string TakeNextCommand() override;
    int32_t ItemsLast() const override;
    int32_t ItemsCurrent() const override;

private:
    IPhoneBookDelete* provider;
};
