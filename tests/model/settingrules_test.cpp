#include "model/settingrules.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "settingrulecases.h"

namespace {

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

TEST(PlainSettingGuis, TheElevenStartAsTheTableSaysAndAreLentInOrder) {
    const CPlainSettingGuis guis;
    // Lent in the same order, so each setting position reaches the presenter of its kind.
    const CSettingPresenters lent = guis.Lend();
    const IGuiHelper* const slots[] = {lent.activeTime, lent.activeRelay, lent.smsAck,
                                       lent.accessControl, lent.inputBehaviour};
    for (std::size_t i = 0; i < CPlainSettingGuis::kCount; ++i) {
        EXPECT_EQ(guis[i].Kind(), kSettingTable[i].kind) << i;
        EXPECT_EQ(guis[i].GetValue(ValueKind::New), kSettingTable[i].startValue) << i;
        EXPECT_EQ(i < 5 ? slots[i] : lent.inputDelays[i - 5], &guis[i]) << i;
    }
}

}  // namespace
