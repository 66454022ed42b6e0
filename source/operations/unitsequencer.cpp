#include "operations/unitsequencer.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerconfigure.h"
#include "atcomm/controllerconnectioncheck.h"
#include "atcomm/controllerdeletephonebook.h"
#include "atcomm/controllerdeletesms.h"
#include "atcomm/controllerpin.h"
#include "atcomm/controllerreadphonebook.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllerreadsms.h"
#include "atcomm/controllersignalcheck.h"
#include "atcomm/controllersmartwritesms.h"
#include "atcomm/controllerunitidentity.h"
#include "atcomm/controllerwaitforsim.h"
#include "atcomm/controllerwritephonebook.h"
#include "atcomm/controllerwritesms.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/unitimage.h"
#include "model/unitlayout.h"
#include "operations/differencetext.h"
#include "operations/invalidvaluetext.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"

namespace {

constexpr char kRunFailedText[] = "INTERNAL ERROR: RUN FAILED!";

bool IsConfigurationMarker(const std::string& value) {
    return value == "0" || value == "1";
}

}  // namespace

CUnitSequencer::CUnitSequencer(CProcessorHandler& handler, CComPortCommSource& commSource,
                               CConfigurationModel& model, const CAppLanguage& language,
                               ISequencerView& view)
    : handler(handler),
      commSource(commSource),
      model(model),
      language(language),
      view(view),
      occupancy(MakeRef<CPhoneBookOccupancy>()),
      occupiedDelete(MakeRef<CPhoneBookOccupiedDelete>(*occupancy)) {
    handler.OnControllerFinished = [this](const std::string&, IController* controller) {
        ControllerFinished(*controller);
    };
    handler.BeforeProcessController = [this](IController* controller) {
        BeforeController(*controller);
    };
}

CUnitSequencer::~CUnitSequencer() {
    handler.OnControllerFinished = nullptr;
    handler.BeforeProcessController = nullptr;
}

bool CUnitSequencer::IsOpen() const {
    return commSource.IsOpen();
}

void CUnitSequencer::ClearWriteFlags() {
    writeFlagPhoneBook = false;
    writeFlagSms = false;
}

std::string CUnitSequencer::Text(const std::string& key) const {
    return language.GetText(key);
}

// --- Queueing ------------------------------------------------------------------------------

void CUnitSequencer::Describe(CControllerBase& controller) {
    controller.OnGetDescription = [this](const std::string& key, std::string& text) {
        text = Text(key);
    };
    controller.OnProgress = [this](const std::string& name, const CProgressInfo& info) {
        view.ShowProgressInfo(name, info);
    };
}

template <typename T>
void CUnitSequencer::Enqueue(CRefPtr<T> controller) {
    controller->SetCommSource(&commSource);
    if (OnControllerQueued) {
        OnControllerQueued(*controller);
    }
    handler.Add(CRefPtr<IController>(std::move(controller)));
}

template <typename T, typename... Args>
void CUnitSequencer::Queue(Args&&... args) {
    CRefPtr<T> controller = MakeRef<T>(std::forward<Args>(args)...);
    Describe(*controller);
    Enqueue(std::move(controller));
}

void CUnitSequencer::QueueChangeMode(bool simStore) {
    CRefPtr<CControllerChangeMode> controller = MakeRef<CControllerChangeMode>();
    controller->SetSimStore(simStore);
    Enqueue(std::move(controller));
}

void CUnitSequencer::QueueCheckMode() {
    Enqueue(MakeRef<CControllerCheckMode>());
}

void CUnitSequencer::QueueReadSetting() {
    CRefPtr<CControllerReadSetting> controller = MakeRef<CControllerReadSetting>();
    controller->SetPosition(kMarkerPosition);
    Enqueue(std::move(controller));
}

void CUnitSequencer::QueuePin() {
    CRefPtr<CControllerPin> controller = MakeRef<CControllerPin>();
    Describe(*controller);
    controller->OnRequestCode = [this](const EPinKind& type, const int32_t& triesLeft,
                                       std::string& pin, std::string& puk, bool& disableCodeCheck,
                                       const bool& previousCodeIncorrect, bool& userAborted) {
        pinAsked = true;
        view.RequestCode(type, triesLeft, pin, puk, disableCodeCheck, previousCodeIncorrect,
                         userAborted);
    };
    Enqueue(std::move(controller));
}

void CUnitSequencer::QueueDeleteSms() {
    model.SmsDeleteProvider()->Reset();
    Queue<CControllerDeleteSms>(model.SmsDeleteProvider());
}

