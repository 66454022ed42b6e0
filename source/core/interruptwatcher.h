#pragma once

#include <functional>
#include <memory>
#include <string>

// Ctrl+C (and on Linux a hang-up or termination, on Windows closing the console) calls `stop`
// once, after writing `announcement` as a line on standard error, so that the program can end
// in order: every unit disconnected, its port given back with its line settings restored. A
// second one ends the program at once, as does the first when there is nothing to stop (`stop`
// empty). One implementation file per platform: POSIX signals or the Windows console's control
// handler. `stop` runs on a thread of the watcher's own.
class CInterruptWatcher {
public:
    // One at a time in a process; it watches from its construction until it goes.
    CInterruptWatcher(std::function<void()> stop, std::string announcement);
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
