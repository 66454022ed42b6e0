#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/refobject.h"
#include "model/phonebookproviders.h"
#include "model/smsproviders.h"
#include "model/unitimage.h"
#include "operations/runsummary.h"
#include "operations/sequencerview.h"

class CAppLanguage;
class CComPortCommSource;
class CConfigurationModel;
class CControllerBase;
class CProcessorHandler;
class IController;

// The unit operations, written once for every front end: connect (with the PIN request and
// the search for the store that holds the configuration), write, reset and clear SIM. Each
// operation stops whatever runs, queues its controllers on the processor handler and starts
// the run; the sequencer then reacts to every finished controller, queues what follows, fills
// the model and ends the run. What the user sees is left to the view.
//
// All the objects are lent and must outlive the sequencer. It takes over the handler's
// OnControllerFinished and BeforeProcessController while it lives. Everything runs on the
// thread that drives the handler.
class CUnitSequencer {
public:
    // The line settings of the unit's module.
    static constexpr char kPortSettings[] = "57600,n,8,1";
    static constexpr int32_t kConnectionCheckAttempts = 30;
    static constexpr int32_t kWaitForSimAttempts = 10;
    // The phonebook position whose "0" or "1" marks the store that holds the configuration.
    static constexpr int32_t kMarkerPosition = 64;
    // The SMS-table columns the smart write compares.
    static constexpr int32_t kNewNumberColumn = 5;
    static constexpr int32_t kNewTextColumn = 4;
    static constexpr int32_t kDeleteMarkColumn = 7;
    static constexpr int32_t kCurrentNumberColumn = 2;
    static constexpr int32_t kCurrentTextColumn = 1;

    CUnitSequencer(CProcessorHandler& handler, CComPortCommSource& commSource,
                   CConfigurationModel& model, const CAppLanguage& language, ISequencerView& view);
    ~CUnitSequencer();
    CUnitSequencer(const CUnitSequencer&) = delete;
    CUnitSequencer& operator=(const CUnitSequencer&) = delete;

    // Opens the port with the module's line settings. The port's exception leaves with its
    // message; nothing else changes then.
    void OpenPort(const std::string& portName);
    // Reads the unit on the open port.
    void StartConnect();

    // Checks every new value first; when one cannot be sent the view is shown "INVALID_DATA"
    // with every refused value, nothing is sent and false is returned. Otherwise the write
    // starts.
    bool Write(bool checkCountryCode);
    // Both after the user has confirmed them.
    void Reset();
    void ClearSim();

    // Stops every run and closes the port; the new values stay for the next unit.
    void Disconnect();

    bool IsOpen() const;
    // A run goes on: started and not yet ended.
    bool IsRunning() const { return running; }
    void ClearWriteFlags();
    // Whether Write and Reset Unit read the unit back and compare it with what they meant to
    // leave there (on by default). A difference fails the operation.
    void SetVerify(bool on) { verify = on; }
    bool GetVerify() const { return verify; }
    // 0 while the configuration store is the module's own ("ME"), 1 for the SIM ("SM").
    int32_t GetStoreFlag() const { return storeFlag; }

    // The run in progress, or the last one once the view has heard RunEnded.
    const CRunSummary& LastRun() const { return summary; }

    // Called with each controller just before it is queued; tests shorten time-outs here.
    std::function<void(IController&)> OnControllerQueued;

private:
    template <typename T>
    void Enqueue(CRefPtr<T> controller);
    template <typename T, typename... Args>
    void Queue(Args&&... args);
    void QueueChangeMode(bool simStore);
    void QueueCheckMode();
    void QueuePin();
    void QueueReadSetting();
    void QueueDeleteSms();
    void QueueWriteSms();
    void QueueWritePhoneBook();
    void QueueDeletePhoneBook();
    void QueueReadSms();
    void QueueReadPhoneBook();
    void QueueSignalCheck();
    void Describe(CControllerBase& controller);

    using EOperation = CRunSummary::EOperation;

    void StopProcessor();
    void Run(EOperation operation);
    void EndRun(ERunOutcome outcome);
    // A write's last step: disconnect and the plug hint.
    void EndWrite();
    // Compares the unit as just read with what the run meant to leave; on a difference the run
    // fails with the differences listed and false is returned.
    bool Verify();
    // The changes the run about to start will send, from the tables as they are now.
    void CountPlannedChanges();
    void CloseConnection();
    void Fail(const IController& controller, const std::string& cause);
    // The failed step in the user's words, and what else the user must know about it.
    std::string FailureText(const IController& controller, const std::string& cause) const;
    void QueueStrayDelete(int32_t index);

    // Reset Unit and Clear SIM erase only the positions that hold an entry: the store is read,
    // its occupied positions deleted, and its own count of used positions must then be 0, or
    // every position is deleted one by one after all.
    enum class EEraseStage : uint8_t { none, sizingSim, readingOccupied, countingLeft };
    void QueueOccupancyRead(int32_t lastPosition);
    // What follows the erase: the full sweep when asked for, then the rest of the operation.
    void QueueEraseTail(bool fullSweep);
    // Handles a controller of the erase and queues the next step; false when `controller` is
    // not the step the erase waits for, which the usual reactions then handle.
    bool EraseStepFinished(const IController& controller);
    void ControllerFinished(IController& controller);
    void BeforeController(IController& controller);
    std::string Text(const std::string& key) const;

    CProcessorHandler& handler;
    CComPortCommSource& commSource;
    CConfigurationModel& model;
    const CAppLanguage& language;
    ISequencerView& view;

    int32_t storeFlag = 0;
    bool writeFlagPhoneBook = false;
    bool writeFlagSms = false;
    // Read by the SIM wait long after it was queued; set by the PIN request.
    bool pinAsked = false;
    bool running = false;
    CRunSummary summary;
    bool verify = true;
    // What the write or reset in progress means to leave on the unit.
    CUnitImage expected;
    // Lent to the delete that removes a message the module stored out of the unit's reach.
    CRefPtr<CSmsStrayDelete> strayDelete;
    EEraseStage eraseStage = EEraseStage::none;
    // Clear SIM: whether the configuration store it returns to is the SIM's.
    bool configurationOnSim = false;
    CRefPtr<CPhoneBookOccupancy> occupancy;
    CRefPtr<CPhoneBookOccupiedDelete> occupiedDelete;
    // The run's steps for the progress display: started so far, and expected in all.
    int32_t stepsStarted = 0;
    int32_t plannedSteps = 0;
    // The signal poll waits at the end of the queue; it is no step of the run.
    bool signalCheckQueued = false;
};
