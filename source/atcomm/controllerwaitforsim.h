#pragma once

#include <cstdint>

#include "engine/controllerbase.h"

// Polls the SIM with a phonebook read until it answers with a final OK: after a code entry
// the SIM is busy for a while and refuses its stores. After a PIN dialog it waits longer
// before each poll and once more after the SIM is ready. When its attempts are used up it
// fails instead of polling for ever.
class CControllerWaitForSim : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_WAIT_FOR_SIM_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2000;
    static constexpr uint32_t kPauseBeforePollMs = 4000;
    static constexpr uint32_t kPauseAfterReadyMs = 3000;

    // `pinAsked` is the main window's flag, set when the PIN dialog was shown; it is read at
    // every poll, so it must outlive the controller's run.
    CControllerWaitForSim(int32_t attempts, const bool& pinAsked);
    // The flag is read long after construction: a temporary would be gone by then.
    CControllerWaitForSim(int32_t attempts, const bool&& pinAsked) = delete;

    // Production keeps the constants above; tests shorten them so waits are not sat out.
    void SetPinPauses(uint32_t beforePollMs, uint32_t afterReadyMs);

    int32_t GetAttemptsLeft() const { return attemptsLeft; }

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stPOLL = stFIRST_WORK;
    static constexpr uint8_t stDONE = 3;

    void End(uint8_t code);

    int32_t attemptsLeft;
    const bool& pinAsked;
    uint32_t pauseBeforePollMs = kPauseBeforePollMs;
    uint32_t pauseAfterReadyMs = kPauseAfterReadyMs;
};
