#pragma once

#include <cstdint>
#include <string>

#include "atcomm/controlleritemwriter.h"
#include "atcomm/smsdata.h"

// Deletes, one index per command, every stored message the delete provider offers.
class CControllerDeleteSms : public CControllerItemWriter {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_DELETE_SMS_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 6000;

    // The provider is lent: its owner keeps it alive and resets it before queueing.
    explicit CControllerDeleteSms(ISmsDelete* provider);

protected:
    bool HasMoreItems() override;
    std::string TakeNextCommand() override;
    int32_t ItemsLast() const override;
    int32_t ItemsCurrent() const override;

private:
    ISmsDelete* provider;
};
