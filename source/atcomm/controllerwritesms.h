#pragma once

#include <cstdint>
#include <string>

#include "atcomm/smsdata.h"
#include "engine/controllerbase.h"

// Stores the messages the provider supplies, one after another, and checks that the module
// puts each at the index the provider expects. It never retries: the first bad reply ends it.
class CControllerWriteSms : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_WRITE_SMS_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 8000;
    // Working states: the header is sent and the prompt awaited, then the text is sent.
    static constexpr uint8_t stWRITE_GSM = 2;
    static constexpr uint8_t stWRITE_SMS = 3;

    // The provider is lent: its owner keeps it alive and resets it before queueing.
    explicit CControllerWriteSms(ISmsDataProvider* provider);

protected:
    void DoAction(uint8_t action) override;
    void PrepareDescription() override;
    void PrepareProgress() override;

private:
    void actionWriteGsm();
    void actionWriteSms();

    ISmsDataProvider* provider;
};
