#pragma once

// Header only, for the test programs that define SENDIBOX_DATA_DIR and link the simulated unit.

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "support/mainloop.h"
#include "support/quickcontrollers.h"
#include "unitsim/unitsimulator.h"

using Strings = std::vector<std::string>;

// A shipped unit state from data/.
inline CUnitState DataState(const std::string& dataFile) {
    return CUnitState::Load(std::string(SENDIBOX_DATA_DIR) + "/" + dataFile);
}

// A simulated unit on a pseudo-terminal, its state in memory.
inline std::unique_ptr<CUnitSimulator> StartUnit(CUnitState state) {
    CUnitSimulatorOptions options;
    options.initialState = std::move(state);
    auto unit = std::make_unique<CUnitSimulator>(std::move(options));
    unit->Start();
    return unit;
}

// What the unit was sent, without the signal poll's commands (how often it polls is timing).
inline Strings UnitCommands(const CUnitSimulator& unit) {
    Strings commands = unit.CommandLog();
    std::erase_if(commands, [](const std::string& c) { return c == "AT+CSQ" || c == "AT+CREG?"; });
    return commands;
}

inline int CountPrefix(const Strings& commands, const std::string& prefix) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const auto& c) { return c.rfind(prefix, 0) == 0; }));
}

// The shipped language file, with `name` loaded.
inline std::unique_ptr<CAppLanguage> ShippedLanguage(const std::string& name = "English") {
    auto language = std::make_unique<CAppLanguage>(
        std::make_unique<CLanguageLoaderIni>(std::string(SENDIBOX_DATA_DIR) + "/languages.txt"));
    language->SetLanguage(name);
    return language;
}

// Keeps the errors and the outcome; a code request is cancelled.
class RecordingView : public ISequencerView {
public:
    void ShowProgress() override {}
    void HideProgress() override {}
    void ShowProgressInfo(const std::string&, const CProgressInfo&) override {}
    void RequestCode(EPinKind, int32_t, std::string&, std::string&, bool&, bool,
                     bool& userAborted) override {
        userAborted = true;
    }
    void ReportSignal(int32_t, int32_t) override {}
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowInformation(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    void ShowPlugDialog() override {}
    void ClearCurrentControls() override {}
    void ClearSignalDisplay() override {}
    void RepaintGrids() override {}
    void ConnectionChanged(bool) override {}
    void RunEnded(ERunOutcome result) override { outcome = result; }

    Strings errors;
    std::optional<ERunOutcome> outcome;
};

// The sequencer driven as the window's buttons drive it, with every real part behind it: the
// simulated unit on a pseudo-terminal, the real port and communication source, the processor
// handler with a main loop pumped on the test thread, the configuration model, presenters on
// the window's value rules and the shipped English texts. Controllers are the quick ones.
class SequencerFixture {
public:
    // An error reply shows as a time-out of `replyTimeoutMs`.
    explicit SequencerFixture(CUnitState state, uint32_t replyTimeoutMs = 1500)
        : unit(StartUnit(std::move(state))) {
        auto port = std::make_unique<CComPort>();
        port->SetWritePause(std::chrono::milliseconds(0));
        source->SetPort(std::move(port));
        model.SetPresenters(presenters.Lend());
        sequencer = std::make_unique<CUnitSequencer>(handler, *source, model, *language, view);
        sequencer->OnControllerQueued = [replyTimeoutMs](IController& controller) {
            MakeQuick(controller, replyTimeoutMs);
        };
    }
    ~SequencerFixture() {
        // The worker stops before the sequencer its controllers refer to goes.
        handler.SetCancel(true);
        handler.WaitIdle();
        handler.Clean();
        sequencer.reset();
        source->Close();
    }
    SequencerFixture(const SequencerFixture&) = delete;
    SequencerFixture& operator=(const SequencerFixture&) = delete;

    // Pumps until the run has ended; true when it ended with `expected`.
    bool Await(ERunOutcome expected) {
        return loop.PumpUntil([this] { return !sequencer->IsRunning(); },
                              std::chrono::seconds(30)) &&
               view.outcome == expected;
    }
    // Pumps until the condition holds or the bound passes, for a test that acts mid-run.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds bound = std::chrono::seconds(10)) {
        return loop.PumpUntil(condition, bound);
    }
    // Opens the port and runs the connect sequence, as Connect does.
    bool Connect(ERunOutcome expected = ERunOutcome::ready) {
        view.outcome.reset();
        sequencer->ClearWriteFlags();
        sequencer->OpenPort(unit->PortPath());
        sequencer->StartConnect();
        return Await(expected);
    }
    bool Write(bool checkCountryCode = true) {
        view.outcome.reset();
        return sequencer->Write(checkCountryCode) && Await(ERunOutcome::written);
    }
    bool Reset() {
        view.outcome.reset();
        sequencer->Reset();
        return Await(ERunOutcome::ready);
    }
    bool ClearSim() {
        view.outcome.reset();
        sequencer->ClearSim();
        return Await(ERunOutcome::ready);
    }

    CUnitSimulator& Unit() { return *unit; }
    Strings Commands() const { return UnitCommands(*unit); }
    CUnitSequencer& Sequencer() { return *sequencer; }
    CConfigurationModel& Model() { return model; }
    const CPlainSettingGuis& Presenters() const { return presenters; }
    RecordingView& View() { return view; }

private:
    std::unique_ptr<CUnitSimulator> unit;
    CRefPtr<CComPortCommSource> source = MakeRef<CComPortCommSource>();
    std::unique_ptr<CAppLanguage> language = ShippedLanguage();
    CConfigurationModel model;
    CPlainSettingGuis presenters;
    RecordingView view;
    MainLoop loop;
    CProcessorHandler handler{loop.Poster()};
    std::unique_ptr<CUnitSequencer> sequencer;
};
