#pragma once

#include <cstdint>
#include <string>

#include "engine/controllerbase.h"

// Asks the module for its serial number (IMEI) with "AT+CGSN", so that the records and the
// support log can tell one unit from the next. A module that refuses the command, or gives no
// number the tool can read, simply leaves the number unknown: the unit's configuration does not
// depend on it, so this never fails a connect.
class CControllerUnitIdentity : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_UNIT_IDENTITY_DESCRIPTION";
    // The module answers from its own memory at once; a refusal arrives as an error reply,
    // which the reader waits out as a time-out, so this is kept short.
    static constexpr uint32_t kReplyTimeoutMs = 1000;

    CControllerUnitIdentity();

    // Empty while unknown.
    const std::string& GetSerialNumber() const { return serialNumber; }

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stASK = stFIRST_WORK;
    static constexpr uint8_t stDONE = 3;

    std::string serialNumber;
};
