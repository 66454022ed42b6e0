#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

// The base of the worker thread: it owns the thread, asks it to end and waits for it, and
// gives exceptions that reach it to an optional handler. The handler runs on the worker
// itself; nothing here waits for the GUI thread, so a failing device can never leave the worker
// blocked on a window that is busy waiting for the worker.
class CExceptionThread {
public:
    using TExceptionHandler = std::function<void(std::exception_ptr error)>;

    CExceptionThread(const CExceptionThread&) = delete;
    CExceptionThread& operator=(const CExceptionThread&) = delete;
    // The derived class must have ended the thread (Terminate, then WaitFor) before this runs.
    virtual ~CExceptionThread();

    // Set before the thread starts or while it cannot raise (it is read on the worker).
    virtual void SetExceptionHandler(TExceptionHandler handler);

    bool IsTerminated() const { return terminated.load(std::memory_order_acquire); }
    bool IsCurrentThread() const { return std::this_thread::get_id() == thread.get_id(); }

protected:
    CExceptionThread() = default;

    // Starts Execute on a new thread; derived constructors call it last, once they are whole.
    void Start();
    // Asks Execute to return; WakeUp lets a sleeping loop notice at once.
    void Terminate();
    // Waits until Execute has returned. Not to be called from the worker itself.
    void WaitFor();

    virtual void Execute() = 0;
    virtual void WakeUp() {}
    // Reports an exception to the handler, if one is set, on the calling thread.
    virtual void HandleException(std::exception_ptr error);

private:
    void Run();

    std::atomic<bool> terminated{false};
    TExceptionHandler exceptionHandler;
    std::thread thread;
};
