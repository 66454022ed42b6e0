#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "engine/controller.h"
#include "engine/controllerprocessor.h"

// The GUI-thread side of the engine. The main window queues controllers here and starts a
// run; the handler gives one controller at a time to the worker, runs main-thread steps when
// the worker asks for them, reports finished controllers and starts the next one. It reaches
// the GUI thread only through the "post to main thread" function it is given, which must run
// each closure later on the GUI thread, in order. All operations are for the GUI thread.
class CProcessorHandler {
public:
    using TPostToMain = std::function<void(std::function<void()>)>;
    using TIdEvent = std::function<void(const std::string& id)>;
    using TExceptionEvent = std::function<void(const std::string& id, const std::exception& error)>;
    using TFinishedEvent =
        std::function<void(const std::string& id, IController* processedController)>;
    using TControllerEvent = std::function<void(IController* controller)>;

    explicit CProcessorHandler(TPostToMain postToMain);
    // Stops and ends the worker; notifications still on their way are ignored afterwards, and
    // controllers still queued are released.
    ~CProcessorHandler();
    CProcessorHandler(const CProcessorHandler&) = delete;
    CProcessorHandler& operator=(const CProcessorHandler&) = delete;

    // Queues a controller, taking over the caller's reference, and gives it the next id.
    // A null controller is ignored.
    void Add(IController* controller);
    void Add(CRefPtr<IController> controller) { Add(controller.Detach()); }
    // Starts or resumes processing; false when there is nothing to run.
    bool Run();
    void SetCancel(bool flag);
    // Returns once the worker is held and out of any step.
    void WaitIdle();
    // Empties the queue, releasing every controller.
    void Clean();

    std::size_t GetQueueCount() const { return queue.size(); }
    IController* GetFront() const { return queue.empty() ? nullptr : queue.front(); }

    // Published properties, plain fields as the main window sets them.
    std::string ID;
    bool AutoExecuteMain = true;
    TExceptionEvent OnException;
    TFinishedEvent OnControllerFinished;
    TIdEvent BeforeRun;
    TIdEvent AfterCompleted;
    TControllerEvent BeforeProcessController;
    // Declared for the main window's wiring; the handler never raises them.
    TIdEvent OnCleaned;
    TProgressEvent OnProgress;

private:
    void HandleNotification(int32_t id, uint64_t handover);
    void ProcessNotification(IController* controller);
    void StartController(IController* controller);

    const TPostToMain postToMain;
    // Closures posted to the GUI thread check this before touching the handler.
    std::shared_ptr<CProcessorHandler*> alive;
    int32_t nextId = 0;
    bool mainStepPending = false;
    std::deque<IController*> queue;
    std::unique_ptr<CControllerProcessor> processor;
};
