#pragma once

#include <cstdint>
#include <string>

#include "engine/controllerbase.h"

// Asks the module to identify itself with "ATI" until the answer names a supported maker. Each
// attempt is followed by a progress step, so the bar shows the attempts used. The first attempt
// is preceded by ESC: a module that an earlier run or another program left waiting for message
// text would take every "ATI" for more text.
class CControllerConnectionCheck : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_CONNECTION_CHECK_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2000;
    // Time for a released module to answer the ESC before the first "ATI".
    static constexpr uint32_t kReleasePauseMs = 100;

    explicit CControllerConnectionCheck(int32_t attempts);

    int32_t GetAttemptsLeft() const { return attemptsLeft; }
    // Something answered "ATI" completely, but named no supported maker: a device is there and
    // talks, it is just not the unit's module.
    bool HasUnsupportedAnswer() const { return !identification.empty(); }
    // The last such answer's lines, without the echo and the final result.
    const std::string& GetIdentification() const { return identification; }
    // What the supported module's answer named: its first two lines. Empty until it answered.
    const std::string& GetMaker() const { return maker; }
    const std::string& GetModel() const { return model; }

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stATTEMPT = stFIRST_WORK;
    static constexpr uint8_t stDONE = 3;

    int32_t attemptsLeft;
    std::string identification;
    std::string maker;
    std::string model;
    bool released = false;
};
