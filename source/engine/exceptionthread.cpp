#include "engine/exceptionthread.h"

#include <cassert>

CExceptionThread::~CExceptionThread() {
    // A thread still joinable here would call std::terminate; end it as a last resort.
    if (thread.joinable()) {
        terminated.store(true, std::memory_order_release);
        thread.join();
    }
}

void CExceptionThread::SetExceptionHandler(TExceptionHandler handler) {
    exceptionHandler = std::move(handler);
}

void CExceptionThread::Start() {
    assert(!thread.joinable());
    thread = std::thread([this] { Run(); });
}

void CExceptionThread::Terminate() {
    terminated.store(true, std::memory_order_release);
    WakeUp();
}

void CExceptionThread::WaitFor() {
    if (thread.joinable() && !IsCurrentThread()) {
        thread.join();
    }
}

void CExceptionThread::HandleException(std::exception_ptr error) {
    if (exceptionHandler) {
        exceptionHandler(error);
    }
}

void CExceptionThread::Run() {
    // An exception that escapes Execute would otherwise end the whole program.
    try {
        Execute();
    } catch (...) {
        try {
            HandleException(std::current_exception());
        } catch (...) {
            // A handler that throws has nobody left to report to.
        }
    }
}
