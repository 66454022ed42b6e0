#pragma once

#include <cstdint>

#include "engine/controllerbase.h"

// Switches the module's echo off, selects SMS text mode and stores both in the module's
// profile, one command per step; the first bad reply ends it.
class CControllerConfigure : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_CONFIGURE_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 3000;

    CControllerConfigure();

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stECHO_OFF = stFIRST_WORK;
    static constexpr uint8_t stTEXT_MODE = 3;
    static constexpr uint8_t stSTORE_PROFILE = 4;
    static constexpr uint8_t stFAILED = 5;
};
