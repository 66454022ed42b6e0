#pragma once

#include <cstdint>

#include "engine/controllerbase.h"

// Asks the selected phonebook store for its number of positions, which becomes the phonebook
// size the tool reads and writes. A total that is not a believable store size counts as a
// failed attempt, so the run never goes on with a range it cannot trust.
class CControllerCheckMode : public CControllerBase {
public:
    // Shown only when the step fails: it runs without a progress step of its own.
    static constexpr char kDescriptionKey[] = "CONTROLLER_CHECK_MODE_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2500;
    static constexpr int32_t kAttempts = 2;
    static constexpr int32_t kUnreadCapacity = 90;

    CControllerCheckMode();

    // The total of the last reply read (kUnreadCapacity before any); meaningful after
    // resultOk only.
    int32_t GetCapacity() const { return capacity; }
    // The positions in use, as the same reply gives them; -1 when it named none.
    int32_t GetUsed() const { return used; }

protected:
    void DoAction(uint8_t action) override;

private:
    int32_t attemptsLeft = kAttempts;
    int32_t capacity = kUnreadCapacity;
    int32_t used = -1;
};