void CUnitSequencer::QueueWriteSms() {
    model.SmsProvider()->Reset();
    Queue<CControllerWriteSms>(model.SmsProvider());
}

void CUnitSequencer::QueueWritePhoneBook() {
    model.PhoneBookProvider()->Reset();
    Queue<CControllerWritePhoneBook>(model.PhoneBookProvider());
}

void CUnitSequencer::QueueDeletePhoneBook() {
    model.PhoneBookDeleteProvider()->SetLast(model.GetPhoneBookSize());
    model.PhoneBookDeleteProvider()->Reset();
    Queue<CControllerDeletePhoneBook>(model.PhoneBookDeleteProvider());
}

void CUnitSequencer::QueueReadSms() {
    model.SmsCollector()->Reset();
    Queue<CControllerReadSms>(model.SmsCollector());
}

void CUnitSequencer::QueueReadPhoneBook() {
    model.PhoneBookCollector()->Reset();
    Queue<CControllerReadPhoneBook>(model.PhoneBookCollector());
}

void CUnitSequencer::QueueSignalCheck() {
    signalCheckQueued = true;
    CRefPtr<CControllerSignalCheck> controller = MakeRef<CControllerSignalCheck>();
    controller->OnReportSignal = [this](int32_t signalStrength, int32_t loggedOnToNet) {
        view.ReportSignal(signalStrength, loggedOnToNet);
    };
    Enqueue(std::move(controller));
}

// --- Runs ----------------------------------------------------------------------------------

void CUnitSequencer::StopProcessor() {
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();
    eraseStage = EEraseStage::none;
    signalCheckQueued = false;
}

void CUnitSequencer::Run(EOperation started) {
    CRunSummary last = std::move(summary);
    summary = CRunSummary{};
    summary.operation = started;
    // A write, reset or clear works on the store, and on the unit, the last connect found.
    if (started != EOperation::connect) {
        summary.store = std::move(last.store);
        summary.maker = std::move(last.maker);
        summary.model = std::move(last.model);
        summary.imei = std::move(last.imei);
    }
    CountPlannedChanges();
    // The steps each operation takes when all goes as usual; a run that finds more to do (a
    // second store to look in, a full erase, a rewrite of every message) counts them as it
    // queues them.
    stepsStarted = 0;
    switch (started) {
        case EOperation::connect:
            plannedSteps = 10;
            break;
        case EOperation::write:
            plannedSteps = verify ? 4 : 2;
            break;
        case EOperation::reset:
            plannedSteps = 7;
            break;
        case EOperation::clearSim:
            plannedSteps = 8;
            break;
    }
    view.ShowProgress();
    running = true;
    if (!handler.Run()) {
        // Nothing was queued, so nothing would ever end the run: do not leave the window
        // disabled behind a progress display.
        view.HideProgress();
        view.ShowMessage(kRunFailedText);
        EndRun(ERunOutcome::failed);
    }
}

void CUnitSequencer::CountPlannedChanges() {
    using L = CUnitLayout;
    const TVTListData& sms = model.SmsTable();
    const TVTListData& book = model.PhoneBookTable();
    switch (summary.operation) {
        case EOperation::connect:
            break;
        case EOperation::write:
            for (int32_t row = 0; row < L::kMessageCount; ++row) {
                const bool erased = L::IsMarked(sms.getData(row, L::kSmsDeleteColumn));
                const bool changed = !sms.getData(row, L::kSmsNewTextColumn).empty() ||
                                     !sms.getData(row, L::kSmsNewNumberColumn).empty();
                summary.messagesErased += erased ? 1 : 0;
                summary.messagesWritten += !erased && changed ? 1 : 0;
            }
            for (int32_t row = 0; row < model.GetPhoneBookSize(); ++row) {
                if (L::IsMarked(book.getData(row, L::kPhoneBookWriteColumn))) {
                    (L::IsSettingRow(row) ? summary.settingsWritten
                                          : summary.accessNumbersWritten)++;
                }
            }
            break;
        case EOperation::reset:
            summary.messagesErased = L::kMessageCount;
            summary.entriesErased = model.GetPhoneBookSize();
            summary.settingsWritten = L::kReservedCount;
            break;
        case EOperation::clearSim:
            // The SIM's own capacity is known only once its store is selected.
            break;
    }
}

void CUnitSequencer::EndRun(ERunOutcome outcome) {
    if (!running) {
        return;
    }
    running = false;
    summary.outcome = outcome;
    view.RunEnded(outcome);
}

