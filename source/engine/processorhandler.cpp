#include "engine/processorhandler.h"

#include <stdexcept>

CProcessorHandler::CProcessorHandler(TPostToMain postToMain)
    : postToMain(std::move(postToMain)), alive(std::make_shared<CProcessorHandler*>(this)) {
    if (!this->postToMain) {
        // Without it the worker could never hand a controller back.
        throw std::invalid_argument("CProcessorHandler needs a post-to-main-thread function");
    }
    std::weak_ptr<CProcessorHandler*> token = alive;
    processor = std::make_unique<CControllerProcessor>(
        [post = &this->postToMain, token](int32_t id, uint64_t handover) {
            (*post)([token, id, handover] {
                if (const std::shared_ptr<CProcessorHandler*> handler = token.lock()) {
                    (*handler)->HandleNotification(id, handover);
                }
            });
        });
}

CProcessorHandler::~CProcessorHandler() {
    processor->SetCancelled(true);
    processor->HoldAndWait();
    processor.reset();
    alive.reset();
    for (IController* controller : queue) {
        controller->Release();
    }
}

void CProcessorHandler::Add(IController* controller) {
    if (controller == nullptr) {
        return;
    }
    controller->SetId(++nextId);
    queue.push_back(controller);
}

bool CProcessorHandler::Run() {
    processor->HoldAndWait();
    if (processor->IsCancelled()) {
        processor->SetCancelled(false);
    }
    if (BeforeRun) {
        BeforeRun(ID);
    }
    if (mainStepPending) {
        queue.front()->Step();
        mainStepPending = false;
        processor->SetPaused(false);
        return true;
    }
    if (!queue.empty()) {
        StartController(queue.front());
        processor->SetPaused(false);
        return true;
    }
    return false;
}

void CProcessorHandler::SetCancel(bool flag) {
    processor->SetCancelled(flag);
}

void CProcessorHandler::WaitIdle() {
    processor->HoldAndWait();
}

void CProcessorHandler::Clean() {
    mainStepPending = false;
    while (!queue.empty()) {
        IController* controller = queue.front();
        queue.pop_front();
        controller->Release();
    }
    processor->SetController(nullptr);
}

void CProcessorHandler::StartController(IController* controller) {
    if (BeforeProcessController) {
        BeforeProcessController(controller);
    }
    processor->SetController(controller);
}

void CProcessorHandler::HandleNotification(int32_t id, uint64_t handover) {
    // Stale: posted before a Clean, for a controller already reported, or overtaken by a
    // cancel or a new Run, after which the worker may be running again.
    if (queue.empty() || queue.front()->GetId() != id || !processor->IsHandoverOpen(handover)) {
        return;
    }
    // Kept alive through the callbacks: a finish handler that cleans the queue frees it, and
    // its address could otherwise come back for a controller queued in the same handler.
    const CRefPtr<IController> controller = CRefPtr<IController>::Share(queue.front());
    try {
        ProcessNotification(controller.get());
    } catch (const std::exception& error) {
        if (!OnException) {
            throw;
        }
        OnException(ID, error);
    }
}

void CProcessorHandler::ProcessNotification(IController* controller) {
    switch (controller->GetState()) {
        case IController::stMAIN_STEP:
            if (AutoExecuteMain) {
                controller->Step();
                processor->SetPaused(false);
            } else {
                mainStepPending = true;
            }
            break;
        case IController::stFINISHED:
            if (OnControllerFinished) {
                OnControllerFinished(ID, controller);
            }
            // The finish handler may have cleaned the queue already; only the controller just
            // reported is removed, and only once.
            if (!queue.empty() && queue.front() == controller) {
                queue.pop_front();
                controller->Release();
            }
            if (!queue.empty()) {
                StartController(queue.front());
                processor->SetPaused(false);
            } else if (AfterCompleted) {
                AfterCompleted(ID);
            }
            break;
        default:
            break;
    }
}
