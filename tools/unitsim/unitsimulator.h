#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "unitsim/unitmodem.h"
#include "unitsim/unitstate.h"

struct CUnitSimulatorOptions {
    // The state file: loaded when it exists, else created from `initialState`; saved after
    // every change. Empty: the state lives in memory only.
    std::string statePath;
    CUnitState initialState;
    // A symbolic link to the pseudo-terminal, replacing a stale link of the same name and
    // removed again at Stop or hang-up. Empty: only the /dev/pts name is published.
    std::string linkPath;
    // Line pacing: bytes cross at baud / 10 per second both ways, each one no sooner than a
    // real line would carry it (0: as fast as the terminal takes them), and every reply waits
    // latencyMs after its command line.
    unsigned baud = 0;
    unsigned latencyMs = 0;
    // Every log entry as one line, escaped as in a message listing.
    std::string logPath;
    // Overrides of the state's values for this run; the state file keeps its own.
    std::optional<std::string> maker;
    std::optional<std::string> model;
    std::optional<std::string> revision;
    std::optional<int> simBusyMs;
    // Faults from the start (see CUnitModem).
    std::vector<CCommandFault> faults;
    int storeIndexFault = 0;
    int hangUpAfter = 0;
};

// The simulated unit: a GSM module emulator on a pseudo-terminal. The client opens
// PortPath() as it would a serial adapter; a worker thread answers on the master side.
//
// The simulator holds the slave side open itself, so the terminal survives any number of
// client closes and reopens. Because a pseudo-terminal keeps exclusive mode (TIOCEXCL) after
// its client has gone, unlike a real adapter, the worker watches the slave for opens and closes
// and ends exclusive mode, and restores raw mode, once the last client has closed it.
//
// Every public operation is thread-safe.
class CUnitSimulator {
public:
    // Loads or creates the state; throws std::runtime_error when the state file cannot be
    // read, parsed or created.
    explicit CUnitSimulator(CUnitSimulatorOptions options);
    ~CUnitSimulator();
    CUnitSimulator(const CUnitSimulator&) = delete;
    CUnitSimulator& operator=(const CUnitSimulator&) = delete;

    // Opens the pseudo-terminal, publishes the link and starts answering. Throws
    // std::runtime_error when the terminal or the link cannot be set up.
    void Start();
    // Stops answering, closes the terminal and removes the link. Idempotent.
    void Stop();

    // The path a client opens: the link when one was asked for, else the slave's name.
    std::string PortPath() const;
    std::string SlavePath() const;

    std::vector<std::string> CommandLog() const;
    std::size_t CommandCount() const;
    void ClearCommandLog();
    // Bytes taken from the line and put on it since Start, for working out what the line
    // speed alone costs an exchange.
    std::size_t BytesReceived() const { return bytesReceived; }
    std::size_t BytesSent() const { return bytesSent; }
    // A copy of the unit's state as it is now.
    CUnitState State() const;

    void AddFault(const CCommandFault& fault);
    // Removes the command faults, the store index fault and a pending hang-up.
    void ClearFaults();
    void SetStoreIndexFault(int nth);
    void SetHangUpAfter(int entries);
    // Sends "\r\n" + line + "\r\n" between replies, at the next moment the line is idle.
    void SendUnsolicited(const std::string& line);
    // Drops the line at once, like an adapter pulled from its socket: the master side closes,
    // so the client's reads and writes fail, and the link disappears.
    void HangUp();
    bool IsHungUp() const;

private:
    void Run();
    void Emit(const std::vector<CModemOutput>& outputs);
    bool Send(const std::string& bytes);
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    bool Interrupted() const;
    void Wake();
    void DrainWake();
    void WatchClients();
    void ReleaseClients();
    void CloseLine();
    void TakeLogEntries();
    void SaveState(const CUnitState& state);

    CUnitSimulatorOptions options;
    // What the state file holds for the values this run overrides.
    CUnitState fileIdentity;

    mutable std::mutex mutex;  // guards everything below it up to the fds
    std::unique_ptr<CUnitModem> modem;
    std::vector<std::string> log;
    std::deque<std::string> unsolicited;
    std::ofstream logFile;
    bool saveFailed = false;

    int master = -1;
    int slaveKeepAlive = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    int watch = -1;
    int clients = 0;
    std::string slavePath;
    bool linkPublished = false;
    std::chrono::steady_clock::time_point nextSend{};
    std::chrono::steady_clock::time_point lineInFree{};  // the worker's own

    std::thread worker;
    std::atomic<bool> stopping{false};
    std::atomic<bool> hangUpRequested{false};
    std::atomic<bool> hungUp{false};
    std::atomic<std::size_t> bytesReceived{0};
    std::atomic<std::size_t> bytesSent{0};
};
