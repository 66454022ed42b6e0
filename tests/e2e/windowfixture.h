#pragma once

#include "support/sequencerfixture.h"
// The window's fixture, its dialog script and the grid cell helpers, shared with its own tests.
#include "ui/uitesting.h"

// The real main window offscreen, in a program folder of its own with the shipped language
// file, against the simulated unit on a pseudo-terminal, with the time-outs and pauses of its
// controllers shortened so that whole operations take milliseconds.
class WindowOnUnit : public UiTest {
protected:
    using Ms = std::chrono::milliseconds;

    WindowOnUnit() : UiTest(Contents(SENDIBOX_DATA_DIR "/languages.txt")) {
        ports.clear();
        dialogs.Watch();
    }

    // Starts the unit and the window and types the unit's port into the port box.
    TMainForm& Start(CUnitState state) {
        unit = StartUnit(std::move(state));
        TMainForm& window = Show();
        window.Sequencer().OnControllerQueued = [](IController& c) { MakeQuick(c); };
        window.CommSource().GetPort()->SetWritePause(Ms(0));
        window.RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
        return window;
    }
    TMainForm& Start(const std::string& dataFile) { return Start(DataState(dataFile)); }
    // Closes the window and forgets its dialogs, for the next case of a table.
    void Close() {
        form.reset();
        dialogs.Reset();
    }

    bool PumpUntil(const std::function<bool()>& condition, Ms bound = Ms(10000)) {
        return QTest::qWaitFor(condition, static_cast<int>(bound.count()));
    }
    // Clicks the button (its dialogs answered by the script) and pumps until the run it may
    // have started has ended.
    bool Click(QPushButton* button, Ms bound = Ms(20000)) {
        button->click();
        return PumpUntil([this] { return !form->Sequencer().IsRunning(); }, bound);
    }
    // Connect with the LED hint confirmed; true when the window then shows the unit connected.
    ::testing::AssertionResult Connect() {
        const std::size_t before = dialogs.Seen().size();
        dialogs.Then(DialogScript::Press("OkButton"));
        if (!Click(form->RightColumn->ConnectButton)) {
            return ::testing::AssertionFailure() << "the connect run did not end";
        }
        if (dialogs.Seen().size() != before + 1) {
            return ::testing::AssertionFailure() << ::testing::PrintToString(dialogs.Seen());
        }
        return ShowsConnected();
    }

    // How many commands starting with `prefix` the unit received.
    int Sent(const std::string& prefix) const { return CountPrefix(unit->CommandLog(), prefix); }
    // The poll keeps asking: two more signal queries arrive.
    bool PollRunning() {
        const int asked = Sent("AT+CSQ");
        return PumpUntil([&] { return Sent("AT+CSQ") >= asked + 2; });
    }
    // The numbers the unit's phonebook `store` holds from `first` to `last`, by position.
    std::map<int, std::string> Numbers(const char* store, int first = 1, int last = 1000) const {
        std::map<int, std::string> numbers;
        const CUnitState state = unit->State();
        for (const auto& [position, entry] : state.phonebooks.at(store).entries) {
            if (position >= first && position <= last) {
                numbers[position] = entry.number;
            }
        }
        return numbers;
    }

    // The eleven controls that show the unit's settings.
    std::vector<QLineEdit*> CurrentControls() const {
        const TSettingsSheet& sheet = *form->SettingsSheet;
        std::vector<QLineEdit*> controls = {
            sheet.ActiveTimeCurrentEdit, sheet.ActiveRelayCurrentEdit, sheet.SmsAckCurrentEdit,
            sheet.AccessControlCurrentEdit, sheet.InputBehaviourCurrentEdit};
        controls.insert(controls.end(), sheet.InputDelayCurrentEdits.begin(),
                        sheet.InputDelayCurrentEdits.end());
        return controls;
    }
    // The language's text of `key`, as the window shows it.
    std::string Text(const char* key) const {
        return LanguageText(form->Language(), key).toStdString();
    }

    // The caption, the unit buttons, the progress window and the window's own state agree that
    // the unit is connected, or not (the current controls then empty).
    ::testing::AssertionResult Shows(bool connected) const {
        TMainForm& w = *form;
        const std::string caption = w.RightColumn->ConnectButton->text().toStdString();
        if (caption != Text(connected ? "DISCONNECT" : "CONNECT_TO_UNIT")) {
            return ::testing::AssertionFailure() << "caption " << caption;
        }
        for (const QPushButton* button : {w.RightColumn->WriteButton, w.RightColumn->ResetButton,
                                          w.RightColumn->ClearSimButton}) {
            if (button->isEnabled() != connected) {
                return ::testing::AssertionFailure() << button->objectName().toStdString();
            }
        }
        if (!w.isEnabled() || w.ProgressForm().isVisible()) {
            return ::testing::AssertionFailure() << "the progress window is still up";
        }
        if (w.Sequencer().IsOpen() != connected || w.Sequencer().IsRunning()) {
            return ::testing::AssertionFailure() << "the port or the run is not as shown";
        }
        for (const QLineEdit* edit : CurrentControls()) {
            if (!connected && !edit->text().isEmpty()) {
                return ::testing::AssertionFailure() << edit->objectName().toStdString()
                                                     << " shows " << edit->text().toStdString();
            }
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult ShowsConnected() const { return Shows(true); }
    ::testing::AssertionResult ShowsDisconnected() const { return Shows(false); }

    std::unique_ptr<CUnitSimulator> unit;
};