void CUnitSequencer::OpenPort(const std::string& portName) {
    CComPort* port = commSource.GetPort();
    port->SetSettings(kPortSettings);
    port->SetPortName(portName);
    commSource.Open();
    view.ConnectionChanged(true);
}

void CUnitSequencer::StartConnect() {
    pinAsked = false;
    StopProcessor();
    Queue<CControllerConnectionCheck>(kConnectionCheckAttempts);
    Queue<CControllerUnitIdentity>();
    Queue<CControllerConfigure>();
    QueuePin();
    Queue<CControllerWaitForSim>(kWaitForSimAttempts, pinAsked);
    QueueChangeMode(false);
    QueueReadSetting();
    Run(EOperation::connect);
}

bool CUnitSequencer::Write(bool checkCountryCode) {
    // Before anything is stopped or sent: a refused write leaves the connection and the
    // signal poll as they were.
    if (const std::vector<CInvalidValue> invalid = model.FindInvalidValues(checkCountryCode);
        !invalid.empty()) {
        view.ShowInvalidValues(InvalidValuesText(invalid, language), invalid);
        return false;
    }
    writeFlagPhoneBook = true;
    writeFlagSms = true;
    StopProcessor();
    model.PrepareSettingsForWriting();
    expected = CUnitImage::AfterWrite(model);
    Queue<CControllerSmartWriteSms>(&model.SmsTable(), kNewNumberColumn, kNewTextColumn,
                                    kDeleteMarkColumn, kCurrentNumberColumn, kCurrentTextColumn);
    Run(EOperation::write);
    return true;
}

void CUnitSequencer::Reset() {
    ClearWriteFlags();
    // The poll is stopped before the tables change, so no controller sees them half reset.
    StopProcessor();
    model.ResetValues();
    expected = CUnitImage::AfterReset(model.GetPhoneBookSize());
    QueueDeleteSms();
    // The store is read first so that only its occupied positions are erased; the rest of the
    // run is queued as the erase finds its way (EraseStepFinished).
    QueueOccupancyRead(model.GetPhoneBookSize());
    Run(EOperation::reset);
}

void CUnitSequencer::ClearSim() {
    ClearWriteFlags();
    view.ClearCurrentControls();
    StopProcessor();
    model.ClearPhoneBookValues();
    // The SIM's own store is emptied whichever store holds the configuration; its capacity,
    // read first, sets how far the deletion goes.
    // Selecting the SIM's store changes the store flag; the run returns to the store the
    // connect found.
    configurationOnSim = storeFlag == 1;
    QueueChangeMode(true);
    QueueCheckMode();
    eraseStage = EEraseStage::sizingSim;
    Run(EOperation::clearSim);
}

void CUnitSequencer::QueueOccupancyRead(int32_t lastPosition) {
    occupancy->Reset(lastPosition);
    Queue<CControllerReadPhoneBook>(occupancy.get());
    eraseStage = EEraseStage::readingOccupied;
}

void CUnitSequencer::QueueEraseTail(bool fullSweep) {
    eraseStage = EEraseStage::none;
    if (fullSweep) {
        QueueDeletePhoneBook();
    }
    if (summary.operation == EOperation::reset) {
        QueueWritePhoneBook();
        QueueReadSms();
        QueueReadPhoneBook();
    } else {
        QueueChangeMode(configurationOnSim);
        QueueCheckMode();
        QueueReadPhoneBook();
    }
    QueueSignalCheck();
}

