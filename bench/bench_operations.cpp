// Times the unit operations as a user meets them: the real main window, offscreen, drives a
// simulated unit in-process over a pseudo-terminal paced like the module's line (57600 baud,
// 20 ms answer latency). The unit has a full 250-position configuration store on its SIM and
// 28 messages. Measured are
//   1. Connect: from the LED hint's OK until the unit is read and the signal poll starts,
//   2. Write of every access number and every message, made to take the fallback path (the
//      module stores the first message at another index), until the plug hint appears,
//   3. Reset Unit: from the confirmation's Yes until the unit is read back,
//   4. the processor time the process takes while connected and idle (the signal poll runs),
//   5. the peak resident memory.
// For 1 to 3 the lower bound is worked out from the exchanges the unit received: the fixed
// pauses the code keeps before each command, the line time of every byte both ways, the
// unit's latency and the reader's quiet period after each final result. Nothing is shortened
// for the benchmark: it measures what the program does.
//
//   bench_operations [--idle-seconds N]     (default 60)

#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "atcomm/controllerconnectioncheck.h"
#include "engine/controllerbase.h"
#include "model/configurationmodel.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "ui/formprogress.h"
#include "ui/mainform.h"
#include "ui/rightcolumn.h"
#include "unitsim/unitsimulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using L = CUnitLayout;

constexpr unsigned kBaud = 57600;
constexpr unsigned kLatencyMs = 20;
constexpr int kStoreCapacity = 250;

// The fixed waits of the production code, as the code keeps them: the port pauses before
// every write (CComPort), the controllers pause before most commands, and the general reader
// takes a final "OK" only once the line has been quiet this long.
constexpr double kPortWritePauseMs = 40;
constexpr double kCommandPauseMs = CControllerBase::kCommandPauseMs;
constexpr double kQuietMs = 5;
constexpr double kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

// --- The simulated unit ----------------------------------------------------------------------

std::string Digits(int value, int width) {
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))),
                       '0') +
           text;
}

std::string AccessNumber(int position) {
    return "+46701" + Digits(position, 6);
}

// The settings a configured unit keeps at positions 58 to 69; position 64 ("1") also marks the
// store as the one that holds the configuration.
std::string SettingValue(int position) {
    switch (position) {
        case L::kAccessControlPosition:
            return "1";
        case L::kCallMaskPosition:
            return "5";
        case L::kInputBehaviourPosition:
            return "0";
        case L::kSmsAckPosition:
        case L::kActiveRelayPosition:
            return "1";
        case L::kActiveTimePosition:
            return "5";
        default:
            return "2";  // the input delays
    }
}

// Every position of the SIM's 250-position store in use, the module's own store empty (so the
// connect looks there first and moves on), 28 messages, echo on as after a power cycle.
CUnitState FullUnit() {
    CUnitState state;
    CPhonebook& sim = state.phonebooks["SM"];
    sim.capacity = kStoreCapacity;
    sim.entries.clear();
    for (int position = 1; position <= kStoreCapacity; ++position) {
        if (L::IsSettingPosition(position)) {
            sim.entries[position] = {SettingValue(position), 129, L::kSettingName};
        } else {
            sim.entries[position] = {AccessNumber(position), 145, L::kAccessName};
        }
    }
    state.phonebooks["ME"].entries.clear();
    state.messages.clear();
    for (int index = 1; index <= L::kMessageCount; ++index) {
        const std::string input = L::AlarmInput(index) == L::kExternalPowerInput
                                      ? std::string("External power")
                                      : "Input " + std::to_string(L::AlarmInput(index));
        state.messages[index] = {"STO UNSENT", AccessNumber(L::Receiver(index)),
                                 "Alarm: " + input + (L::IsSecondState(index) ? " low" : " high"),
                                 ""};
    }
    return state;
}

// --- The window and its dialogs --------------------------------------------------------------

