#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The window and the parts of it that the tests reach.
#include "core/inifile.h"
#include "core/refobject.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "persistence/tempfolder.h"
#include "ui/alarmmessagessheet.h"
#include "ui/formprogress.h"
#include "ui/langcontroller.h"
#include "ui/mainform.h"
#include "ui/pagecontrol.h"
#include "ui/rightcolumn.h"
#include "ui/saveprofilechoiceform.h"
#include "ui/settingssheet.h"
#include "vtlist.h"

// What the user does to a dialog, run from its event loop once the current call has returned.
inline void Later(QObject* context, std::function<void()> action) {
    QTimer::singleShot(0, context, std::move(action));
}

// Once watching, answers every modal dialog that comes up while the code under test sits in
// its exec(), one scripted answer after the other, and keeps what each said. An answer that opens a
// further dialog in turn (an overwrite question) queues what the user does (Later), so that the
// next answer takes that one. A dialog beyond the answers is closed the harmless way (a message box
// with its OK or No, a form with Cancel) and one an answer did not close is rejected after a
// bound, so an unexpected dialog shows up in Seen() instead of hanging the test.
class DialogScript {
public:
    using Answer = std::function<void(QDialog&)>;

    DialogScript() {
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
    }

    // Watches from the first answer given, or from here: a test may show a modal dialog of its
    // own and drive it itself.
    void Watch() { timer.start(1); }
    void Then(Answer answer) {
        answers.push_back(std::move(answer));
        Watch();
    }
    // "critical: <text>", "information: <text>", "question: <text>", "plain: <text>" for
    // message boxes; "<form name>: <text>" for the forms, the PIN form adding its tries-left
    // text and " PUK" while its PUK field takes input.
    const std::vector<std::string>& Seen() const { return seen; }
    std::size_t Unanswered() const { return answers.size(); }
    // Forgets the dialogs seen; answers not used yet stay for the next dialogs.
    void Reset() { seen.clear(); }

    // Presses the named push button of a form.
    static Answer Press(const char* buttonName) {
        return [name = QString::fromLatin1(buttonName)](QDialog& dialog) {
            auto* button = dialog.findChild<QPushButton*>(name);
            ASSERT_NE(button, nullptr) << Describe(dialog) << " " << name.toStdString();
            button->click();
        };
    }
    // Checks a message box and presses one of its standard buttons.
    static Answer Box(std::function<void(QMessageBox&)> check,
                      QMessageBox::StandardButton which = QMessageBox::Ok) {
        return [check, which](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            ASSERT_TRUE(box != nullptr && box->button(which) != nullptr) << Describe(dialog);
            check(*box);
            Later(box, [box, which] { box->button(which)->click(); });
        };
    }
    static Answer Yes() {
        return Box([](QMessageBox&) {}, QMessageBox::Yes);
    }
    static Answer No() {
        return Box([](QMessageBox&) {}, QMessageBox::No);
    }
    // Types the codes into the fields that take input and presses OK.
    static Answer TypeCodes(const QString& pin, const QString& puk = QString()) {
        return [pin, puk](QDialog& dialog) {
            for (const auto& [name, code] :
                 {std::pair{"PINEdit", pin}, std::pair{"PUKEdit", puk}}) {
                auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
                ASSERT_NE(edit, nullptr) << name;
                if (edit->isEnabled()) {
                    QTest::keyClicks(edit, code);
                }
            }
            Press("OKButton")(dialog);
        };
    }

    static std::string Describe(QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            const std::map<QMessageBox::Icon, const char*> icons = {
                {QMessageBox::Critical, "critical"},
                {QMessageBox::Information, "information"},
                {QMessageBox::Question, "question"},
                {QMessageBox::Warning, "warning"}};
            const auto icon = icons.find(box->icon());
            return std::string(icon == icons.end() ? "plain" : icon->second) + ": " +
                   box->text().toStdString();
        }
        QString text = dialog.objectName() + QStringLiteral(":");
        for (const char* name : {"InfoLabel", "InstructionsLabel", "TriesLeftLabel"}) {
            if (auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name))) {
                text += QLatin1Char(' ') + label->text();
            }
        }
        auto* puk = dialog.findChild<QLineEdit*>(QStringLiteral("PUKEdit"));
        if (puk != nullptr && puk->isEnabled()) {
            text += QStringLiteral(" PUK");
        }
        return text.toStdString();
    }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        // A dialog is answered once, also when it becomes the active one again after another.
        const auto before = std::find_if(handled.begin(), handled.end(),
                                         [dialog](const auto& h) { return h.first == dialog; });
        if (before != handled.end()) {
            if (std::chrono::steady_clock::now() - before->second > std::chrono::seconds(5)) {
                dialog->reject();
            }
            return;
        }
        handled.emplace_back(dialog, std::chrono::steady_clock::now());
        seen.push_back(Describe(*dialog));
        if (!answers.empty()) {
            Answer answer = std::move(answers.front());
            answers.pop_front();
            answer(*dialog);
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(dialog);
        for (QMessageBox::StandardButton way : {QMessageBox::Ok, QMessageBox::No}) {
            if (box != nullptr && box->button(way) != nullptr) {
                box->button(way)->click();
                return;
            }
        }
        dialog->reject();
    }

    QTimer timer;
    std::deque<Answer> answers;
    std::vector<std::pair<QPointer<QDialog>, std::chrono::steady_clock::time_point>> handled;
    std::vector<std::string> seen;
};

