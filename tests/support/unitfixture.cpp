#include "support/unitfixture.h"

#include "engine/responsereader.h"

CUnitState UnitFixture::ConfiguredState() {
    CUnitState state;
    state.profile.echo = false;
    state.profile.textMode = true;
    return state;
}

UnitFixture::UnitFixture(CUnitState state)
    : UnitFixture([&state] {
          CUnitSimulatorOptions options;
          options.initialState = std::move(state);
          return options;
      }()) {}

UnitFixture::UnitFixture(CUnitSimulatorOptions options) {
    options.linkPath.clear();
    unit = std::make_unique<CUnitSimulator>(std::move(options));
    unit->Start();
    auto port = std::make_unique<CComPort>();
    port->SetPortName(unit->PortPath());
    port->SetSettings("57600,n,8,1");
    source->SetPort(std::move(port));
    source->Open();
    handler.AfterCompleted = [this](const std::string&) { ++completedRuns; };
}

UnitFixture::~UnitFixture() {
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();
    // Notifications the worker posted before the cancel are stale now; the handler drops them.
    loop.PumpPending();
}

bool UnitFixture::RunQueued(Ms bound) {
    const int before = completedRuns;
    if (!handler.Run()) {
        return false;
    }
    return loop.PumpUntil([&] { return completedRuns > before; }, bound);
}

std::string UnitFixture::Exchange(const std::string& command, uint32_t timeoutMs) {
    source->Write(command.data(), static_cast<uint32_t>(command.size()));
    CGeneralResponseReader reader;
    reader.SetTimeout(timeoutMs);
    reader.Read(source.get());
    return reader.GetResponse();
}
