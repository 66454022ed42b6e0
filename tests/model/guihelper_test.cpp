#include "model/guihelper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/refobject.h"

namespace {

// A presenter with no controls: it keeps what it is given and records what the base passes on.
class CRecordingGui : public IGuiHelper {
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
    void StoreValue(ValueKind kind, const std::string& text) override {
        stored.push_back(static_cast<int>(kind));
        IGuiHelper::StoreValue(kind, text);
    }
    std::vector<int> stored;
};

const auto kOtherKind = static_cast<ValueKind>(2);

TEST(GuiHelper, EachKindReachesItsOwnValueAndAnyOtherKindOnlyReadsTheNewOne) {
    const auto gui = MakeRef<CRecordingGui>();
    EXPECT_EQ(gui->GetValue(ValueKind::Current), "");
    EXPECT_EQ(gui->GetValue(ValueKind::New), "");

    gui->SetValue(ValueKind::Current, "5");
    gui->StoreValue(ValueKind::New, "6");
    EXPECT_EQ(gui->stored, (std::vector<int>{1, 0}));

    gui->SetValue(kOtherKind, "7");
    EXPECT_EQ(gui->stored.size(), 2U);  // not even passed on
    gui->StoreValue(kOtherKind, "8");
    EXPECT_EQ(gui->GetValue(ValueKind::Current), "5");
    EXPECT_EQ(gui->GetValue(ValueKind::New), "6");
    EXPECT_EQ(gui->GetValue(kOtherKind), "6");
}

TEST(GuiHelper, ChangedMeansTheTextsDifferExactly) {
    const auto gui = MakeRef<CRecordingGui>();
    const struct {
        const char* current;
        const char* fresh;
        bool changed;
    } cases[] = {
        {"1", "1", false}, {"1", "01", true}, {"x", "X", true}, {"", "2", true}, {"2", "", true},
    };
    for (const auto& c : cases) {
        gui->SetValue(ValueKind::Current, c.current);
        gui->SetValue(ValueKind::New, c.fresh);
        EXPECT_EQ(gui->IsChanged(), c.changed) << c.current << " / " << c.fresh;
    }
}

TEST(GuiHelper, TextsPassedByValueReachTheOperationsWhileOwnTextsSeeTheReplacement) {
    const auto gui = MakeRef<CRecordingGui>();
    gui->SetNewValue("2");
    EXPECT_EQ(gui->GetValue(ValueKind::New), "new:2");

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