// The real main window, noting when a run ends and when the plug hint comes up, and what it
// was asked to show; every call goes on to the window itself.
class BenchForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    void RunEnded(ERunOutcome result) override {
        endedAt = Clock::now();
        outcome = result;
        Wake();
    }
    void ShowPlugDialog() override {
        plugShownAt = Clock::now();
        TMainForm::ShowPlugDialog();
    }
    void ReportSignal(int32_t signalStrength, int32_t loggedOnToNet) override {
        ++signalReports;
        TMainForm::ReportSignal(signalStrength, loggedOnToNet);
        Wake();
    }
    void ShowError(const std::string& text) override {
        complaints.push_back("error: " + text);
        TMainForm::ShowError(text);
    }
    void ShowInformation(const std::string& text) override {
        // A reset that was read back and found as meant says so; that is no problem.
        if (text != Language().GetText("VERIFIED")) {
            complaints.push_back("information: " + text);
        }
        TMainForm::ShowInformation(text);
    }
    void ShowMessage(const std::string& text) override {
        complaints.push_back("message: " + text);
        TMainForm::ShowMessage(text);
    }

    void Expect() {
        outcome.reset();
        plugShownAt.reset();
    }
    void Wake() {
        if (wake) {
            wake();
        }
    }

    std::optional<ERunOutcome> outcome;
    Clock::time_point endedAt{};
    std::optional<Clock::time_point> plugShownAt;
    int signalReports = 0;
    std::vector<std::string> complaints;
    std::function<void()> wake;
};

// Answers every modal dialog as soon as it is up, the way a user who has read it would: OK
// for the hints, Yes for a question. The progress window is not a question and is left alone.
class DialogAnswerer : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) {
            return false;
        }
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr || qobject_cast<TFormProgress*>(dialog) != nullptr) {
            return false;
        }
        QPointer<QDialog> shown(dialog);
        QTimer::singleShot(0, this, [this, shown] {
            if (shown) {
                Answer(*shown);
            }
        });
        return false;
    }

    // When the last dialog was answered: where the user's part of an operation ends.
    Clock::time_point answeredAt{};
    std::vector<std::string> answered;

private:
    void Answer(QDialog& dialog) {
        answeredAt = Clock::now();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            answered.push_back(box->text().toStdString());
            QAbstractButton* button = box->button(QMessageBox::Yes);
            if (button == nullptr) {
                button = box->button(QMessageBox::Ok);
            }
            if (button != nullptr) {
                button->click();
            } else {
                box->accept();
            }
            return;
        }
        answered.push_back(dialog.objectName().toStdString());
        if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))) {
            ok->click();
        } else {
            dialog.accept();
        }
    }
};

// Runs the event loop until `done` holds or the bound has passed; the form's hooks end the
// wait the moment something it waits for happens, so nothing polls.
bool Await(BenchForm& form, const std::function<bool()>& done, std::chrono::milliseconds bound) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(bound);
    form.wake = [&] {
        if (done()) {
            loop.quit();
        }
    };
    loop.exec();
    form.wake = nullptr;
    return done();
}

// --- The lower bound -------------------------------------------------------------------------

// Where the unit's counters stood at a moment.
struct LineMark {
    std::size_t commands = 0;
    std::size_t toUnit = 0;
    std::size_t fromUnit = 0;
};

LineMark Mark(const CUnitSimulator& unit) {
    return {unit.CommandCount(), unit.BytesReceived(), unit.BytesSent()};
}

// The connection check, the serial number question right after it, the SIM wait's probe read
// and the signal poll send without the controllers' command pause (the poll's own pause between
// polls is no part of an operation: a poll that falls inside one is the one the operation cut
// short, which still sends its command); every other command, message texts after the prompt
// included, waits it out.
bool SentAfterCommandPause(const std::string& entry) {
    return entry != "ATI" && entry != "AT+CGSN" && entry != "AT+CPBR=45" && entry != "AT+CSQ" &&
           entry != "AT+CREG?";
}

