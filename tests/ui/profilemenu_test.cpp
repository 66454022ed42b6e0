#include "ui/profilemenu.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/inifile.h"
#include "dialogtesting.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"
#include "persistence/appsettings.h"
#include "ui/alarmmessagessheet.h"
#include "ui/langcontroller.h"
#include "ui/mainform.h"
#include "ui/saveprofilechoiceform.h"
#include "ui/settingssheet.h"
#include "vtlist.h"
#include "windowtesting.h"

namespace {

namespace fs = std::filesystem;
using L = CUnitLayout;

// Picks the current or new values in the choice dialog and saves, or cancels it.
ModalSequence::Step ChooseValues(bool current, bool cancel = false) {
    return [current, cancel](QDialog& dialog) {
        auto* form = qobject_cast<TSaveProfileChoiceForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        Later(form, [form, current, cancel] {
            (current ? form->CurrentValueChoice : form->NewValueChoice)->click();
            (cancel ? form->CancelButton : form->SaveButton)->click();
        });
    };
}

// Picks `name` (relative to the starting folder, or absolute) in a profile file dialog;
// an empty name cancels it.
ModalSequence::Step PickFile(const std::string& name, QFileDialog::AcceptMode mode) {
    return [name, mode](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->acceptMode(), mode);
        EXPECT_EQ(files->fileMode(), mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                                     : QFileDialog::ExistingFile);
        EXPECT_EQ(files->nameFilters(), QStringList({"Profile (*.pof)", "All (*)"}));
        EXPECT_EQ(files->defaultSuffix(), "pof");
        EXPECT_TRUE(files->testOption(QFileDialog::DontUseNativeDialog));
        Later(files, [files, name] {
            if (name.empty()) {
                files->reject();
                return;
            }
            // Typed into the file name box, as a user does (selectFile leaves a focused box be).
            auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromStdString(name));
            static_cast<QDialog*>(files)->accept();  // as the Save/Open button does
        });
    };
}

// Checks a message box's text and presses one of its buttons.
ModalSequence::Step AnswerBox(std::function<void(QMessageBox&)> check,
                              QMessageBox::StandardButton button) {
    return [check, button](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        check(*box);
        Later(box, [box, button] { box->button(button)->click(); });
    };
}

class ProfileMenuTest : public WindowTest {
protected:
    ProfileMenuTest()
        : WindowTest("[English]\nPROFILE_FILTER=Profile (*.pof)\nALL_FILES_FILTER=All (*)\n") {}

    void SetUp() override {
        WindowTest::SetUp();
        Show();
        profiles = form->GetProfileFolder() + "/";
    }

    // Runs one menu entry against the user's steps; every step must be taken.
    void Run(const std::function<void(TMainForm&)>& entry, std::vector<ModalSequence::Step> steps) {
        ModalSequence user(std::move(steps));
        entry(*form);
        EXPECT_TRUE(user.Done());
    }

    void Save(std::vector<ModalSequence::Step> steps) { Run(SaveProfileFromMenu, steps); }
    void Load(const std::string& name, std::vector<ModalSequence::Step> more = {}) {
        more.insert(more.begin(), PickFile(name, QFileDialog::AcceptOpen));
        Run(LoadProfileFromMenu, more);
    }

    TVTListData& Sms() { return form->Model().SmsTable(); }
    TVTListData& PhoneBook() { return form->Model().PhoneBookTable(); }
    IGuiHelper& Presenter(std::size_t slot) { return *form->Presenters()[slot]; }

    std::string profiles;
};

TEST_F(ProfileMenuTest, SavedProfileLoadsBackThroughTheDialogs) {
    Sms().setData(0, L::kSmsCurrentTextColumn, "unit text");
    Sms().setData(0, L::kSmsNewTextColumn, "Door \xE9");
    Sms().setData(0, L::kSmsNewNumberColumn, "+46701");
    Sms().setData(0, L::kSmsNewCallColumn, "X");
    Sms().setData(3, L::kSmsDeleteColumn, "X");
    PhoneBook().setData(0, L::kPhoneBookNewNumberColumn, "+46702");
    PhoneBook().setData(0, L::kPhoneBookWriteColumn, "X");
    PhoneBook().setData(69, L::kPhoneBookCurrentNumberColumn, "+46770");
    Presenter(0).SetNewValue(std::string("45"));
    Presenter(1).ShowUnitValue(std::string("3"));
    Presenter(1).SetNewValue(std::string("2"));
    Presenter(6).SetNewValue(std::string("30"));

    // The profile folder is made on the first save; the default suffix completes the name.
    Save({ChooseValues(false), PickFile("first", QFileDialog::AcceptSave)});
    const std::string path = profiles + "first.pof";
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, ""), "1");

    const QString currentShown = form->SettingsSheet->ActiveRelayCurrentEdit->text();
    form->ClearFieldsButtonClick();
    Presenter(0).SetNewValue(std::string("2"));
    Presenter(1).SetNewValue(std::string("0"));
    Presenter(6).SetNewValue(std::string("2"));
    Load(path);
    EXPECT_EQ(Sms().getData(0, L::kSmsNewTextColumn), "Door \xE9");
    EXPECT_EQ(form->InputMessagesSheet->AlarmInputLists[0]->cellText(0, L::kSmsNewTextColumn),
              "Door \xE9");
    EXPECT_EQ(Sms().getData(0, L::kSmsNewNumberColumn), "+46701");
    EXPECT_EQ(Sms().getData(0, L::kSmsNewCallColumn), "X");
    EXPECT_EQ(Sms().getData(3, L::kSmsDeleteColumn), "X");
    EXPECT_EQ(PhoneBook().getData(0, L::kPhoneBookNewNumberColumn), "+46702");
    EXPECT_EQ(PhoneBook().getData(0, L::kPhoneBookWriteColumn), "X");
    EXPECT_EQ(form->SettingsSheet->ActiveTimeNewCombo->currentText(), "45");
    EXPECT_EQ(form->SettingsSheet->ActiveRelayNewCombo->currentIndex(), 2);
    EXPECT_EQ(form->SettingsSheet->InputDelayNewEdits[1]->text(), "30");
    // The current side is the unit's.
    EXPECT_EQ(Sms().getData(0, L::kSmsCurrentTextColumn), "unit text");
    EXPECT_EQ(Presenter(1).GetValue(ValueKind::Current), "3");
    EXPECT_EQ(form->SettingsSheet->ActiveRelayCurrentEdit->text(), currentShown);

    // Saving the current values over it asks first.
    Save({ChooseValues(true), PickFile("first.pof", QFileDialog::AcceptSave),
          AnswerBox([](QMessageBox& box) { EXPECT_TRUE(box.text().contains("first.pof")); },
                    QMessageBox::Yes)});
    EXPECT_EQ(form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, ""), "2");
    const CIniFile ini(path);
    EXPECT_EQ(ini.ReadString("cmg text", "0", ""), "unit text");
    EXPECT_EQ(ini.ReadString("cpb num", "69", ""), "+46770");
    EXPECT_EQ(ini.ReadString("cpb write", "69", ""), "X");
    EXPECT_EQ(ini.ReadString("cpb write", "0", ""), "");
    EXPECT_EQ(ini.ReadString("cpb num", "67", ""), "3");
}

