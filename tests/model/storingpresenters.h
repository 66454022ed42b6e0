#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/refobject.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/settingtable.h"

// A setting presenter without controls that keeps what it is given, as the base class stores
// values; the real presenters' normalising is the window's business and is tested there. It can
// be told to fail, to stand for anything that goes wrong while a value is applied.
class CStoringPresenter : public IGuiHelper {
public:
    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent*) override {}
    void ShowUnitValue(std::string& text) override {
        StoreValue(ValueKind::Current, text);
        StoreValue(ValueKind::New, text);
    }
    void SetNewValue(std::string& text) override {
        if (fail) {
            throw std::runtime_error("cannot apply");
        }
        StoreValue(ValueKind::New, text);
    }

    bool fail = false;
};

// The eleven setting presenters in the main window's order, each holding its start value as
// read from a unit, so none counts as changed until a test changes it.
class CStoringPresenters {
public:
    static constexpr std::size_t kCount = kSettingCount;

    CStoringPresenters() {
        for (std::size_t i = 0; i < kCount; ++i) {
            owned[i] = MakeRef<CStoringPresenter>();
            owned[i]->ShowUnitValue(std::string(kSettingTable[i].startValue));
            each[i] = owned[i].get();
        }
    }
    CStoringPresenter& operator[](std::size_t index) { return *owned.at(index); }
    // In order, as a profile takes them.
    const std::array<IGuiHelper*, kCount>& Each() const { return each; }
    CSettingPresenters Lent() const { return CSettingPresenters::InTableOrder(each); }
    std::vector<std::string> Values(ValueKind kind) const {
        std::vector<std::string> values;
        for (const IGuiHelper* presenter : each) {
            values.push_back(presenter->GetValue(kind));
        }
        return values;
    }
    void SetAll(ValueKind kind, const std::string& value) {
        for (auto& presenter : owned) {
            presenter->StoreValue(kind, value);
        }
    }

private:
    std::array<CRefPtr<CStoringPresenter>, kCount> owned;
    std::array<IGuiHelper*, kCount> each{};
};
