#pragma once

#include <memory>

class CJobRunner;

// Ctrl+C (and on Linux a hang-up or termination, on Windows closing the console) lets every
// unit disconnect, so its port is given back with its line settings restored; a second one
// ends the program at once. One implementation file per platform: POSIX signals or the
// Windows console's control handler.
class CInterruptWatcher {
public:
    // Constructed before any thread of the job starts.
    explicit CInterruptWatcher(CJobRunner& runner);
    ~CInterruptWatcher();
    CInterruptWatcher(const CInterruptWatcher&) = delete;
    CInterruptWatcher& operator=(const CInterruptWatcher&) = delete;

private:
    class CWatch;
    std::unique_ptr<CWatch> watch;
};

// A closed standard output (a pipe into a program that has gone) must not end the program
// while units are half written; the lines are simply lost.
void KeepRunningOnClosedOutput();
