#include "cli/unitjob.h"

#include <exception>
#include <utility>

#include "atcomm/controllerwritesms.h"
#include "cli/clioutput.h"
#include "cli/profilecheck.h"
#include "core/win1252.h"
#include "model/unitimage.h"
#include "model/unitlayout.h"
#include "operations/differencetext.h"
#include "operations/invalidvaluetext.h"
#include "operations/unitrecords.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "persistence/profilefile.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "seriallink/trafficlog.h"

namespace {

using L = CUnitLayout;

// `text` followed by the sentence `more`.
std::string AddSentence(const std::string& text, const std::string& more) {
    return text + (text.ends_with('.') ? " " : ". ") + more;
}

constexpr char kOverBoundText[] = "the unit did not finish in time";

std::string Count(int32_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

CUnitJob::CUnitJob(const CCliOptions& options, std::string port, const CAppLanguage& language,
                   CCliOutput& output, const CUnitJobSettings& settings,
                   const std::atomic<bool>& cancelled, CUnitRecords* records)
    : options(options),
      port(std::move(port)),
      language(language),
      settings(settings),
      cancelled(cancelled),
      output(output),
      records(records),
      source(MakeRef<CComPortCommSource>()),
      view(this->port, language, output, options.pin, options.puk) {
    auto comPort = std::make_unique<CComPort>();
    if (settings.writePause) {
        comPort->SetWritePause(*settings.writePause);
    }
    source->SetPort(std::move(comPort));
    StartTrace();
    model.SetPresenters(presenters.Lend());
    sequencer = std::make_unique<CUnitSequencer>(handler, *source, model, language, view);
    sequencer->SetVerify(options.verify);
    sequencer->OnControllerQueued = [this](IController& controller) {
        if (dynamic_cast<CControllerWriteSms*>(&controller) != nullptr) {
            rewroteAllMessages = true;
        }
        if (this->settings.onControllerQueued) {
            this->settings.onControllerQueued(controller);
        }
    };
}

CUnitJob::~CUnitJob() {
    // The worker may still hold a controller that uses the model, the port and the
    // sequencer (the SIM wait reads its PIN-asked flag): it stops before any of them goes.
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();
    sequencer.reset();
    source->Close();
}

std::string CUnitJob::Profile() const {
    return ProfileForPort(options.profile, port);
}

CUnitReport CUnitJob::Ok(std::string text) {
    return {port, true, std::move(text)};
}

CUnitReport CUnitJob::Failed(std::string text) {
    if (sequencer->IsOpen()) {
        sequencer->Disconnect();
    }
    return {port, false, "FAILED " + std::move(text)};
}

CUnitReport CUnitJob::FailedRun() {
    const std::string reason = view.FailureText();
    return Failed(reason.empty() ? "the unit's run ended unexpectedly" : reason);
}

CUnitReport CUnitJob::Stopped() {
    CUnitReport report = Failed(overBound ? kOverBoundText : "cancelled");
    report.cancelled = !overBound;
    return report;
}

void CUnitJob::StartTrace() {
    if (options.trace.empty()) {
        return;
    }
    const std::string file = ProfileForPort(options.trace, port);
    traceFile.open(file, std::ios::binary | std::ios::trunc);
    if (!traceFile) {
        // The trace is for support; the unit is served without it.
        output.Progress(port + ": the trace cannot be written to " + file);
        return;
    }
    // Nothing is kept in memory: the file is the log.
    trace = std::make_shared<CTrafficLog>(0);
    trace->SetSink(&traceFile);
    source->SetTap(trace);
}

void CUnitJob::Record(const CRunSummary& run) {
    lastRun = run;
    if (records == nullptr) {
        return;
    }
    CRecordContext context;
    context.port = port;
    if (run.operation == CRunSummary::EOperation::write) {
        context.profile = Profile();
    }
    if (const std::optional<std::string> failure = records->Append(run, context)) {
        output.Progress("sendibox-cli: the records cannot be written (" +
                        CCliOutput::OneLine(*failure) + ")");
    }
}

bool CUnitJob::Await(const std::function<void()>& start) {
    view.ForgetOutcome();
    start();
    const bool ended = loop.PumpUntil(
        [this] { return !sequencer->IsRunning() || cancelled.load(); }, settings.runBound);
    const bool finished = ended && !sequencer->IsRunning();
    if (!finished) {
        overBound = !ended;
        sequencer->Disconnect();
    }
    // Only a run that started has ended (a write refused before sending starts none).
    if (view.Outcome()) {
        CRunSummary run = sequencer->LastRun();
        if (overBound) {
            run.outcome = ERunOutcome::failed;
            run.failureText = kOverBoundText;
        }
        Record(run);
    }
    return finished;
}

CUnitReport CUnitJob::Run() {
    CUnitReport report = Serve();
    report.run = lastRun;
    if (trace && trace->SinkFailed()) {
        output.Progress(port + ": the trace file could not be written to the end");
    }
    return report;
}

CUnitReport CUnitJob::Serve() {
    if (cancelled.load()) {
        CUnitReport report = Failed("cancelled");
        report.cancelled = true;
        return report;
    }
    try {
        sequencer->OpenPort(port);
    } catch (const std::exception& error) {
        // A connect that could not even open its port is on record too.
        CRunSummary run;
        run.outcome = ERunOutcome::failed;
        run.failureText = Utf8ToWin1252(error.what());
        Record(run);
        return Failed(CCliOutput::OneLine(error.what()));
    }
    sequencer->ClearWriteFlags();
    if (!Await([this] { sequencer->StartConnect(); })) {
        return Stopped();
    }
    if (view.Outcome() != ERunOutcome::ready) {
        return FailedRun();
    }
    return Connected();
}

CUnitReport CUnitJob::Connected() {
    switch (options.command) {
        case ECliCommand::read:
            return Read();
        case ECliCommand::write:
            return Write();
        case ECliCommand::reset:
            return Change(
                [this] { sequencer->Reset(); },
                "unit reset: access numbers and alarm messages erased, default settings written");
        case ECliCommand::clearSim:
            return Change([this] { sequencer->ClearSim(); }, "SIM phonebook cleared");
        case ECliCommand::diff:
            return Diff();
        case ECliCommand::ports:
        case ECliCommand::check:
            break;
    }
    return Failed("unknown command");
}

CUnitReport CUnitJob::Read() {
    const std::string file = Profile();
    try {
        CProfileFile(file).Save(options.saveChoice, model, CProfileCheck::Presenters(presenters));
    } catch (const std::exception& error) {
        return Failed(CCliOutput::OneLine(error.what()));
    }
    // Only now: a disconnect clears the values just saved.
    sequencer->Disconnect();
    const bool newValues = options.saveChoice == CProfileFile::kSaveNewValues;
    const std::string shownAs = options.profileShownAs.empty() ? file : options.profileShownAs;
    return Ok(std::string("OK ") + (newValues ? "new" : "current") + " values saved to " + shownAs);
}

CUnitReport CUnitJob::Write() {
    if (std::optional<std::string> failure =
            CProfileCheck::Load(CProfileFile(Profile()), model, presenters)) {
        return Failed(*failure);
    }
    int32_t messages = 0;
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        const TVTListData& sms = model.SmsTable();
        if (L::IsMarked(sms.getData(row, L::kSmsNewTextColumn)) ||
            L::IsMarked(sms.getData(row, L::kSmsNewNumberColumn)) ||
            L::IsMarked(sms.getData(row, L::kSmsDeleteColumn))) {
            ++messages;
        }
    }
    bool started = false;
    int32_t entries = 0;
    rewroteAllMessages = false;
    const bool ended = Await([&] {
        started = sequencer->Write(settings.checkCountryCode);
        if (!started) {
            return;
        }
        // What the write marks name now is what the phonebook write stores.
        for (int32_t row = 0; row < model.GetPhoneBookSize(); ++row) {
            if (L::IsMarked(model.PhoneBookTable().getData(row, L::kPhoneBookWriteColumn))) {
                ++entries;
            }
        }
    });
    if (!started) {
        return Failed(view.FailureText());
    }
    if (!ended) {
        return Stopped();
    }
    if (view.Outcome() != ERunOutcome::written) {
        return FailedRun();
    }
    if (rewroteAllMessages) {
        messages = L::kMessageCount;
    }
    std::string text = "OK wrote " + Count(messages, "alarm message", "alarm messages") + " and " +
                       Count(entries, "phonebook entry", "phonebook entries");
    if (sequencer->LastRun().verification == CRunSummary::EVerification::verified) {
        text = AddSentence(text, CCliOutput::Text(language.GetText("VERIFIED")));
    }
    if (!view.PlugHint().empty()) {
        text = AddSentence(text, view.PlugHint());
    }
    return Ok(text);
}

CUnitReport CUnitJob::Diff() {
    if (std::optional<std::string> failure =
            CProfileCheck::Load(CProfileFile(Profile()), model, presenters)) {
        return Failed(*failure);
    }
    // What the window's Write would send: the values it refuses are named, as a write names
    // them, and nothing is compared.
    if (const std::vector<CInvalidValue> invalid =
            model.FindInvalidValues(settings.checkCountryCode);
        !invalid.empty()) {
        return Failed(
            CProfileCheck::InvalidValuesLine(InvalidValuesText(invalid, language, invalid.size())));
    }
    model.PrepareSettingsForWriting();
    const std::vector<CImageDifference> changes =
        CompareImages(CUnitImage::AfterWrite(model), CUnitImage::AsRead(model));
    sequencer->Disconnect();
    CUnitReport report =
        Ok(changes.empty() ? std::string("OK the unit holds what the profile holds")
                           : "OK a write would change " +
                                 Count(static_cast<int32_t>(changes.size()), "value", "values"));
    for (const CImageDifference& change : changes) {
        report.details.push_back(CCliOutput::Text(DescribeChange(change, language)));
    }
    return report;
}

CUnitReport CUnitJob::Change(const std::function<void()>& operation, const std::string& done) {
    if (!Await(operation)) {
        return Stopped();
    }
    if (view.Outcome() != ERunOutcome::ready) {
        return FailedRun();
    }
    std::string text = "OK " + done;
    if (sequencer->LastRun().verification == CRunSummary::EVerification::verified) {
        text = AddSentence(text, CCliOutput::Text(language.GetText("VERIFIED")));
    }
    sequencer->Disconnect();
    return Ok(text);
}
