#pragma once

#include <cstdint>
#include <string>

#include "engine/controllerbase.h"

// Reads the number field of one phonebook position of the selected store. An empty position
// reads as an empty value, which is not a failure.
class CControllerReadSetting : public CControllerBase {
public:
    // Shown only when the step fails: it runs without a progress step of its own.
    static constexpr char kDescriptionKey[] = "CONTROLLER_READ_SETTING_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2500;
    static constexpr int32_t kAttempts = 2;

    CControllerReadSetting();

    // Before queueing.
    void SetPosition(int32_t position) { this->position = position; }
    int32_t GetPosition() const { return position; }
    // After resultOk: the number field read.
    std::string GetValue() const { return value; }

protected:
    void DoAction(uint8_t action) override;

private:
    int32_t attemptsLeft = kAttempts;
    int32_t position = 1;
    std::string value;
};
