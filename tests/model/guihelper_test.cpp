#include "model/guihelper.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/refobject.h"

namespace {

// A presenter with no controls that marks what it is given, so a test sees which text it got.
class CMarkingGui : public IGuiHelper {
public:
    using IGuiHelper::SetNewValue;
    using IGuiHelper::ShowUnitValue;
    void Update(IObsEvent* /*event*/) override {}
    void ShowUnitValue(std::string& text) override {
        text = "unit:" + text;
        StoreValue(ValueKind::Current, text);
        StoreValue(ValueKind::New, text);
    }
    void SetNewValue(std::string& text) override {
        text = "new:" + text;
        StoreValue(ValueKind::New, text);
    }
};

TEST(GuiHelper, ValuesByKindAndChangedMeansTheTextsDifferExactly) {
    const auto gui = MakeRef<CMarkingGui>();
    gui->SetValue(ValueKind::Current, "5");
    gui->SetValue(ValueKind::New, "6");
    // Any other kind changes nothing and reads the new value.
    const auto other = static_cast<ValueKind>(2);
    gui->SetValue(other, "7");
    gui->StoreValue(other, "8");
    EXPECT_EQ(gui->GetValue(ValueKind::Current), "5");
    EXPECT_EQ(gui->GetValue(other), "6");

    const std::vector<std::tuple<const char*, const char*, bool>> cases = {
        {"1", "1", false}, {"1", "01", true}, {"x", "X", true}, {"", "2", true}, {"2", "", true}};
    for (const auto& [current, fresh, changed] : cases) {
        gui->SetValue(ValueKind::Current, current);
        gui->SetValue(ValueKind::New, fresh);
        EXPECT_EQ(gui->IsChanged(), changed) << current << " / " << fresh;
    }
}

TEST(GuiHelper, TextsPassedByValueReachTheOperationsWhileOwnTextsSeeTheReplacement) {
    const auto gui = MakeRef<CMarkingGui>();
    std::string text = "3";
    gui->ShowUnitValue(text);
    EXPECT_EQ(text, "unit:3");
    EXPECT_FALSE(gui->IsChanged());

    IGuiHelper& base = *gui;
    const std::string fixed = "4";
    base.SetNewValue(fixed);
    EXPECT_EQ(fixed, "4");
    EXPECT_EQ(base.GetValue(ValueKind::New), "new:4");
    EXPECT_TRUE(base.IsChanged());
}

}  // namespace
