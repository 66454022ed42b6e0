#include "ui/profilemenu.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"
#include "persistence/appsettings.h"
#include "ui/langcontroller.h"
#include "ui/saveprofilechoiceform.h"
#include "uitesting.h"

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
        EXPECT_EQ(files->nameFilters(), QStringList({"Profile (*.pof)", "All (*)"}));
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

class ProfileMenuTest : public UiTest {
protected:
    ProfileMenuTest()
        : UiTest("[English]\nPROFILE_FILTER=Profile (*.pof)\nALL_FILES_FILTER=All (*)\n") {}

    void SetUp() override {
        UiTest::SetUp();
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

// The file contents are the profile file's own tests and loading through the dialog is the
// profile loop's; here the default suffix, the stored choice and the overwrite question.
TEST_F(ProfileMenuTest, SavingAsksBeforeOverwritingAndRemembersTheChoice) {
    Sms().setData(0, L::kSmsCurrentTextColumn, "unit text");
    Sms().setData(0, L::kSmsNewTextColumn, "Door");
    // The profile folder is made on the first save; the default suffix completes the name.
    Save({ChooseValues(false), PickFile("first", QFileDialog::AcceptSave)});
    const std::string path = profiles + "first.pof";
    EXPECT_EQ(CIniFile(path).ReadString("cmg text", "0", ""), "Door");
    EXPECT_EQ(form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, ""), "1");
    Save({ChooseValues(true), PickFile("first.pof", QFileDialog::AcceptSave),
          AnswerBox([](QMessageBox& box) { EXPECT_TRUE(box.text().contains("first.pof")); },
                    QMessageBox::Yes)});
    EXPECT_EQ(form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, ""), "2");
    EXPECT_EQ(CIniFile(path).ReadString("cmg text", "0", ""), "unit text");
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

// A link into a missing folder cannot be written by anyone, root included.
TEST_F(ProfileMenuTest, UnwritableProfileShowsUnableToWrite) {
    fs::create_directories(profiles);
    fs::create_symlink(programFolder + "missing/x.pof", profiles + "broken.pof");
    Save({ChooseValues(false), PickFile("broken.pof", QFileDialog::AcceptSave),
          AnswerBox([this](QMessageBox& box) {
              EXPECT_EQ(box.text().toStdString(), "Unable to write to " + profiles + "broken.pof");
              EXPECT_EQ(box.icon(), QMessageBox::Critical);
          })});
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
