#pragma once

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/clioutput.h"
#include "cli/jobrunner.h"
#include "core/tempfolder.h"
#include "engine/mainloop.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "unitsim/unitsimulator.h"

using Strings = std::vector<std::string>;

// A shipped unit state from data/.
CUnitState DataState(const std::string& dataFile);
// A simulated unit on a pseudo-terminal, its state in memory; replies wait `latencyMs`.
std::unique_ptr<CUnitSimulator> StartUnit(CUnitState state, unsigned latencyMs = 0);
// What the unit was sent, without the signal poll's commands (how often it polls is timing).
Strings UnitCommands(const CUnitSimulator& unit);
int CountPrefix(const Strings& commands, const std::string& prefix);

// The shipped language file, with `name` loaded.
std::unique_ptr<CAppLanguage> ShippedLanguage(const std::string& name = "English");

// Runs the command line's job runner in-process, as the program does after parsing, with the
// quick controllers and no pause before each write, so a whole job takes milliseconds.
class CliTest : public TempFolderTest {
protected:
    // The exit status; the command line must parse.
    int RunCli(const Strings& args);
    // As RunCli, with the runner handed to `during` on the test thread while it runs.
    int RunCli(const Strings& args, const std::function<void(CJobRunner&)>& during);

    std::string Results() const { return results.str(); }
    std::string Progress() const { return progress.str(); }
    const std::vector<CUnitReport>& Reports() const { return reports; }

    // Settings of the next run.
    bool checkCountryCode = true;
    uint32_t replyTimeoutMs = 1500;
    std::string languageName = "English";

private:
    std::ostringstream results;
    std::ostringstream progress;
    std::vector<CUnitReport> reports;
};

// The window's way through the same operations: the sequencer with presenters on the window's
// value rules, driven as the window's buttons drive it (the user connects, loads a profile,
// presses Write). What the command line sends must equal what this sends.
class WindowRun {
public:
    explicit WindowRun(CUnitSimulator& unit);
    ~WindowRun();

    // Each true when the run ended with `expected`.
    bool Connect();
    bool LoadAndWrite(const std::string& profile, bool checkCountryCode);
    bool Reset();
    bool ClearSim();
    void Save(const std::string& profile, int32_t choice);
    void Disconnect() { sequencer->Disconnect(); }

private:
    class View;
    bool Await(ERunOutcome expected);

    CUnitSimulator& unit;
    std::unique_ptr<CAppLanguage> language;
    std::unique_ptr<View> view;
    CRefPtr<CComPortCommSource> source;
    CConfigurationModel model;
    CPlainSettingGuis presenters;
    CMainLoop loop;
    std::unique_ptr<CProcessorHandler> handler;
    std::unique_ptr<CUnitSequencer> sequencer;
};
