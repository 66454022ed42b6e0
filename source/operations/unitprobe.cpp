#include "operations/unitprobe.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

#include "atcomm/controllerconnectioncheck.h"
#include "core/refobject.h"
#include "engine/mainloop.h"
#include "engine/processorhandler.h"
#include "operations/unitsequencer.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"

namespace {

std::string OnOneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

CProbeResult Ask(CComPortCommSource& source, const CProbeSettings& settings) {
    CMainLoop loop;
    CProcessorHandler handler(loop.Poster());
    auto check = MakeRef<CControllerConnectionCheck>(settings.attempts);
    if (settings.replyTimeoutMs) {
        check->SetReplyTimeout(*settings.replyTimeoutMs);
    }
    check->SetCommSource(&source);
    bool finished = false;
    handler.OnControllerFinished = [&finished](const std::string&, IController*) {
        finished = true;
    };
    // A step that throws (the adapter pulled out) ends the check as failed all the same.
    handler.OnException = [](const std::string&, const std::exception&) {};
    handler.Add(CRefPtr<IController>::Share(check.get()));
    handler.Run();
    // Each attempt ends by the check's own time-out; this only keeps a broken device from
    // holding the search.
    const uint32_t replyMs =
        settings.replyTimeoutMs.value_or(CControllerConnectionCheck::kReplyTimeoutMs);
    const auto bound = std::chrono::milliseconds(
        (replyMs + 1000) * static_cast<uint32_t>(std::max(settings.attempts, 1)) + 2000);
    loop.PumpUntil([&finished] { return finished; }, bound);
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();

    if (finished && check->GetResult() == IController::resultOk) {
        std::string text = check->GetMaker();
        if (!check->GetModel().empty()) {
            text += (text.empty() ? "" : " ") + check->GetModel();
        }
        return {CProbeResult::EKind::unit, text};
    }
    if (check->HasUnsupportedAnswer()) {
        return {CProbeResult::EKind::otherDevice, OnOneLine(check->GetIdentification())};
    }
    return {CProbeResult::EKind::silent, {}};
}

}  // namespace

CProbeResult ProbeForUnit(const std::string& portName, const CProbeSettings& settings) {
    try {
        auto source = MakeRef<CComPortCommSource>();
        auto port = std::make_unique<CComPort>();
        port->SetSettings(CUnitSequencer::kPortSettings);
        port->SetPortName(portName);
        if (settings.writePause) {
            port->SetWritePause(*settings.writePause);
        }
        source->SetPort(std::move(port));
        try {
            source->Open();
        } catch (const std::exception& error) {
            return {CProbeResult::EKind::unavailable, OnOneLine(error.what())};
        }
        CProbeResult result = Ask(*source, settings);
        source->Close();
        return result;
    } catch (const std::exception& error) {
        return {CProbeResult::EKind::unavailable, OnOneLine(error.what())};
    }
}

std::vector<CProbeResult> ProbeForUnits(const std::vector<std::string>& portNames,
                                        const CProbeSettings& settings) {
    std::vector<CProbeResult> results(portNames.size());
    std::vector<std::thread> threads;
    threads.reserve(portNames.size());
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        try {
            threads.emplace_back([&results, &portNames, &settings, i] {
                results[i] = ProbeForUnit(portNames[i], settings);
            });
        } catch (const std::system_error&) {
            // No thread to spare: this port is asked here, after the others have started.
            results[i] = ProbeForUnit(portNames[i], settings);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}
