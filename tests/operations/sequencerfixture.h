#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "support/mainloop.h"
#include "unitsim/unitsimulator.h"

// Keeps both values like the window's presenters do, without controls or value rules: the
// sequencer only moves values between the unit, the tables and the presenters.
class StoringPresenter : public IGuiHelper {
public:
    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent*) override {}
    void ShowUnitValue(std::string& text) override {
        StoreValue(ValueKind::Current, text);
        StoreValue(ValueKind::New, text);
    }
    void SetNewValue(std::string& text) override { StoreValue(ValueKind::New, text); }
};

// Records what the sequencer asks of its front end, in order.
class RecordingView : public ISequencerView {
public:
    struct CodeRequest {
        EPinKind type;
        int32_t triesLeft;
        bool previousCodeIncorrect;
    };

    void ShowProgress() override { Record("ShowProgress"); }
    void HideProgress() override { Record("HideProgress"); }
    void ShowProgressInfo(const std::string&, const CProgressInfo& info) override {
        descriptions.push_back(info.GetDescription());
    }
    void RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                     bool& disableCodeCheck, bool previousCodeIncorrect,
                     bool& userAborted) override;
    void ReportSignal(int32_t signalStrength, int32_t) override {
        lastSignal = signalStrength;
        ++signalReports;
    }
    void ShowError(const std::string& text) override { Record("Error: " + text); }
    void ShowInformation(const std::string& text) override { Record("Information: " + text); }
    void ShowMessage(const std::string& text) override { Record("Message: " + text); }
    void ShowPlugDialog() override { Record("PlugDialog"); }
    void ClearCurrentControls() override { Record("ClearCurrentControls"); }
    void ClearSignalDisplay() override {}
    void RepaintGrids() override {}
    void ConnectionChanged(bool open) override { Record(open ? "Opened" : "Closed"); }
    void RunEnded(ERunOutcome result) override { outcome = result; }

    // The first recorded text that starts with `prefix`, or nothing.
    std::optional<std::string> Find(const std::string& prefix) const;

    std::vector<std::string> events;
    std::vector<std::string> descriptions;
    std::optional<ERunOutcome> outcome;
    std::vector<CodeRequest> codeRequests;
    // What the "user" types when the SIM asks; abort when empty.
    std::string pinAnswer;
    std::string pukAnswer;
    int signalReports = 0;
    int32_t lastSignal = -2;

private:
    void Record(std::string event) { events.push_back(std::move(event)); }
};

// The sequencer with every real part behind it: the simulated unit on a pseudo-terminal, the
// real port and communication source, the processor handler with a main loop pumped on the
// test thread, the configuration model and the shipped English texts.
class SequencerFixture {
public:
    using Ms = std::chrono::milliseconds;

    // A state file from data/ ("unit-me.json") or a state of the test's own.
    explicit SequencerFixture(const std::string& dataFile);
    explicit SequencerFixture(CUnitState state);
    ~SequencerFixture();

    static CUnitState DataState(const std::string& dataFile);

    // Opens the port and runs the connect sequence until the run ends.
    bool Connect(Ms bound = Ms(20000));
    // Pumps until the run has ended (the outcome is in View().outcome).
    bool WaitForEnd(Ms bound = Ms(20000));
    bool PumpUntil(const std::function<bool()>& condition, Ms bound = Ms(10000));
    // The commands the unit received since the last ClearCommands, without the signal poll's.
    std::vector<std::string> UnitCommands() const;
    void ClearCommands() { unit->ClearCommandLog(); }

    CUnitSimulator& Unit() { return *unit; }
    CUnitSequencer& Sequencer() { return *sequencer; }
    CConfigurationModel& Model() { return model; }
    RecordingView& View() { return view; }
    StoringPresenter& Presenter(int index) { return *presenters[index]; }

private:
    std::unique_ptr<CUnitSimulator> unit;
    CRefPtr<CComPortCommSource> source;
    CAppLanguage language;
    CConfigurationModel model;
    std::vector<CRefPtr<StoringPresenter>> presenters;
    RecordingView view;
    MainLoop loop;
    CProcessorHandler handler{loop.Poster()};
    std::unique_ptr<CUnitSequencer> sequencer;
};