bool CUnitSequencer::EraseStepFinished(const IController& controller) {
    const bool failed = controller.GetResult() == IController::resultFailed;
    switch (eraseStage) {
        case EEraseStage::none:
            return false;
        case EEraseStage::sizingSim:
            if (failed || dynamic_cast<const CControllerCheckMode*>(&controller) == nullptr) {
                return false;
            }
            // The SIM's own capacity, whichever store holds the configuration.
            model.SetPhoneBookSize(
                static_cast<const CControllerCheckMode&>(controller).GetCapacity());
            summary.entriesErased = model.GetPhoneBookSize();
            QueueOccupancyRead(model.GetPhoneBookSize());
            return true;
        case EEraseStage::readingOccupied:
            if (dynamic_cast<const CControllerReadPhoneBook*>(&controller) == nullptr) {
                return false;
            }
            // A listing that could not be read costs time, not correctness: every position is
            // then erased one by one. A port that failed fails the run as any step does.
            if (failed && !controller.GetFailureMessage().empty()) {
                return false;
            }
            if (failed) {
                QueueEraseTail(true);
                return true;
            }
            summary.entriesErased = static_cast<int32_t>(occupancy->Occupied().size());
            occupiedDelete->Reset();
            Queue<CControllerDeletePhoneBook>(occupiedDelete.get());
            QueueCheckMode();
            eraseStage = EEraseStage::countingLeft;
            return true;
        case EEraseStage::countingLeft: {
            const auto* count = dynamic_cast<const CControllerCheckMode*>(&controller);
            if (failed || count == nullptr) {
                return false;
            }
            model.SetPhoneBookSize(count->GetCapacity());
            // The store's own count must agree that nothing is left; anything else (an entry
            // the listing did not show) takes the full sweep, whose end state is certain.
            const bool fullSweep = count->GetUsed() != 0;
            if (fullSweep) {
                summary.entriesErased = model.GetPhoneBookSize();
            }
            QueueEraseTail(fullSweep);
            return true;
        }
    }
    return false;
}

void CUnitSequencer::CloseConnection() {
    handler.SetCancel(true);
    handler.WaitIdle();
    commSource.Close();
    view.ConnectionChanged(false);
    view.HideProgress();
    ClearWriteFlags();
    model.ClearCurrentValues();
    view.RepaintGrids();
    view.ClearCurrentControls();
    view.ClearSignalDisplay();
}

void CUnitSequencer::Disconnect() {
    CloseConnection();
    EndRun(ERunOutcome::disconnected);
}

std::string CUnitSequencer::FailureText(const IController& controller,
                                        const std::string& cause) const {
    const auto* connectionCheck = dynamic_cast<const CControllerConnectionCheck*>(&controller);
    if (connectionCheck != nullptr && connectionCheck->HasUnsupportedAnswer()) {
        // Something answers on the port, so the cable and the line are fine: it is the wrong
        // device, which no retry will change.
        return Text("UNSUPPORTED_MODULE") + "\n" + connectionCheck->GetIdentification();
    }
    std::string text = Text("OPERATION_FAILED_MESSAGE");
    const auto* described = dynamic_cast<const CControllerBase*>(&controller);
    text += "\n" + (described != nullptr && !described->GetDescriptionKey().empty()
                        ? Text(described->GetDescriptionKey())
                        : controller.GetName());
    // A step that threw (the adapter pulled out, say) left the port's own words.
    if (!cause.empty()) {
        text += "\n" + cause;
    }
    if (summary.unitChanged && summary.operation != EOperation::connect) {
        text += "\n" + Text("UNIT_PARTLY_WRITTEN");
    }
    return text;
}

void CUnitSequencer::Fail(const IController& controller, const std::string& cause) {
    summary.unitChanged = summary.unitChanged || controller.MayHaveChangedUnit();
    CloseConnection();
    summary.failureText = FailureText(controller, cause);
    view.ShowError(summary.failureText);
    EndRun(ERunOutcome::failed);
}

void CUnitSequencer::QueueStrayDelete(int32_t index) {
    strayDelete = MakeRef<CSmsStrayDelete>(index);
    Queue<CControllerDeleteSms>(strayDelete.get());
}

// --- Reactions -----------------------------------------------------------------------------

