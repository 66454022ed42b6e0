#include "atcomm/controlleritemwriter.h"

CControllerItemWriter::CControllerItemWriter(std::string name, uint32_t replyTimeoutMs,
                                             std::string descriptionKey)
    : CControllerBase(stMAIN_STEP, std::move(name), replyTimeoutMs, std::move(descriptionKey)) {}

void CControllerItemWriter::PrepareDescription() {
    progressInfo.SetMaximum(ItemsLast());
}

void CControllerItemWriter::PrepareProgress() {
    progressInfo.SetPosition(ItemsCurrent());
}

void CControllerItemWriter::DoAction(uint8_t action) {
    if (action != stFIRST_WORK) {
        return;
    }
    std::string text;
    if (repeat) {
        text = command;
    } else {
        if (!HasMoreItems()) {
            Finish(resultOk);
            return;
        }
        text = TakeNextCommand();
    }
    ReturnToProgressStep();
    const std::optional<bool> arrived = ExchangeUnlessCancelled(std::move(text), kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (completed) {
        repeat = false;
        attemptsLeft = kAttempts;
    } else {
        repeat = true;
        if (--attemptsLeft < 0) {
            Finish(resultFailed);
        }
    }
    progressInfo.SetPosition(ItemsCurrent());
}
