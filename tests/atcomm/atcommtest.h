#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "atcomm/phonebookdata.h"
#include "atcomm/smsdata.h"
#include "engine/controllerbase.h"
#include "support/unitfixture.h"

// Shared pieces of the command controller tests: fault and unit set-up, a run helper, and
// in-memory stand-ins for the main window's providers and collectors.

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;

inline CCommandFault Fault(std::string pattern, Action action, bool andFollowing = false,
                           std::string text = {}) {
    return {.pattern = std::move(pattern),
            .andFollowing = andFollowing,
            .action = action,
            .text = std::move(text)};
}

inline CUnitSimulatorOptions WithFaults(std::vector<CCommandFault> faults,
                                        CUnitState state = UnitFixture::ConfiguredState()) {
    CUnitSimulatorOptions options;
    options.initialState = std::move(state);
    options.faults = std::move(faults);
    return options;
}

inline uint8_t Outcome(bool ok) {
    return ok ? IController::resultOk : IController::resultFailed;
}

// A reply time-out shorter than the production one, since an error reply arrives only as a
// time-out, yet long enough that a loaded machine never stretches a good reply beyond it.
inline constexpr uint32_t kShortReplyMs = 1000;

// Runs one controller to its end with the short reply time-out; returns its result.
template <class C>
uint8_t RunShort(UnitFixture& unit, const CRefPtr<C>& controller) {
    controller->SetReplyTimeout(kShortReplyMs);
    EXPECT_TRUE(unit.RunToFinish(controller));
    return controller->GetResult();
}

// A cursor over 1..last, as the real providers and collectors have, under whichever name the
// interface gives its step.
template <class Interface>
class RangeDouble : public Interface {
public:
    explicit RangeDouble(int32_t last) : last(last) {}
    bool HasMore() override { return current <= last; }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return last; }
    int32_t Current() const override { return current; }
    int32_t NextPosition() { return current++; }
    int32_t NextIndex() { return current++; }
    void Next() { ++current; }

protected:
    int32_t last;
    int32_t current = 1;
};

using PhoneBookDeleteDouble = RangeDouble<IPhoneBookDelete>;
using SmsDeleteDouble = RangeDouble<ISmsDelete>;

struct PhoneBookCollectorDouble : RangeDouble<IPhoneBookDataCollector> {
    using RangeDouble::RangeDouble;
    void SetEntry(int32_t position, const std::string& number, const std::string& value) override {
        entries[position] = {number, value};
    }
    std::map<int32_t, std::pair<std::string, std::string>> entries;
};

// Offers positions 1..last as access numbers "+46<position>" named "ACCESS".
struct PhoneBookProviderDouble : RangeDouble<IPhoneBookDataProvider> {
    using RangeDouble::RangeDouble;
    std::string GetNumber(int32_t position) override { return "+46" + std::to_string(position); }
    std::string GetText(int32_t) override { return "ACCESS"; }
    std::string GetType(int32_t) override { return "145"; }
};

using SmsMessage = std::pair<std::string, std::string>;  // number, text
using SmsMessages = std::map<int32_t, SmsMessage>;

// Collects into the unit's 28-message table by storage index.
struct SmsCollectorDouble : RangeDouble<ISmsDataCollector> {
    SmsCollectorDouble() : RangeDouble(28) {}
    void SetPendingMessage(const std::string&, const std::string&) override {}
    void SetMessage(int32_t index, const std::string& number, const std::string& text) override {
        messages[index] = {number, text};
    }
    SmsMessages messages;
};

// Supplies the given messages as indexes 1, 2, ...
struct SmsProviderDouble : RangeDouble<ISmsDataProvider> {
    explicit SmsProviderDouble(std::vector<SmsMessage> messages)
        : RangeDouble(static_cast<int32_t>(messages.size())), messages(std::move(messages)) {}
    std::string GetNumber() override { return messages.at(current - 1).first; }
    std::string GetText() override { return messages.at(current - 1).second; }
    std::vector<SmsMessage> messages;
};