TEST_F(ProfileMenuTest, CancellingAnyStepWritesAndLoadsNothing) {
    // Through the File menu's entries, as the user gets there.
    Run([](TMainForm& window) { window.SaveProfileMenu->trigger(); }, {ChooseValues(false, true)});
    Save({ChooseValues(true), PickFile("", QFileDialog::AcceptSave)});
    EXPECT_TRUE(fs::is_empty(profiles));
    // The choice made before Cancel is still remembered.
    EXPECT_EQ(form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, ""), "2");

    Sms().setData(0, L::kSmsNewTextColumn, "mine");
    Run([](TMainForm& window) { window.LoadProfileMenu->trigger(); },
        {PickFile("", QFileDialog::AcceptOpen)});
    EXPECT_EQ(Sms().getData(0, L::kSmsNewTextColumn), "mine");
}

TEST_F(ProfileMenuTest, JunkProfileShowsTheFixedMessageAndTheToolStaysUsable) {
    fs::create_directories(profiles);
    std::ofstream(profiles + "junk.pof", std::ios::binary) << std::string("\x7F\x45LF\0\x01", 6);
    std::ofstream(profiles + "good.pof", std::ios::binary) << "[cmg text]\r\n0=loaded\r\n";
    Sms().setData(0, L::kSmsNewTextColumn, "mine");
    Presenter(1).SetNewValue(std::string("3"));

    Load(profiles + "junk.pof",
         {AnswerBox(
             [this](QMessageBox& box) {
                 EXPECT_EQ(box.text(), LanguageText(form->Language(), "INVALID_PROFILE"));
                 // Which file and why, below the language's text.
                 EXPECT_EQ(box.informativeText().toStdString(),
                           profiles +
                               "junk.pof is not a profile that can be read: it is not a "
                               "text file");
                 EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
             },
             QMessageBox::Ok)});
    EXPECT_EQ(Sms().getData(0, L::kSmsNewTextColumn), "mine");
    EXPECT_EQ(Presenter(1).GetValue(ValueKind::New), "3");
    EXPECT_TRUE(form->isEnabled());

    const QString title = form->windowTitle();
    Load(profiles + "good.pof");
    EXPECT_EQ(Sms().getData(0, L::kSmsNewTextColumn), "loaded");
    EXPECT_EQ(Presenter(1).GetValue(ValueKind::New), "0");
    // The window names the profile its new values came from.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("good.pof - ") + title);
}

TEST_F(ProfileMenuTest, UnwritableProfileShowsUnableToWrite) {
    fs::create_directories(profiles);
    struct Case {
        std::string name;
        bool exists;
    };
    // A link into a missing folder cannot be written by anyone; a read-only file by anyone but
    // root.
    std::vector<Case> cases = {{"broken.pof", false}};
    fs::create_symlink(programFolder + "missing/x.pof", profiles + "broken.pof");
    if (::geteuid() != 0) {
        std::ofstream(profiles + "readonly.pof") << "[cmg text]\n0=keep\n";
        fs::permissions(profiles + "readonly.pof", fs::perms::owner_read);
        cases.push_back({"readonly.pof", true});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = profiles + c.name;
        std::vector<ModalSequence::Step> steps = {ChooseValues(false),
                                                  PickFile(c.name, QFileDialog::AcceptSave)};
        if (c.exists) {
            steps.push_back(AnswerBox([](QMessageBox&) {}, QMessageBox::Yes));
        }
        steps.push_back(AnswerBox(
            [path](QMessageBox& box) {
                EXPECT_EQ(box.text().toStdString(), "Unable to write to " + path);
                EXPECT_EQ(box.icon(), QMessageBox::Critical);
            },
            QMessageBox::Ok));
        Save(steps);
    }
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
