#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/refobject.h"
#include "engine/controller.h"
#include "engine/processorhandler.h"
#include "seriallink/commsource.h"
#include "support/mainloop.h"
#include "unitsim/unitsimulator.h"

// What the handler reported for one finished controller.
struct FinishedController {
    std::string name;
    uint8_t result = IController::resultNone;
    std::string failure;  // the message of a step that threw, else empty
};

// The whole chain a controller runs through in the program, for tests: the simulated unit
// in-process, the real port on its pseudo-terminal behind the real communication source, and
// the real processor handler whose "main thread" is a MainLoop pumped on the test thread.
// Controllers are queued and run exactly as the main window does it, so a test checks the
// commands the unit received (Commands()) and the unit's state (Unit().State()) afterwards.
//
// Each fixture has its own terminal and keeps the unit's state in memory, so tests can run in
// parallel processes.
class UnitFixture {
public:
    using Ms = std::chrono::milliseconds;

    // A unit as the connect sequence leaves it: echo off and SMS text mode stored in the
    // module's profile, so replies come without the echoed command. Everything else is an
    // empty unit ("SM" 250 positions, "ME" 100, no PIN lock).
    static CUnitState ConfiguredState();

    explicit UnitFixture(CUnitState state = ConfiguredState());
    // For faults, overrides or pacing from the start; the terminal and state file are the
    // fixture's choice (options.statePath is kept when given).
    explicit UnitFixture(CUnitSimulatorOptions options);
    ~UnitFixture();
    UnitFixture(const UnitFixture&) = delete;
    UnitFixture& operator=(const UnitFixture&) = delete;

    CUnitSimulator& Unit() { return *unit; }
    ICommSource* Source() { return source.get(); }

    // Gives the controller the port and appends it to the handler's queue with a reference of
    // the queue's own; the caller keeps its reference to read the outcome afterwards.
    void Queue(IController* controller);
    template <class T>
    void Queue(const CRefPtr<T>& controller) {
        Queue(static_cast<IController*>(controller.get()));
    }

    // Starts the run and pumps the main loop until every queued controller has finished
    // or the bound passes. True when the run ended.
    bool RunQueued(Ms bound = Ms(20000));
    // Queue and RunQueued for one controller.
    template <class T>
    bool RunToFinish(const CRefPtr<T>& controller, Ms bound = Ms(20000)) {
        Queue(controller);
        return RunQueued(bound);
    }

    // Starts the run without waiting, for a controller that never finishes by itself.
    bool Start();
    // Pumps the main loop until the condition holds or the bound passes.
    bool PumpUntil(const std::function<bool()>& condition, Ms bound = Ms(10000));
    // Cancels the run as the main window does before a new operation: the worker leaves its
    // step (pauses and reads end early), and the queue is emptied.
    void Stop();

    // Every controller reported finished, in order.
    const std::vector<FinishedController>& Finished() const { return finished; }
    // Messages of exceptions that reached the handler on the main thread.
    const std::vector<std::string>& Exceptions() const { return exceptions; }

    // The command lines the unit received, in order, without their carriage returns.
    std::vector<std::string> Commands() const { return unit->CommandLog(); }
    void ClearCommands() { unit->ClearCommandLog(); }

    // One command straight through the port, outside the engine, to set up or inspect the
    // unit; returns what arrived until a final "OK" or the time-out. Only while nothing runs.
    std::string Exchange(const std::string& command, uint32_t timeoutMs = 2000);

private:
    void Open();

    std::unique_ptr<CUnitSimulator> unit;
    CRefPtr<CComPortCommSource> source;
    MainLoop loop;
    std::vector<FinishedController> finished;
    std::vector<std::string> exceptions;
    int completedRuns = 0;
    // Declared last: it is destroyed first, so the worker stops before the port and the unit go.
    CProcessorHandler handler{loop.Poster()};
};
