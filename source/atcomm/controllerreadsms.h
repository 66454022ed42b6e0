#pragma once

#include <cstdint>
#include <string>

#include "atcomm/smsdata.h"
#include "core/refobject.h"
#include "engine/controllerbase.h"

// Lists every stored message with one command and hands each message inside the collector's
// index range to the collector, with its index, number and Windows-1252 text.
class CControllerReadSms : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_READ_SMS_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 10000;
    // Reads after the first that a timed-out listing may take.
    static constexpr int32_t kAttempts = 3;

    // Takes a reference on the collector for as long as the controller lives.
    explicit CControllerReadSms(ISmsDataCollector* collector);

protected:
    void DoAction(uint8_t action) override;
    void PrepareDescription() override;
    void PrepareProgress() override;

private:
    void ParseReply();

    CRefPtr<ISmsDataCollector> collector;
    int32_t attemptsLeft = kAttempts;
    bool repeat = false;
};