inline void ClickCell(TVTList* grid, int row, int col) {
    grid->scrollTo(grid->model()->index(row, col));
    QRect rect;
    grid->getColumnRect(row, col, rect);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
}

// Opens the edit box on a cell, types `typed` into it and leaves it with Enter.
inline void EditCell(TVTList* grid, int row, int col, const QString& typed) {
    ClickCell(grid, row, col);
    grid->beginEditing();
    ASSERT_TRUE(grid->isEditing());
    QTest::keyClicks(grid->editor(), typed);
    QTest::keyClick(grid->editor(), Qt::Key_Return);
    ASSERT_FALSE(grid->isEditing());
}

// Picks the current or new values in the save choice dialog and saves, or cancels it.
inline DialogScript::Answer ChooseValues(bool current, bool cancel = false) {
    return [current, cancel](QDialog& dialog) {
        auto* form = qobject_cast<TSaveProfileChoiceForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        Later(form, [form, current, cancel] {
            (current ? form->CurrentValueChoice : form->NewValueChoice)->click();
            (cancel ? form->CancelButton : form->SaveButton)->click();
        });
    };
}

// Types `name` (relative to the starting folder, or absolute) into a profile file dialog as a
// user does (selectFile leaves a focused box be) and accepts it; an empty name cancels it.
inline DialogScript::Answer PickFile(const std::string& name, QFileDialog::AcceptMode mode) {
    return [name, mode](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->acceptMode(), mode);
        EXPECT_TRUE(files->nameFilters().value(0).endsWith(QStringLiteral("(*.pof)")));
        Later(files, [files, name] {
            auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name.empty() || edit == nullptr) {
                EXPECT_TRUE(name.empty()) << "no file name box";
                files->reject();
                return;
            }
            edit->setText(QString::fromStdString(name));
            static_cast<QDialog*>(files)->accept();  // as the Save/Open button does
        });
    };
}

// The dialogs' tests need a language loaded, not its texts.
inline const std::string kNoTexts = "[English]\r\n";

// A temporary program folder holding `languages`, loaded in English into `language` for the
// dialogs; the main window is made on the folder (and whatever settings a test writes there)
// when a test asks, offered the serial ports the test names. Every scripted answer to a dialog
// must have found its dialog.
class UiTest : public TempFolderTest {
protected:
    explicit UiTest(std::string languages = kNoTexts) : languages(std::move(languages)) {}

    void SetUp() override {
        TempFolderTest::SetUp();
        programFolder = PathOf("");
        language = MakeRef<CAppLanguage>(
            std::make_unique<CLanguageLoaderIni>(Put("languages.txt", languages)));
        language->SetLanguage("English");
    }
    // The window stores its settings as it goes: before the folder does.
    void TearDown() override {
        EXPECT_EQ(dialogs.Unanswered(), 0u) << ::testing::PrintToString(dialogs.Seen());
        form.reset();
        TempFolderTest::TearDown();
    }

    TMainForm& Create(const std::string& startPort = {}) {
        TMainFormEnvironment environment;
        environment.dataFolders = {programFolder};
        environment.configFolder = programFolder;
        environment.listPorts = [this](std::vector<std::string>& list) {
            list.insert(list.end(), ports.begin(), ports.end());
        };
        environment.describePorts = [] { return std::vector<CPortInfo>(); };
        environment.canOpen = [this](const std::string& name) { return name == openable; };
        environment.startPort = startPort;
        environment.openFolder = [this](const std::string& opened) {
            openedFolders.push_back(opened);
            return true;
        };
        form = std::make_unique<TMainForm>(environment);
        return *form;
    }

    TMainForm& Show(const std::string& startPort = {}) {
        Create(startPort);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    void WriteSettings(const std::string& text) { Put("settings.txt", "[Settings]\n" + text); }
    std::string Setting(const std::string& key) {
        return CIniFile(programFolder + "settings.txt").ReadString("Settings", key, "<missing>");
    }

    std::string languages;
    std::string programFolder;
    CRefPtr<CAppLanguage> language;
    std::vector<std::string> ports = {"ttyS0", "ttyUSB0", "ttyUSB1"};
    std::string openable;
    // What the window asked the desktop to open.
    std::vector<std::string> openedFolders;
    std::unique_ptr<TMainForm> form;
    DialogScript dialogs;
};