void CUnitSequencer::ControllerFinished(IController& controller) {
    // Nothing may leave here: this runs inside the front end's event loop.
    try {
        summary.unitChanged = summary.unitChanged || controller.MayHaveChangedUnit();
        if (EraseStepFinished(controller)) {
            return;
        }
        const std::string name = controller.GetName();
        if (controller.GetResult() == IController::resultFailed) {
            const auto* smartWrite = dynamic_cast<const CControllerSmartWriteSms*>(&controller);
            if (smartWrite != nullptr && smartWrite->IsIndexMismatch()) {
                // The store's order is no longer known: everything is rewritten in order. A
                // message stored beyond the unit's 28 would stay there, out of every later
                // delete's reach.
                summary.messagesWritten = CUnitLayout::kMessageCount;
                QueueDeleteSms();
                if (smartWrite->GetStoredIndex() > CUnitLayout::kMessageCount) {
                    QueueStrayDelete(smartWrite->GetStoredIndex());
                }
                QueueWriteSms();
                QueueWritePhoneBook();
            } else {
                Fail(controller, controller.GetFailureMessage());
            }
        } else if (dynamic_cast<const CControllerSmartWriteSms*>(&controller) != nullptr) {
            QueueWritePhoneBook();
        } else if ((writeFlagPhoneBook || writeFlagSms) && name == "CControllerWritePhoneBook") {
            if (verify) {
                // Read-only: the unit is read back exactly as a connect reads it.
                QueueReadSms();
                QueueReadPhoneBook();
            } else {
                EndWrite();
            }
        } else if (name == "CControllerReadPhoneBook") {
            model.ApplyReadSettings();
            if (verify && summary.operation != EOperation::connect &&
                summary.operation != EOperation::clearSim && !Verify()) {
                return;
            }
            if (writeFlagPhoneBook || writeFlagSms) {
                EndWrite();
            }
        } else if (const auto* connectionCheck =
                       dynamic_cast<const CControllerConnectionCheck*>(&controller)) {
            summary.maker = connectionCheck->GetMaker();
            summary.model = connectionCheck->GetModel();
        } else if (const auto* identity =
                       dynamic_cast<const CControllerUnitIdentity*>(&controller)) {
            summary.imei = identity->GetSerialNumber();
        } else if (dynamic_cast<const CControllerPin*>(&controller) != nullptr) {
            // Its request was answered while it ran.
        } else if (const auto* readSetting =
                       dynamic_cast<const CControllerReadSetting*>(&controller)) {
            if (IsConfigurationMarker(readSetting->GetValue())) {
                QueueCheckMode();
                QueueReadSms();
                QueueReadPhoneBook();
                QueueSignalCheck();
            } else if (storeFlag == 0) {
                QueueChangeMode(true);
                QueueReadSetting();
            } else {
                CloseConnection();
                summary.store.clear();
                summary.failureText = Text("RESTART_UNIT");
                view.ShowInformation(summary.failureText);
                EndRun(ERunOutcome::restartUnit);
            }
        } else if (const auto* changeMode =
                       dynamic_cast<const CControllerChangeMode*>(&controller)) {
            storeFlag = changeMode->IsSimStore() ? 1 : 0;
            summary.store = changeMode->IsSimStore() ? "SM" : "ME";
        } else if (const auto* checkMode = dynamic_cast<const CControllerCheckMode*>(&controller)) {
            model.SetPhoneBookSize(checkMode->GetCapacity());
        }
    } catch (const std::exception& error) {
        try {
            CloseConnection();
        } catch (const std::exception&) {
            // The port is gone already; the message below is what the user needs.
        }
        summary.failureText = FailureText(controller, error.what());
        view.ShowError(summary.failureText);
        EndRun(ERunOutcome::failed);
    }
}

void CUnitSequencer::BeforeController(IController& controller) {
    // A failed run leaves its remaining controllers queued until the next operation cleans
    // them; the handler still hands the next one on, which must not end the run a second time.
    if (!running) {
        return;
    }
    if (controller.GetName() != "CControllerSignalCheck") {
        ++stepsStarted;
        const auto queued =
            static_cast<int32_t>(handler.GetQueueCount()) - (signalCheckQueued ? 1 : 0);
        view.ShowRunStep(stepsStarted, std::max(plannedSteps, stepsStarted - 1 + queued));
        return;
    }
    view.RepaintGrids();
    view.HideProgress();
    if (summary.verification == CRunSummary::EVerification::verified) {
        view.ShowInformation(Text("VERIFIED"));
    }
    EndRun(ERunOutcome::ready);
}

void CUnitSequencer::EndWrite() {
    view.ClearCurrentControls();
    CloseConnection();
    view.ShowPlugDialog();
    EndRun(ERunOutcome::written);
}

bool CUnitSequencer::Verify() {
    const std::vector<CImageDifference> differences =
        CompareImages(expected, CUnitImage::AsRead(model));
    if (differences.empty()) {
        summary.verification = CRunSummary::EVerification::verified;
        return true;
    }
    summary.verification = CRunSummary::EVerification::differs;
    std::string text = Text("VERIFY_FAILED");
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const std::string line = DescribeDifference(differences[i], language);
        summary.differences.push_back(line);
        if (i < kMostListedInvalidValues) {
            text += "\n" + line;
        }
    }
    if (differences.size() > kMostListedInvalidValues) {
        text += "\n" + Text("INVALID_MORE") + " " +
                std::to_string(differences.size() - kMostListedInvalidValues);
    }
    // A difference is a failed operation, never a success; nothing is rewritten by itself.
    CloseConnection();
    summary.failureText = text;
    view.ShowError(text);
    EndRun(ERunOutcome::failed);
    return false;
}