// A message header is answered by the text prompt, which is taken the moment it is complete;
// every other reply ends with a final result that must stay quiet for kQuietMs.
bool EndsWithQuietPeriod(const std::string& entry) {
    return !entry.starts_with("AT+CMGW");
}

// The connection check sends ESC before its first "ATI" (a write of its own, unlogged by the
// unit when it is not waiting for text) and lets the module settle before the "ATI".
constexpr double kReleaseMs = kPortWritePauseMs + CControllerConnectionCheck::kReleasePauseMs;

bool IsSignalPoll(const std::string& entry) {
    return entry == "AT+CSQ" || entry == "AT+CREG?";
}

struct Bound {
    std::size_t commands = 0;
    std::size_t bytesToUnit = 0;
    std::size_t bytesFromUnit = 0;
    std::size_t signalPolls = 0;
    double pausesS = 0;
    double latencyS = 0;
    double quietS = 0;
    double lineS = 0;

    double Total() const { return pausesS + latencyS + quietS + lineS; }
};

Bound LowerBound(const CUnitSimulator& unit, const LineMark& from, const LineMark& to) {
    const std::vector<std::string> log = unit.CommandLog();
    Bound bound;
    bool released = false;
    for (std::size_t i = from.commands; i < to.commands && i < log.size(); ++i) {
        const std::string& entry = log[i];
        ++bound.commands;
        if (entry == "ATI" && !released) {
            released = true;
            bound.pausesS += kReleaseMs / 1000;
        }
        bound.signalPolls += IsSignalPoll(entry) ? 1 : 0;
        bound.pausesS +=
            (kPortWritePauseMs + (SentAfterCommandPause(entry) ? kCommandPauseMs : 0)) / 1000;
        bound.latencyS += kLatencyMs / 1000.0;
        bound.quietS += EndsWithQuietPeriod(entry) ? kQuietMs / 1000 : 0;
    }
    bound.bytesToUnit = to.toUnit - from.toUnit;
    bound.bytesFromUnit = to.fromUnit - from.fromUnit;
    bound.lineS =
        static_cast<double>(bound.bytesToUnit + bound.bytesFromUnit) * kBitsPerByte / kBaud;
    return bound;
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

struct Operation {
    std::string name;
    double measuredS = 0;
    Bound bound;
};

// --- Processor time and memory ---------------------------------------------------------------

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::set<std::string> ThreadIds() {
    std::set<std::string> ids;
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
        ids.insert(task.path().filename().string());
    }
    return ids;
}

// Time on a processor of one thread of this process, from the scheduler's own count; -1 when
// the system does not keep it.
double ThreadCpuSeconds(const std::string& id) {
    std::ifstream stat("/proc/self/task/" + id + "/schedstat");
    uint64_t ns = 0;
    if (!(stat >> ns)) {
        return -1;
    }
    return static_cast<double>(ns) / 1e9;
}

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

std::string CpuModel() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (line.starts_with("model name")) {
            const std::size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown processor";
}

// --- The run ---------------------------------------------------------------------------------

int Fail(const std::string& what, const BenchForm* form, const DialogAnswerer* answerer) {
    std::fprintf(stderr, "bench_operations: %s\n", what.c_str());
    if (form != nullptr) {
        for (const std::string& complaint : form->complaints) {
            std::fprintf(stderr, "  the window showed %s\n", complaint.c_str());
        }
    }
    if (answerer != nullptr) {
        for (const std::string& dialog : answerer->answered) {
            std::fprintf(stderr, "  dialog answered: %s\n", dialog.c_str());
        }
    }
    return 1;
}

const char* OutcomeName(const std::optional<ERunOutcome>& outcome) {
    if (!outcome) {
        return "none (still running)";
    }
    switch (*outcome) {
        case ERunOutcome::ready:
            return "ready";
        case ERunOutcome::written:
            return "written";
        case ERunOutcome::failed:
            return "failed";
        case ERunOutcome::restartUnit:
            return "restart unit";
        case ERunOutcome::disconnected:
            return "disconnected";
    }
    return "?";
}

