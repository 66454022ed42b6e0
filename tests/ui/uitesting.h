#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/inifile.h"
#include "core/refobject.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "persistence/tempfolder.h"
#include "ui/mainform.h"
#include "vtlist.h"

// What the user does to a dialog, run from its event loop once the current call has returned.
inline void Later(QObject* context, std::function<void()> action) {
    QTimer::singleShot(0, context, std::move(action));
}

// Answers the modal dialogs that come up one after another, the n-th with the n-th step, while
// the code under test sits in their exec(). A step that opens a further dialog in turn (an
// overwrite question) queues what the user does (Later), so that the next step answers it. A
// dialog beyond the steps, or one still open at the bound, is rejected, so a test fails
// instead of hanging. Create it before the call that blocks.
class ModalSequence {
public:
    using Step = std::function<void(QDialog&)>;

    explicit ModalSequence(std::vector<Step> steps,
                           std::chrono::milliseconds bound = std::chrono::seconds(10))
        : steps(std::move(steps)), deadline(std::chrono::steady_clock::now() + bound) {
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start(1);
    }

    // Every step taken, no dialog unexpected and none left open.
    bool Done() const { return next == steps.size() && !unexpected && !timedOut; }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool seen = std::find(handled.begin(), handled.end(), dialog) != handled.end();
        if (dialog != nullptr && !seen) {
            handled.emplace_back(dialog);
            if (next < steps.size()) {
                steps[next++](*dialog);
            } else {
                unexpected = true;
                ADD_FAILURE() << "unexpected " << dialog->metaObject()->className();
                Later(dialog, [dialog] { dialog->reject(); });
            }
        } else if (dialog != nullptr && std::chrono::steady_clock::now() >= deadline) {
            timedOut = true;
            timer.stop();
            dialog->reject();
        }
    }

    std::vector<Step> steps;
    std::chrono::steady_clock::time_point deadline;
    QTimer timer;
    // A dialog is answered once, also when it becomes the active one again after another.
    std::vector<QPointer<QDialog>> handled;
    std::size_t next = 0;
    bool unexpected = false;
    bool timedOut = false;
};

// Checks a message box's text and presses one of its buttons.
inline ModalSequence::Step AnswerBox(std::function<void(QMessageBox&)> check,
                                     QMessageBox::StandardButton button = QMessageBox::Ok) {
    return [check, button](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        check(*box);
        Later(box, [box, button] { box->button(button)->click(); });
    };
}

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

// The dialogs' tests need a language loaded, not its texts.
inline const std::string kNoTexts = "[English]\r\n";

// A temporary program folder holding `languages`, loaded in English into `language` for the
// dialogs; the main window is made on the folder (and whatever settings a test writes there)
// when a test asks, offered the serial ports the test names.
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
};
