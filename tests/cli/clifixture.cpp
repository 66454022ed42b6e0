#include "cli/clifixture.h"

#include <algorithm>
#include <thread>

#include "cli/commandline.h"
#include "cli/profilecheck.h"
#include "persistence/languageloaderini.h"
#include "persistence/profilefile.h"
#include "seriallink/comport.h"
#include "support/quickcontrollers.h"

CUnitState DataState(const std::string& dataFile) {
    return CUnitState::Load(std::string(SENDIBOX_DATA_DIR) + "/" + dataFile);
}

std::unique_ptr<CUnitSimulator> StartUnit(CUnitState state, unsigned latencyMs) {
    CUnitSimulatorOptions options;
    options.initialState = std::move(state);
    options.latencyMs = latencyMs;
    auto unit = std::make_unique<CUnitSimulator>(std::move(options));
    unit->Start();
    return unit;
}

Strings UnitCommands(const CUnitSimulator& unit) {
    Strings commands = unit.CommandLog();
    std::erase_if(commands, [](const std::string& command) {
        return command == "AT+CSQ" || command == "AT+CREG?";
    });
    return commands;
}

int CountPrefix(const Strings& commands, const std::string& prefix) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const auto& c) { return c.rfind(prefix, 0) == 0; }));
}

std::unique_ptr<CAppLanguage> ShippedLanguage(const std::string& name) {
    auto language = std::make_unique<CAppLanguage>(
        std::make_unique<CLanguageLoaderIni>(std::string(SENDIBOX_DATA_DIR) + "/languages.txt"));
    language->SetLanguage(name);
    return language;
}

// --- CliTest -------------------------------------------------------------------------------

int CliTest::RunCli(const Strings& args) {
    return RunCli(args, nullptr);
}

int CliTest::RunCli(const Strings& args, const std::function<void(CJobRunner&)>& during) {
    const CParsedCommandLine parsed = ParseCommandLine(args);
    EXPECT_EQ(parsed.action, CParsedCommandLine::EAction::run) << parsed.error;
    results.str("");
    progress.str("");
    const std::unique_ptr<CAppLanguage> language = ShippedLanguage(languageName);
    CCliOutput output(results, progress);
    CJobRunner runner(parsed.options, *language, output);
    runner.settings.checkCountryCode = checkCountryCode;
    runner.settings.writePause = std::chrono::milliseconds(0);
    const uint32_t timeout = replyTimeoutMs;
    runner.settings.onControllerQueued = [timeout](IController& controller) {
        MakeQuick(controller, timeout);
    };
    int status = -1;
    std::thread run([&] { status = runner.Run(); });
    if (during) {
        during(runner);
    }
    run.join();
    reports = runner.Reports();
    return status;
}

// --- WindowRun -----------------------------------------------------------------------------

class WindowRun::View : public ISequencerView {
public:
    void ShowProgress() override {}
    void HideProgress() override {}
    void ShowProgressInfo(const std::string&, const CProgressInfo&) override {}
    void RequestCode(EPinKind, int32_t, std::string&, std::string&, bool&, bool,
                     bool& userAborted) override {
        userAborted = true;
    }
    void ReportSignal(int32_t, int32_t) override {}
    void ShowError(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    void ShowPlugDialog() override {}
    void ClearCurrentControls() override {}
    void ClearSignalDisplay() override {}
    void RepaintGrids() override {}
    void ConnectionChanged(bool) override {}
    void RunEnded(ERunOutcome result) override { outcome = result; }

    std::optional<ERunOutcome> outcome;
};

WindowRun::WindowRun(CUnitSimulator& unit)
    : unit(unit), language(ShippedLanguage()), view(std::make_unique<View>()) {
    source = MakeRef<CComPortCommSource>();
    auto port = std::make_unique<CComPort>();
    port->SetWritePause(std::chrono::milliseconds(0));
    source->SetPort(std::move(port));
    model.SetPresenters(presenters.Lend());
    handler = std::make_unique<CProcessorHandler>(loop.Poster());
    sequencer = std::make_unique<CUnitSequencer>(*handler, *source, model, *language, *view);
    sequencer->OnControllerQueued = [](IController& controller) { MakeQuick(controller); };
}

WindowRun::~WindowRun() {
    sequencer.reset();
    handler->SetCancel(true);
    handler->WaitIdle();
    handler->Clean();
    source->Close();
}

bool WindowRun::Await(ERunOutcome expected) {
    return loop.PumpUntil([this] { return !sequencer->IsRunning(); }, std::chrono::seconds(30)) &&
           view->outcome == expected;
}

bool WindowRun::Connect() {
    view->outcome.reset();
    sequencer->ClearWriteFlags();
    sequencer->OpenPort(unit.PortPath());
    sequencer->StartConnect();
    return Await(ERunOutcome::ready);
}

bool WindowRun::LoadAndWrite(const std::string& profile, bool checkCountryCode) {
    CProfileFile(profile).Load(model, CProfileCheck::Presenters(presenters));
    view->outcome.reset();
    return sequencer->Write(checkCountryCode) && Await(ERunOutcome::written);
}

bool WindowRun::Reset() {
    view->outcome.reset();
    sequencer->Reset();
    return Await(ERunOutcome::ready);
}

bool WindowRun::ClearSim() {
    view->outcome.reset();
    sequencer->ClearSim();
    return Await(ERunOutcome::ready);
}

void WindowRun::Save(const std::string& profile, int32_t choice) {
    CProfileFile(profile).Save(choice, model, CProfileCheck::Presenters(presenters));
}