// Clicks Connect, answers the LED hint and waits until the unit is read; the time counts from
// the answer.
bool Connect(BenchForm& form, DialogAnswerer& answerer, Clock::time_point& started) {
    form.Expect();
    const std::size_t dialogs = answerer.answered.size();
    form.RightColumn->ConnectButton->click();
    if (answerer.answered.size() == dialogs) {
        return false;
    }
    started = answerer.answeredAt;
    return Await(
               form, [&] { return form.outcome.has_value(); }, std::chrono::minutes(2)) &&
           form.outcome == ERunOutcome::ready && form.CommSource().IsOpen();
}

void PrintOperation(const Operation& op) {
    const Bound& b = op.bound;
    std::printf("%-33s %10.2f %9.2f %15.3f\n", op.name.c_str(), op.measuredS, b.Total(),
                op.measuredS / b.Total());
}

void PrintBreakdown(const Operation& op) {
    const Bound& b = op.bound;
    const double commands = static_cast<double>(std::max<std::size_t>(b.commands, 1));
    std::printf("%-33s %zu commands, %zu bytes to the unit, %zu from it", op.name.c_str(),
                b.commands, b.bytesToUnit, b.bytesFromUnit);
    if (b.signalPolls > 0) {
        std::printf(" (with %zu from the signal poll the operation cancelled)", b.signalPolls);
    }
    std::printf("\n");
    std::printf(
        "%-33s pauses %.2f s + line %.2f s + latency %.2f s + quiet %.2f s = %.2f s;"
        " measured %+.1f ms a command\n",
        "", b.pausesS, b.lineS, b.latencyS, b.quietS, b.Total(),
        (op.measuredS - b.Total()) * 1000 / commands);
}

