#include <QFile>
#include <map>

#include "model/plainsettinggui.h"
#include "persistence/profilefile.h"
#include "windowfixture.h"

namespace {

using L = CUnitLayout;

// The installer's loop: one profile loaded once, then for each unit connect, check, Write.
class ProfileLoop : public WindowOnUnit {
protected:
    // A site profile: active time 30, relay 2, input 1 delayed 7 s, only input 2 calling, and
    // one alarm text; every other setting at the window's start value.
    std::string SiteProfile() {
        const std::string path = PathOf("site.pof");
        CConfigurationModel model;
        CPlainSettingGuis settings;
        model.SetPresenters(settings.Lend());
        settings[0].SetNewValue(std::string("30"));
        settings[1].SetNewValue(std::string("2"));
        settings[5].SetNewValue(std::string("7"));
        model.SetNewCallMark(1, true);
        model.SmsTable().setData(4, L::kSmsNewTextColumn, "Site text");
        CProfilePresenters lent{};
        for (std::size_t i = 0; i < lent.size(); ++i) {
            lent[i] = &settings[i];
        }
        CProfileFile(path).Save(CProfileFile::kSaveNewValues, model, lent);
        return path;
    }

    std::map<int, std::string> StoredSettings(const char* store) const {
        return Numbers(store, L::kFirstSettingPosition, L::kLastSettingPosition);
    }

    void LoadProfile(const std::string& path) {
        dialogs.Then(PickFile(path, QFileDialog::AcceptOpen));
        form->LoadProfileMenuClick();
    }

    // Write with the plug hint confirmed; the run ends with the window disconnected.
    bool Write() {
        dialogs.Then(DialogScript::Press("OkButton"));
        return Click(form->RightColumn->WriteButton) && ShowsDisconnected();
    }

    void ConnectTo(const char* dataFile) {
        unit = StartUnit(DataState(dataFile));
        form->RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
    }
};

TEST_F(ProfileLoop, OneProfileReachesUnitAfterUnitExactlyAsTheWindowShowsIt) {
    const std::string profile = SiteProfile();
    const std::map<int, std::string> site = {{58, "2"}, {59, "2"}, {60, "2"}, {61, "2"},
                                             {62, "2"}, {63, "7"}, {64, "0"}, {65, "2"},
                                             {66, "0"}, {67, "0"}, {68, "2"}, {69, "30"}};
    TMainForm& w = Start("unit-me.json");
    LoadProfile(profile);
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("site.pof - ")));

    // Two units with other settings, in their module's store and on the SIM: the connect shows
    // each unit's values as current ones and keeps the profile's as new ones, and Write leaves
    // each unit with exactly the profile's settings, sending only those that differ.
    for (const auto& [file, store] : {std::pair{"unit-me.json", "ME"}, {"unit-demo.json", "SM"}}) {
        SCOPED_TRACE(file);
        ConnectTo(file);
        ASSERT_TRUE(Connect());
        const std::map<int, std::string> before = StoredSettings(store);
        EXPECT_EQ(w.SettingsSheet->ActiveTimeNewCombo->currentText(), QStringLiteral("30"));
        EXPECT_EQ(w.SettingsSheet->InputDelayNewEdits[0]->text(), QStringLiteral("7"));
        EXPECT_EQ(w.SettingsSheet->ActiveRelayNewCombo->currentIndex(), 2);
        EXPECT_NE(w.SettingsSheet->ActiveTimeCurrentEdit->text(), QStringLiteral("30"));
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[1]->cellText(0, L::kSmsNewCallColumn), "X");
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[6]->cellText(0, L::kSmsNewCallColumn), "");
        unit->ClearCommandLog();
        ASSERT_TRUE(Write());
        EXPECT_EQ(StoredSettings(store), site);
        int differing = 0;
        for (const auto& [position, value] : site) {
            differing += position != L::kCallMaskPosition && before.at(position) != value;
        }
        EXPECT_EQ(Sent("AT+CPBW="), differing + 1);
        EXPECT_EQ(unit->State().messages.at(5).text, "Site text");
    }

    // The same unit once more: it holds the profile now, so nothing but the call mask goes out;
    // no mark of the earlier writes sends a setting again.
    ASSERT_TRUE(Connect());
    unit->ClearCommandLog();
    ASSERT_TRUE(Write());
    EXPECT_EQ(Sent("AT+CPBW="), 1);
    EXPECT_EQ(Sent("AT+CPBW=65,\"2\""), 1);
}

