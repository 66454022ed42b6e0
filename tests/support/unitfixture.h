#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/refobject.h"
#include "engine/controller.h"
#include "engine/processorhandler.h"
#include "seriallink/commsource.h"
#include "support/mainloop.h"
#include "unitsim/unitsimulator.h"

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
    // For faults, overrides or pacing from the start; the terminal is the fixture's choice.
    explicit UnitFixture(CUnitSimulatorOptions options);
    ~UnitFixture();
    UnitFixture(const UnitFixture&) = delete;
    UnitFixture& operator=(const UnitFixture&) = delete;

    CUnitSimulator& Unit() { return *unit; }
    ICommSource* Source() { return source.get(); }

    // Gives the controller the port and appends it to the handler's queue with a reference of
    // the queue's own; the caller keeps its reference to read the outcome afterwards.
    template <class T>
    void Queue(const CRefPtr<T>& controller) {
        controller->SetCommSource(source.get());
        handler.Add(CRefPtr<IController>::Share(controller.get()));
    }
    // Starts the run and pumps the main loop until every queued controller has finished
    // or the bound passes. True when the run ended.
    bool RunQueued(Ms bound = Ms(20000));
    template <class T>
    bool RunToFinish(const CRefPtr<T>& controller, Ms bound = Ms(20000)) {
        Queue(controller);
        return RunQueued(bound);
    }

    // The command lines the unit received, in order, without their carriage returns.
    std::vector<std::string> Commands() const { return unit->CommandLog(); }
    void ClearCommands() { unit->ClearCommandLog(); }

    // One command straight through the port, outside the engine, to set up or inspect the
    // unit; returns what arrived until a final "OK" or the time-out. Only while nothing runs.
    std::string Exchange(const std::string& command, uint32_t timeoutMs = 2000);

private:
    std::unique_ptr<CUnitSimulator> unit;
    CRefPtr<CComPortCommSource> source = MakeRef<CComPortCommSource>();
    MainLoop loop;
    int completedRuns = 0;
    // Declared last: it is destroyed first, so the worker stops before the port and the unit go.
    CProcessorHandler handler{loop.Poster()};
};