int Run(int& argc, char** argv, int idleSeconds) {
    const std::set<std::string> threadsBefore = ThreadIds();
    CUnitSimulatorOptions options;
    options.initialState = FullUnit();
    options.baud = kBaud;
    options.latencyMs = kLatencyMs;
    CUnitSimulator unit(std::move(options));
    unit.Start();
    std::vector<std::string> unitThreads;
    for (const std::string& id : ThreadIds()) {
        if (!threadsBefore.contains(id)) {
            unitThreads.push_back(id);
        }
    }

    QApplication app(argc, argv);
    QTemporaryDir programFolder;
    if (!programFolder.isValid()) {
        return Fail("cannot make a temporary program folder", nullptr, nullptr);
    }
    const std::string folder = programFolder.path().toStdString() + "/";
    if (!QFile::copy(QStringLiteral(SENDIBOX_DATA_DIR "/languages.txt"),
                     QString::fromStdString(folder + "languages.txt"))) {
        return Fail("cannot copy the language file", nullptr, nullptr);
    }
    const std::string port = unit.PortPath();
    TMainFormEnvironment environment;
    environment.dataFolders = {folder};
    environment.configFolder = folder;
    environment.listPorts = [port](std::vector<std::string>& list) { list.push_back(port); };
    environment.canOpen = [port](const std::string& name) { return name == port; };

    DialogAnswerer answerer;
    app.installEventFilter(&answerer);
    BenchForm form(environment);
    form.show();
    QApplication::processEvents();
    form.RightColumn->ComPortBox->setEditText(QString::fromStdString(port));

    std::vector<Operation> operations;

    // 1. Connect and read the whole unit.
    Clock::time_point started{};
    LineMark from = Mark(unit);
    if (!Connect(form, answerer, started)) {
        return Fail(std::string("connect ended ") + OutcomeName(form.outcome), &form, &answerer);
    }
    operations.push_back({"1 Connect and read the unit", Seconds(form.endedAt - started),
                          LowerBound(unit, from, Mark(unit))});

    // 2. Every text changed and every access number marked with a new number; the module
    //    stores the first message elsewhere, so everything is rewritten in order.
    TVTListData& sms = form.Model().SmsTable();
    for (int row = 0; row < L::kMessageCount; ++row) {
        sms.setData(row, L::kSmsNewTextColumn, "Changed alarm text " + std::to_string(row + 1));
    }
    TVTListData& phoneBook = form.Model().PhoneBookTable();
    const int accessNumbers = form.Model().GetAccessNumberCount();
    for (int number = 1; number <= accessNumbers; ++number) {
        const int row = L::AccessNumberPosition(number) - 1;
        phoneBook.setData(row, L::kPhoneBookNewNumberColumn, "+46709" + Digits(row + 1, 6));
        phoneBook.setData(row, L::kPhoneBookWriteColumn, L::kMark);
    }
    form.RepaintGrids();
    // Write on the connected unit, the module storing the first message elsewhere; timed up
    // to the plug hint.
    const auto write = [&](const char* name) {
        unit.SetStoreIndexFault(1);
        form.Expect();
        const LineMark writeFrom = Mark(unit);
        const Clock::time_point clicked = Clock::now();
        form.RightColumn->WriteButton->click();
        if (!Await(
                form, [&] { return form.outcome.has_value(); }, std::chrono::minutes(5)) ||
            form.outcome != ERunOutcome::written || !form.plugShownAt) {
            return false;
        }
        operations.push_back(
            {name, Seconds(*form.plugShownAt - clicked), LowerBound(unit, writeFrom, Mark(unit))});
        return true;
    };
    if (!write("2 Write + verify, fallback path")) {
        return Fail(std::string("write ended ") + OutcomeName(form.outcome), &form, &answerer);
    }

    // 2b. The same write again without the read-back: the marks and texts are still there.
    Clock::time_point rewriteConnect{};
    if (!Connect(form, answerer, rewriteConnect)) {
        return Fail(std::string("reconnect ended ") + OutcomeName(form.outcome), &form, &answerer);
    }
    form.SettingsMenuVerifyAfterWrite->setChecked(false);
    if (!write("2b Write, no verify, fallback")) {
        return Fail(std::string("write ended ") + OutcomeName(form.outcome), &form, &answerer);
    }
    form.SettingsMenuVerifyAfterWrite->setChecked(true);

    // 3. Reset Unit, on the unit connected again.
    Clock::time_point reconnected{};
    from = Mark(unit);
    if (!Connect(form, answerer, reconnected)) {
        return Fail(std::string("reconnect ended ") + OutcomeName(form.outcome), &form, &answerer);
    }
    const Operation again{"1 Connect again, after the write", Seconds(form.endedAt - reconnected),
                          LowerBound(unit, from, Mark(unit))};
    // Reset Unit on the connected unit, timed from the confirmation.
    const auto reset = [&](const char* name, const CUnitSimulator& resetUnit) {
        form.Expect();
        const LineMark resetFrom = Mark(resetUnit);
        const std::size_t dialogs = answerer.answered.size();
        form.RightColumn->ResetButton->click();
        const Clock::time_point confirmed = answerer.answeredAt;
        if (answerer.answered.size() == dialogs ||
            !Await(
                form, [&] { return form.outcome.has_value(); }, std::chrono::minutes(5)) ||
            form.outcome != ERunOutcome::ready) {
            return false;
        }
        operations.push_back({name, Seconds(form.endedAt - confirmed),
                              LowerBound(resetUnit, resetFrom, Mark(resetUnit))});
        return true;
    };
    if (!reset("3 Reset Unit + verify, full store", unit)) {
        return Fail(std::string("reset ended ") + OutcomeName(form.outcome), &form, &answerer);
    }

    // 3b. Reset Unit of a unit with 20 access numbers: only the occupied positions are erased.
    CUnitSimulatorOptions fewOptions;
    fewOptions.initialState = FullUnit();
    std::erase_if(fewOptions.initialState.phonebooks["SM"].entries, [](const auto& entry) {
        return !L::IsSettingPosition(entry.first) && entry.first > 20;
    });
    fewOptions.baud = kBaud;
    fewOptions.latencyMs = kLatencyMs;
    CUnitSimulator few(std::move(fewOptions));
    few.Start();
    form.Disconnect();
    form.RightColumn->ComPortBox->setEditText(QString::fromStdString(few.PortPath()));
    Clock::time_point fewConnected{};
    if (!Connect(form, answerer, fewConnected)) {
        return Fail(std::string("connect ended ") + OutcomeName(form.outcome), &form, &answerer);
    }
    if (!reset("3b Reset Unit, 20 access numbers", few)) {
        return Fail(std::string("reset ended ") + OutcomeName(form.outcome), &form, &answerer);
    }

    // 4. Connected and idle: measured from the first signal report on, so the poll is running.
    const int reports = form.signalReports;
    if (!Await(
            form, [&] { return form.signalReports > reports; }, std::chrono::seconds(10))) {
        return Fail("the signal poll did not report", &form, &answerer);
    }
    const int idleReportsFrom = form.signalReports;
    std::vector<double> unitCpuFrom;
    for (const std::string& id : unitThreads) {
        unitCpuFrom.push_back(ThreadCpuSeconds(id));
    }
    const double cpuFrom = ProcessCpuSeconds();
    const Clock::time_point idleFrom = Clock::now();
    {
        QEventLoop idle;
        QTimer::singleShot(std::chrono::seconds(idleSeconds), &idle, &QEventLoop::quit);
        idle.exec();
    }
    const double idleS = Seconds(Clock::now() - idleFrom);
    const double cpuS = ProcessCpuSeconds() - cpuFrom;
    double unitCpuS = 0;
    bool unitCpuKnown = !unitThreads.empty();
    for (std::size_t i = 0; i < unitThreads.size(); ++i) {
        const double now = ThreadCpuSeconds(unitThreads[i]);
        unitCpuKnown = unitCpuKnown && now >= 0 && unitCpuFrom[i] >= 0;
        unitCpuS += now - unitCpuFrom[i];
    }
    const int idleReports = form.signalReports - idleReportsFrom;

    if (!form.complaints.empty()) {
        return Fail("the window reported a problem", &form, &answerer);
    }
    form.Disconnect();

    std::printf(
        "The main window offscreen against the simulated unit in-process: %u baud, %u ms "
        "latency, a full %d-position store, %d messages.\n",
        kBaud, kLatencyMs, kStoreCapacity, L::kMessageCount);
    std::printf("Machine: %s, %u cores\n\n", CpuModel().c_str(),
                std::thread::hardware_concurrency());
    std::printf("%-33s %10s %9s %15s\n", "Operation", "measured s", "bound s", "measured/bound");
    for (const Operation& op : operations) {
        PrintOperation(op);
    }
    std::printf("%-33s %.2f %% of one core over %.0f s, %d signal polls", "4 Idle CPU, connected",
                100 * cpuS / idleS, idleS, idleReports);
    if (unitCpuKnown) {
        std::printf(" (the simulated unit's thread %.2f %%)", 100 * unitCpuS / idleS);
    }
    std::printf("\n%-33s %.1f MiB\n", "5 Peak resident memory", PeakRssMiB());
    std::printf(
        "\nThe bounds: the command pause (%.0f ms) and the port's write pause (%.0f ms) "
        "before each command,\nevery byte both ways at %u baud, %u ms latency a command, "
        "%.0f ms quiet after each final result.\n",
        kCommandPauseMs, kPortWritePauseMs, kBaud, kLatencyMs, kQuietMs);
    for (const Operation& op : operations) {
        PrintBreakdown(op);
    }
    std::printf("\n");
    PrintOperation(again);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int idleSeconds = 60;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--idle-seconds" && i + 1 < argc) {
            idleSeconds = std::max(1, std::atoi(argv[++i]));
        }
    }
    // The window runs without a screen wherever the benchmark runs.
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    try {
        return Run(argc, argv, idleSeconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_operations: %s\n", error.what());
        return 1;
    }
}
