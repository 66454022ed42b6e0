#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/sequencerfixture.h"
#include "ui/mainform.h"
#include "ui/pagecontrol.h"
// The grid cell helpers (ClickCell, EditCell) shared with the window's own tests.
#include "ui/uitesting.h"

class QLineEdit;
class QPushButton;
class TVTList;

// Answers every modal dialog the window shows, one scripted answer after the other, and keeps
// what each said. A dialog left without an answer is closed the harmless way (a message box
// with its OK or No, a form with Cancel), and one that an answer did not close is rejected
// after a bound, so an unexpected dialog shows up in Seen() instead of hanging the test.
class DialogScript {
public:
    using Answer = std::function<void(QDialog&)>;

    DialogScript();

    void Then(Answer answer) { answers.push_back(std::move(answer)); }
    // "critical: <text>", "information: <text>", "question: <text>", "plain: <text>" for
    // message boxes; "<form name>: <text>" for the forms, the PIN form adding its tries-left
    // text and " PUK" while its PUK field takes input.
    const std::vector<std::string>& Seen() const { return seen; }
    std::size_t Unanswered() const { return answers.size(); }
    // Forgets the dialogs seen; answers not used yet stay for the next dialogs.
    void Reset() { seen.clear(); }

    // Presses the named push button of a form, or the standard button of a message box.
    static Answer Press(const char* buttonName);
    static Answer Yes();
    static Answer No();
    // Types the codes into the fields that take input and presses OK.
    static Answer TypeCodes(const QString& pin, const QString& puk = QString());

private:
    void Poll();

    QTimer timer;
    std::deque<Answer> answers;
    QPointer<QDialog> current;
    std::chrono::steady_clock::time_point currentSince;
    std::vector<std::string> seen;
};

// The real main window offscreen, in a program folder of its own with the shipped language
// file, against the simulated unit on a pseudo-terminal, with the time-outs and pauses of its
// controllers shortened so that whole operations take milliseconds.
class WindowOnUnit : public ::testing::Test {
protected:
    using Ms = std::chrono::milliseconds;

    void SetUp() override;
    // Every scripted answer found its dialog.
    void TearDown() override;

    // Starts the unit and the window and types the unit's port into the port box.
    TMainForm& Start(CUnitState state);
    TMainForm& Start(const std::string& dataFile) { return Start(DataState(dataFile)); }
    // Closes the window and forgets its dialogs, for the next case of a table.
    void Close();

    // Clicks the button (its dialogs answered by the script) and pumps until the run it may
    // have started has ended.
    bool Click(QPushButton* button, Ms bound = Ms(20000));
    // Connect with the LED hint confirmed; true when the window then shows the unit connected.
    ::testing::AssertionResult Connect();
    bool PumpUntil(const std::function<bool()>& condition, Ms bound = Ms(10000));

    // How many commands starting with `prefix` the unit received.
    int Sent(const std::string& prefix) const { return CountPrefix(unit->CommandLog(), prefix); }
    // The poll keeps asking: two more signal queries arrive.
    bool PollRunning();

    // The eleven controls that show the unit's settings.
    std::vector<QLineEdit*> CurrentControls() const;
    // The language's text of `key`, as the window shows it.
    std::string Text(const char* key) const;
    // The caption, the unit buttons, the progress window and the window's own state agree that
    // the unit is connected, or not (the current controls then empty).
    ::testing::AssertionResult Shows(bool connected) const;
    ::testing::AssertionResult ShowsConnected() const { return Shows(true); }
    ::testing::AssertionResult ShowsDisconnected() const { return Shows(false); }

    QTemporaryDir folder;
    std::unique_ptr<CUnitSimulator> unit;
    // What the port box lists when it is filled; nothing by default.
    std::vector<std::string> listedPorts;
    std::unique_ptr<TMainForm> window;
    DialogScript dialogs;
};
