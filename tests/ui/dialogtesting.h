#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/refobject.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "persistence/tempfolder.h"

// Acts on the next modal dialog while the code under test sits in its exec(): `act` runs once
// the dialog is up. A dialog still open when the bound has passed is closed as cancelled, so a
// test whose action does not end the dialog fails instead of hanging. Create it before the
// call that blocks; it stops watching when destroyed.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QDialog&)> act,
                         std::chrono::milliseconds bound = std::chrono::seconds(5))
        : act(std::move(act)), deadline(std::chrono::steady_clock::now() + bound) {
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start(1);
    }

    bool Acted() const { return acted; }
    bool TimedOut() const { return timedOut; }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (std::chrono::steady_clock::now() >= deadline) {
                timer.stop();
            }
            return;
        }
        if (!acted) {
            acted = true;
            act(*dialog);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            timedOut = true;
            timer.stop();
            dialog->reject();
        }
    }

    std::function<void(QDialog&)> act;
    std::chrono::steady_clock::time_point deadline;
    QTimer timer;
    bool acted = false;
    bool timedOut = false;
};

// Two languages with their own texts for every key the dialogs use; the second carries
// Windows-1252 letters so that the conversion at the widget is seen.
inline const std::string kDialogLanguages =
    "[English]\r\n"
    "CANCEL=Cancel it\r\n"
    "SAVE_PROFILE_CHOICE=Which values?\r\n"
    "NEW_VALUES_CHOICE=The new ones\r\n"
    "CURRENT_VALUES_CHOICE=The current ones\r\n"
    "SAVE_BUTTON=Store\r\n"
    "CONTROLLER_PIN_ENTER_PIN=Type the PIN\r\n"
    "CONTROLLER_PIN_ENTER_PIN2=Type the PIN2\r\n"
    "CONTROLLER_PIN_ENTER_PUK=Type the PUK and a new PIN\r\n"
    "CONTROLLER_PIN_ENTER_PUK2=Type the PUK2 and a new PIN2\r\n"
    "CONTROLLER_PIN_TRIES_LEFT=Tries:\r\n"
    "CONTROLLER_PIN_INCORRECT_PASSWORD=Wrong code\r\n"
    "CONTROLLER_PIN_DISABLE_CODE=No more PIN\r\n"
    "GREEN_LED_LIT=Is the green LED lit?\r\n"
    "RECONNECT_PLUGS=Reconnect the plugs\r\n"
    "\r\n"
    "[Svenska]\r\n"
    "CANCEL=Avbryt\r\n"
    "SAVE_PROFILE_CHOICE=V\xE4lj v\xE4rden\r\n"
    "CONTROLLER_PIN_ENTER_PIN=Ange PIN-koden f\xF6r SIM-kortet\r\n"
    "CONTROLLER_PIN_TRIES_LEFT=F\xF6rs\xF6k kvar:\r\n"
    "GREEN_LED_LIT=Lyser den gr\xF6na lysdioden?\r\n"
    "RECONNECT_PLUGS=S\xE4tt i kontakterna igen\r\n";

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
