#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/controllerbase.h"

// Keeps the signal display current while the tool is idle: polls the signal quality twice,
// then the network registration, and so on, reporting after every poll on the GUI thread. It
// never finishes by itself; the next operation or a disconnect cancels it.
class CControllerSignalCheck : public CControllerBase {
public:
    // Shown only when the step fails: it runs without a progress step of its own.
    static constexpr char kDescriptionKey[] = "CONTROLLER_SIGNAL_CHECK_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 2000;
    static constexpr uint32_t kPollPauseMs = 2000;
    // Quality polls before each registration poll.
    static constexpr int32_t kQualityPolls = 2;

    // Called on the GUI thread with the quality (-1 when unknown) and the registration status
    // (-1 until the first registration poll has been answered, 0 when its answer was unknown);
    // each call carries the value just read and the last one of the other.
    using TReportSignalEvent = std::function<void(int32_t signalStrength, int32_t loggedOnToNet)>;

    CControllerSignalCheck();

    TReportSignalEvent OnReportSignal;

    // Production keeps the constants above; tests shorten them so polls follow quickly.
    void SetPollPause(uint32_t ms) { pollPauseMs = ms; }

protected:
    void DoAction(uint8_t action) override;

private:
    static constexpr uint8_t stPOLL = 0;
    static constexpr uint8_t stREPORT = 1;

    void actionPoll();
    void actionReport();

    int32_t qualityPolls = kQualityPolls;
    int32_t pollCounter = 0;
    std::string quality;
    std::string registration;
    bool registrationPolled = false;
    uint32_t pollPauseMs = kPollPauseMs;
};
