#include "model/settingrules.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "model/unitlayout.h"
#include "settingrulecases.h"

namespace {

using L = CUnitLayout;

TEST(PlainSettingGui, KeepsWhatTheWindowsPresentersKeep) {
    for (const SettingRuleCase& c : rulecases::kCases) {
        const auto presenter = MakeRef<CPlainSettingGui>(c.kind);
        rulecases::ExpectKeptValues(*presenter, c);
    }
}

TEST(PlainSettingGui, ListValuesFollowTheItemTheListWouldSelect) {
    const auto relay = MakeRef<CPlainSettingGui>(ESettingKind::activeRelay);
    // Nothing selected yet: a caption falls back.
    relay->SetNewValue(std::string("Relay 2"));
    EXPECT_EQ(relay->GetValue(ValueKind::New), "1");
    relay->ShowUnitValue(std::string("3"));
    relay->ShowUnitValue(std::string(""));  // leaves the list alone
    EXPECT_EQ(relay->SelectedItem(), 3);
    relay->SetNewValue(std::string("Both Relays"));
    EXPECT_EQ(relay->GetValue(ValueKind::New), "3");
}

TEST(PlainSettingGuis, TheElevenStartAsTheWindowsAndCarryTheUnitsSettings) {
    const CPlainSettingGuis guis;
    const std::array<ESettingKind, 5> kinds = {ESettingKind::activeTime, ESettingKind::activeRelay,
                                               ESettingKind::smsAck, ESettingKind::accessControl,
                                               ESettingKind::inputBehaviour};
    for (std::size_t i = 0; i < CPlainSettingGuis::kCount; ++i) {
        const ESettingKind kind = i < kinds.size() ? kinds[i] : ESettingKind::delayBlockTime;
        EXPECT_EQ(guis[i].Kind(), kind) << i;
        EXPECT_EQ(guis[i].GetValue(ValueKind::New), rulecases::StartValue(kind)) << i;
        EXPECT_EQ(guis[i].GetValue(ValueKind::Current), "") << i;
    }

    // Through the model as the window's presenters go: each setting position reaches its own
    // presenter and its rule, and only what changed is written back.
    CConfigurationModel model;
    model.SetPresenters(guis.Lend());
    const std::pair<int32_t, const char*> unit[] = {{L::kActiveTimePosition, "007"},
                                                    {L::kActiveRelayPosition, "7"},
                                                    {L::kSmsAckPosition, "5"},
                                                    {L::kAccessControlPosition, "1"},
                                                    {L::kInputBehaviourPosition, "1"}};
    for (const auto& [position, value] : unit) {
        model.PhoneBookTable().setData(position - 1, L::kPhoneBookCurrentNumberColumn, value);
    }
    for (int32_t input = 1; input <= L::kInputCount; ++input) {
        model.PhoneBookTable().setData(L::DelayPosition(input) - 1,
                                       L::kPhoneBookCurrentNumberColumn,
                                       std::to_string(10 + input));
    }
    model.ApplyReadSettings();
    const std::array<const char*, CPlainSettingGuis::kCount> kept = {
        "7", "1", "1", "1", "1", "11", "12", "13", "14", "15", "16"};
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(guis[i].GetValue(ValueKind::Current), kept[i]) << i;
        EXPECT_FALSE(guis[i].IsChanged()) << i;
    }

    guis[7].SetNewValue(std::string("+12"));  // input 3, which the unit holds as 13
    model.PrepareSettingsForWriting();
    for (int32_t position = L::kFirstSettingPosition; position <= L::kLastSettingPosition;
         ++position) {
        if (position == L::kCallMaskPosition) {
            continue;
        }
        const bool written = position == L::DelayPosition(3);
        EXPECT_EQ(model.PhoneBookTable().getData(position - 1, L::kPhoneBookNewNumberColumn),
                  written ? "12" : "")
            << position;
        EXPECT_EQ(
            L::IsMarked(model.PhoneBookTable().getData(position - 1, L::kPhoneBookWriteColumn)),
            written)
            << position;
    }
}

}  // namespace
