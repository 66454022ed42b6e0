#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/refobject.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "persistence/tempfolder.h"

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

// Two languages with their own texts for every key the dialogs use; the second carries
// Windows-1252 letters so that the conversion at the widget is seen.
inline const std::string kDialogLanguages =
    "[English]\r\nCANCEL=Cancel it\r\nSAVE_PROFILE_CHOICE=Which values?\r\n"
    "NEW_VALUES_CHOICE=The new ones\r\nCURRENT_VALUES_CHOICE=The current ones\r\n"
    "SAVE_BUTTON=Store\r\nCONTROLLER_PIN_ENTER_PIN=Type the PIN\r\n"
    "CONTROLLER_PIN_ENTER_PIN2=Type the PIN2\r\n"
    "CONTROLLER_PIN_ENTER_PUK=Type the PUK and a new PIN\r\n"
    "CONTROLLER_PIN_ENTER_PUK2=Type the PUK2 and a new PIN2\r\n"
    "CONTROLLER_PIN_TRIES_LEFT=Tries:\r\nCONTROLLER_PIN_INCORRECT_PASSWORD=Wrong code\r\n"
    "CONTROLLER_PIN_DISABLE_CODE=No more PIN\r\nGREEN_LED_LIT=Is the green LED lit?\r\n"
    "\r\n"
    "[Svenska]\r\nCANCEL=Avbryt\r\nSAVE_PROFILE_CHOICE=V\xE4lj v\xE4rden\r\n"
    "CONTROLLER_PIN_ENTER_PIN=Ange PIN-koden f\xF6r SIM-kortet\r\n"
    "CONTROLLER_PIN_TRIES_LEFT=F\xF6rs\xF6k kvar:\r\n";

// A temporary folder holding the languages above, with English loaded.
class DialogTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        language = MakeRef<CAppLanguage>(
            std::make_unique<CLanguageLoaderIni>(Put("languages.txt", kDialogLanguages)));
        language->SetLanguage("English");
    }

    CRefPtr<CAppLanguage> language;
};
