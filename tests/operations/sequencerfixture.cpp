#include "operations/sequencerfixture.h"

#include <algorithm>

#include "persistence/languageloaderini.h"
#include "seriallink/comport.h"
#include "support/quickcontrollers.h"

void RecordingView::RequestCode(EPinKind type, int32_t triesLeft, std::string& pin,
                                std::string& puk, bool& disableCodeCheck,
                                bool previousCodeIncorrect, bool& userAborted) {
    codeRequests.push_back({type, triesLeft, previousCodeIncorrect});
    const bool wantsPuk = type == EPinKind::SimPuk || type == EPinKind::SimPuk2;
    if (pinAnswer.empty() || (wantsPuk && pukAnswer.empty())) {
        userAborted = true;
        return;
    }
    pin = pinAnswer;
    puk = wantsPuk ? pukAnswer : std::string();
    disableCodeCheck = false;
}

std::optional<std::string> RecordingView::Find(const std::string& prefix) const {
    for (const std::string& event : events) {
        if (event.rfind(prefix, 0) == 0) {
            return event;
        }
    }
    return std::nullopt;
}

CUnitState SequencerFixture::DataState(const std::string& dataFile) {
    return CUnitState::Load(std::string(SENDIBOX_DATA_DIR) + "/" + dataFile);
}

SequencerFixture::SequencerFixture(const std::string& dataFile)
    : SequencerFixture(DataState(dataFile)) {}

SequencerFixture::SequencerFixture(CUnitState state)
    : language(
          std::make_unique<CLanguageLoaderIni>(std::string(SENDIBOX_DATA_DIR) + "/languages.txt")) {
    CUnitSimulatorOptions options;
    options.initialState = std::move(state);
    unit = std::make_unique<CUnitSimulator>(std::move(options));
    unit->Start();

    source = MakeRef<CComPortCommSource>();
    auto port = std::make_unique<CComPort>();
    port->SetWritePause(std::chrono::milliseconds(0));
    source->SetPort(std::move(port));
    language.SetLanguage("English");

    CSettingPresenters lent;
    std::vector<IGuiHelper**> slots = {&lent.activeTime, &lent.activeRelay, &lent.smsAck,
                                       &lent.accessControl, &lent.inputBehaviour};
    for (IGuiHelper*& delay : lent.inputDelays) {
        slots.push_back(&delay);
    }
    for (IGuiHelper** slot : slots) {
        presenters.push_back(MakeRef<StoringPresenter>());
        *slot = presenters.back().get();
    }
    model.SetPresenters(lent);

    sequencer = std::make_unique<CUnitSequencer>(handler, *source, model, language, view);
    sequencer->OnControllerQueued = [](IController& controller) { MakeQuick(controller); };
}

SequencerFixture::~SequencerFixture() {
    sequencer.reset();
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();
    source->Close();
}

bool SequencerFixture::Connect(Ms bound) {
    sequencer->ClearWriteFlags();
    sequencer->OpenPort(unit->PortPath());
    sequencer->StartConnect();
    return WaitForEnd(bound);
}

bool SequencerFixture::WaitForEnd(Ms bound) {
    return PumpUntil([this] { return !sequencer->IsRunning(); }, bound);
}

bool SequencerFixture::PumpUntil(const std::function<bool()>& condition, Ms bound) {
    return loop.PumpUntil(condition, bound);
}

std::vector<std::string> SequencerFixture::UnitCommands() const {
    std::vector<std::string> commands = unit->CommandLog();
    std::erase_if(commands, [](const std::string& command) {
        return command == "AT+CSQ" || command == "AT+CREG?";
    });
    return commands;
}
