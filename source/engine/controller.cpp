#include "engine/controller.h"

#include <chrono>
#include <thread>

void IController::SetFailure(std::string message) {
    failureMessage = message.empty() ? std::string("Unknown error") : std::move(message);
    result = resultFailed;
    state = stFINISHED;
}

bool IController::IsCancelRequested() const {
    return cancelEvent != nullptr && cancelEvent->IsSet();
}

void IController::PauseFor(uint32_t ms) const {
    if (cancelEvent != nullptr) {
        cancelEvent->WaitFor(std::chrono::milliseconds(ms));
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}
