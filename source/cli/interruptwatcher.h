#pragma once

#include <functional>
#include <memory>

// Ctrl+C (and on Linux a hang-up or termination, on Windows closing the console) lets every
// unit disconnect, so its port is given back with its line settings restored; a second one
// ends the program at once, as does the first when there is nothing to stop (`stop` empty).
// One implementation file per platform: POSIX signals or the Windows console's control handler.
class CInterruptWatcher {
public:
    // Constructed before any thread of the job starts.
    explicit CInterruptWatcher(std::function<void()> stop);
    ~CInterruptWatcher();

    // The status a shell gives a program ended by the interruption taken (130 for Ctrl+C), 0
    // while none came.
    int InterruptedStatus() const;
    CInterruptWatcher(const CInterruptWatcher&) = delete;
    CInterruptWatcher& operator=(const CInterruptWatcher&) = delete;

private:
    class CWatch;
    std::unique_ptr<CWatch> watch;
};

// A closed standard output (a pipe into a program that has gone) must not end the program
// while units are half written; the lines are simply lost.
void KeepRunningOnClosedOutput();
