#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/refobject.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"

// A setting presenter without controls: it keeps the two values as given and logs every unit
// value it is shown, so a test sees which setting went to which presenter and in what order.
class PresenterDouble : public IGuiHelper {
public:
    using Log = std::vector<std::pair<std::string, std::string>>;

    PresenterDouble(std::string name, Log* log) : name(std::move(name)), log(log) {}

    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;

    void Update(IObsEvent* /*event*/) override {}
    void ShowUnitValue(std::string& text) override {
        log->emplace_back(name, text);
        StoreValue(ValueKind::Current, text);
        StoreValue(ValueKind::New, text);
    }
    void SetNewValue(std::string& text) override { StoreValue(ValueKind::New, text); }

private:
    std::string name;
    Log* log;
};

// The eleven presenters of the main window, each holding the start value as read from a unit,
// so none counts as changed until a test changes it.
struct PresenterSet {
    PresenterDouble::Log log;
    CRefPtr<PresenterDouble> activeTime = Make("activeTime", "2");
    CRefPtr<PresenterDouble> activeRelay = Make("activeRelay", "1");
    CRefPtr<PresenterDouble> smsAck = Make("smsAck", "0");
    CRefPtr<PresenterDouble> accessControl = Make("accessControl", "0");
    CRefPtr<PresenterDouble> inputBehaviour = Make("inputBehaviour", "0");
    std::vector<CRefPtr<PresenterDouble>> delays = {Make("delay1", "2"), Make("delay2", "2"),
                                                    Make("delay3", "2"), Make("delay4", "2"),
                                                    Make("delay5", "2"), Make("delay6", "2")};

    PresenterSet() { log.clear(); }
    PresenterSet(const PresenterSet&) = delete;
    PresenterSet& operator=(const PresenterSet&) = delete;

    CSettingPresenters Lent() {
        CSettingPresenters lent;
        lent.activeTime = activeTime.get();
        lent.activeRelay = activeRelay.get();
        lent.smsAck = smsAck.get();
        lent.accessControl = accessControl.get();
        lent.inputBehaviour = inputBehaviour.get();
        for (std::size_t i = 0; i < delays.size(); ++i) {
            lent.inputDelays[i] = delays[i].get();
        }
        return lent;
    }

private:
    CRefPtr<PresenterDouble> Make(const char* name, const char* value) {
        auto presenter = MakeRef<PresenterDouble>(name, &log);
        presenter->ShowUnitValue(std::string(value));
        return presenter;
    }
};
