#pragma once

#include <cstdint>

#include "engine/controllerbase.h"

// Selects the phonebook store the next phonebook commands work on: the SIM's ("SM") or the
// module's ("ME").
class CControllerChangeMode : public CControllerBase {
public:
    // Shown only when the step fails: it runs without a progress step of its own.
    static constexpr char kDescriptionKey[] = "CONTROLLER_CHANGE_MODE_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2500;
    static constexpr int32_t kAttempts = 2;

    CControllerChangeMode();

    // Before queueing: true selects "SM", false "ME".
    void SetSimStore(bool simStore) { this->simStore = simStore; }
    bool IsSimStore() const { return simStore; }

protected:
    void DoAction(uint8_t action) override;

private:
    int32_t attemptsLeft = kAttempts;
    bool simStore = false;
};