// Reset Unit leaves every setting row marked for its own write; the next unit must not get
// those defaults. Clear Text Fields returns the settings to following the unit, so a Write
// after it keeps the unit as it is.
TEST_F(ProfileLoop, NeitherAResetNorAClearedProfileSendsWhatTheWindowDoesNotShow) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    dialogs.Then(DialogScript::Yes());
    ASSERT_TRUE(Click(w.RightColumn->ResetButton));
    ASSERT_TRUE(ShowsConnected());
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));

    ConnectTo("unit-demo.json");
    ASSERT_TRUE(Connect());
    const std::map<int, std::string> unitB = StoredSettings("SM");
    EXPECT_EQ(w.SettingsSheet->ActiveTimeNewCombo->currentText(), QStringLiteral("5"));
    unit->ClearCommandLog();
    ASSERT_TRUE(Write());
    EXPECT_EQ(Sent("AT+CPBW="), 1);
    EXPECT_EQ(StoredSettings("SM"), unitB);

    ASSERT_TRUE(Connect());
    LoadProfile(SiteProfile());
    EXPECT_EQ(w.SettingsSheet->ActiveTimeNewCombo->currentText(), QStringLiteral("30"));
    w.RightColumn->ClearFieldsButton->click();
    EXPECT_EQ(w.SettingsSheet->ActiveTimeNewCombo->currentText(), QStringLiteral("5"));
    EXPECT_EQ(w.SettingsSheet->InputDelayNewEdits[0]->text(), QStringLiteral("3"));
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(0, L::kSmsNewCallColumn), "X");
    EXPECT_FALSE(w.windowTitle().contains(QStringLiteral("site.pof")));
    unit->ClearCommandLog();
    ASSERT_TRUE(Write());
    EXPECT_EQ(Sent("AT+CPBW="), 1);
    EXPECT_EQ(Sent("AT+CMGW"), 0);
    EXPECT_EQ(StoredSettings("SM"), unitB);
}

// Whatever reads or replaces the new values first takes what an open editor shows: a grid cell
// being typed into, or a setting's new control that still has the focus.
TEST_F(ProfileLoop, AnOpenEditIsTakenBeforeAnythingReadsTheNewValues) {
    const std::string saved = PathOf("typed.pof");
    const struct {
        const char* entry;
        std::function<void(TMainForm&)> run;
        std::function<void(TMainForm&)> check;
    } cases[] = {
        {"Write", [this](TMainForm&) { ASSERT_TRUE(Write()); },
         [this](TMainForm&) {
             EXPECT_EQ(unit->State().messages.at(2).text, "Typed");
             EXPECT_EQ(StoredSettings("ME").at(63), "45");
         }},
        {"Save Profile",
         [this, saved](TMainForm& w) {
             dialogs.Then(ChooseValues(false));
             dialogs.Then(PickFile(saved, QFileDialog::AcceptSave));
             w.SaveProfileMenu->trigger();
         },
         [saved](TMainForm&) {
             QFile file(QString::fromStdString(saved));
             ASSERT_TRUE(file.open(QIODevice::ReadOnly));
             const QByteArray text = file.readAll();
             EXPECT_TRUE(text.contains("\n1=Typed")) << text.toStdString();
             EXPECT_TRUE(text.contains("\n62=45")) << text.toStdString();
             file.close();
             QFile::remove(QString::fromStdString(saved));
         }},
        {"Connect",
         [this](TMainForm& w) {
             ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
             ASSERT_TRUE(Connect());
         },
         [](TMainForm& w) {
             EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(1, L::kSmsNewTextColumn),
                       "Typed");
             EXPECT_EQ(w.Presenters()[5]->GetValue(ValueKind::New), "45");
         }},
        {"language switch", [](TMainForm& w) { w.SwitchLanguage("Svenska"); },
         [](TMainForm& w) {
             EXPECT_EQ(w.Model().SmsTable().getData(1, L::kSmsNewTextColumn), "Typed");
             EXPECT_EQ(w.Presenters()[5]->GetValue(ValueKind::New), "45");
         }},
        {"Clear Text Fields", [](TMainForm& w) { w.RightColumn->ClearFieldsButton->click(); },
         [](TMainForm& w) {
             // Taken and then cleared: the editor does not put it back when it closes later.
             w.PageControl->setCurrentWidget(w.SettingsSheet);
             w.SettingsSheet->ActiveTimeNewCombo->setFocus();
             EXPECT_EQ(w.Model().SmsTable().getData(1, L::kSmsNewTextColumn), "");
             EXPECT_EQ(w.Presenters()[5]->GetValue(ValueKind::New), "2");
         }},
    };
    for (const bool inGrid : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.entry) + (inGrid ? " with a grid cell" : " with a delay"));
            TMainForm& w = Start("unit-me.json");
            ASSERT_TRUE(Connect());
            QApplication::setActiveWindow(&w);
            QLineEdit* delay = w.SettingsSheet->InputDelayNewEdits[0];
            const auto typeDelay = [&w, delay] {
                w.PageControl->setCurrentWidget(w.SettingsSheet);
                delay->setFocus();
                delay->selectAll();
                QTest::keyClicks(delay, QStringLiteral("45"));
            };
            // Both edits are made; the one left open is the one under test, the other one is
            // handed on as leaving it does.
            typeDelay();
            w.PageControl->setCurrentWidget(w.InputMessagesSheet);
            TVTList* grid = w.InputMessagesSheet->AlarmInputLists[0];
            ClickCell(grid, 1, L::kSmsNewTextColumn);
            grid->beginEditing();
            ASSERT_TRUE(grid->isEditing());
            QTest::keyClicks(grid->editor(), QStringLiteral("Typed"));
            if (!inGrid) {
                QTest::keyClick(grid->editor(), Qt::Key_Return);
                typeDelay();
                ASSERT_EQ(QApplication::focusWidget(), delay);
            }
            c.run(w);
            c.check(w);
            Close();
        }
    }
}

}  // namespace
