#pragma once

#include <string>

#include <gtest/gtest.h>

#include "model/guihelper.h"
#include "model/settingrules.h"
#include "model/settingtable.h"

// One setting's values through a presenter that starts as the window's does (its start value
// given as new value): optionally a value read from the unit, then optionally a typed or
// loaded value, and the two values kept. The same table runs against the presenter without
// controls and the window's presenters, so the two keep the same values.
struct SettingRuleCase {
    ESettingKind kind;
    const char* unit;   // nullptr: nothing read
    const char* typed;  // nullptr: nothing typed
    const char* current;
    const char* fresh;
};

namespace rulecases {

using K = ESettingKind;

// clang-format off
inline constexpr SettingRuleCase kCases[] = {
    // Active time: 0 is toggle, 1 to 254 in plain decimal; an invalid unit value becomes 2, an
    // invalid typed one (the toggle caption among them) 0.
    {K::activeTime, "0", nullptr, "0", "0"},        {K::activeTime, "007", nullptr, "7", "7"},
    {K::activeTime, "$1E", nullptr, "30", "30"},    {K::activeTime, "254", nullptr, "254", "254"},
    {K::activeTime, "255", nullptr, "2", "2"},      {K::activeTime, "abc", nullptr, "2", "2"},
    {K::activeTime, "", nullptr, "", ""},           {K::activeTime, nullptr, "15", "", "15"},
    {K::activeTime, nullptr, "Toggle", "", "0"},    {K::activeTime, nullptr, "255", "", "0"},
    {K::activeTime, nullptr, "-3", "", "0"},        {K::activeTime, "30", "0x0A", "30", "10"},
    {K::activeTime, "30", "", "30", "0"},
    // Drop-down lists: a valid unit value is kept as read, an invalid one gives the unit
    // fallback; a typed text that is no number (a caption, a negative number) keeps the
    // selection, anything else invalid gives the new-value fallback.
    {K::activeRelay, "3", nullptr, "3", "3"},       {K::activeRelay, "02", nullptr, "02", "02"},
    {K::activeRelay, "4", nullptr, "1", "1"},       {K::activeRelay, "7", nullptr, "1", "1"},
    {K::activeRelay, "-1", nullptr, "1", "1"},      {K::activeRelay, "", nullptr, "", ""},
    {K::activeRelay, nullptr, "0x2", "", "2"},      {K::activeRelay, nullptr, "4", "", "1"},
    {K::activeRelay, "2", "Relay 2", "2", "2"},     {K::activeRelay, "0", "caption", "0", "0"},
    {K::activeRelay, "", "caption", "", "1"},       {K::activeRelay, "3", "9", "3", "1"},
    {K::smsAck, "5", nullptr, "1", "1"},            {K::smsAck, nullptr, "5", "", "0"},
    {K::smsAck, "1", "Always", "1", "1"},           {K::smsAck, "1", "-1", "1", "1"},
    {K::smsAck, "1", "0", "1", "0"},
    {K::accessControl, "2", nullptr, "0", "0"},     {K::accessControl, "1", nullptr, "1", "1"},
    {K::accessControl, nullptr, "2", "", "0"},      {K::accessControl, "1", "ON", "1", "1"},
    {K::inputBehaviour, "9", nullptr, "0", "0"},    {K::inputBehaviour, nullptr, "1", "", "1"},
    {K::inputBehaviour, "1", "Delay", "1", "1"},    {K::inputBehaviour, "1", "x", "1", "1"},
    // Delays: a unit value is kept as read, out of range too; a typed one in plain decimal,
    // else the current value when in range, else 2.
    {K::delayBlockTime, "300", nullptr, "300", "300"}, {K::delayBlockTime, "007", nullptr, "007", "007"},
    {K::delayBlockTime, "", nullptr, "", ""},          {K::delayBlockTime, nullptr, " 12", "", "12"},
    {K::delayBlockTime, nullptr, "+12", "", "12"},     {K::delayBlockTime, "12", "$0C", "12", "12"},
    {K::delayBlockTime, "5", "abc", "5", "5"},         {K::delayBlockTime, "", "abc", "", "2"},
    {K::delayBlockTime, "300", "abc", "300", "2"},     {K::delayBlockTime, "$0F", "255", "$0F", "15"},
    {K::delayBlockTime, "5", "0", "5", "0"},           {K::delayBlockTime, "5", "254", "5", "254"},
};
// clang-format on

// Runs one case on a presenter of the case's kind that has just been made.
inline void ExpectKeptValues(IGuiHelper& presenter, const SettingRuleCase& c) {
    SCOPED_TRACE(::testing::Message()
                 << "kind " << static_cast<int>(c.kind) << ", unit " << (c.unit ? c.unit : "-")
                 << ", typed " << (c.typed ? c.typed : "-"));
    presenter.SetNewValue(std::string(StartValue(c.kind)));
    if (c.unit != nullptr) {
        std::string text = c.unit;
        presenter.ShowUnitValue(text);
        EXPECT_EQ(text, c.current);
        EXPECT_FALSE(presenter.IsChanged());
    }
    if (c.typed != nullptr) {
        std::string text = c.typed;
        presenter.SetNewValue(text);
        EXPECT_EQ(text, c.fresh);
    }
    EXPECT_EQ(presenter.GetValue(ValueKind::Current), c.current);
    EXPECT_EQ(presenter.GetValue(ValueKind::New), c.fresh);
}

}  // namespace rulecases
