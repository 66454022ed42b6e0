#include "windowfixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <map>

#include "ui/formprogress.h"
#include "ui/langcontroller.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "vtlist.h"

namespace {

// An answer that did not close its dialog gets this long before the dialog is rejected.
constexpr auto kDialogBound = std::chrono::seconds(5);

std::string Describe(QDialog& dialog) {
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

void CloseHarmlessly(QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        for (QMessageBox::StandardButton way : {QMessageBox::Ok, QMessageBox::No}) {
            if (QAbstractButton* button = box->button(way)) {
                button->click();
                return;
            }
        }
    }
    dialog.reject();
}

DialogScript::Answer ClickBoxButton(QMessageBox::StandardButton which) {
    return [which](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_TRUE(box != nullptr && box->button(which) != nullptr) << Describe(dialog);
        box->button(which)->click();
    };
}

}  // namespace

// --- DialogScript ----------------------------------------------------------------------------

DialogScript::DialogScript() {
    QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
    timer.start(1);
}

void DialogScript::Poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
        return;
    }
    if (dialog == current) {
        if (std::chrono::steady_clock::now() - currentSince > kDialogBound) {
            dialog->reject();
        }
        return;
    }
    current = dialog;
    currentSince = std::chrono::steady_clock::now();
    seen.push_back(Describe(*dialog));
    if (answers.empty()) {
        CloseHarmlessly(*dialog);
        return;
    }
    Answer answer = std::move(answers.front());
    answers.pop_front();
    answer(*dialog);
}

DialogScript::Answer DialogScript::Press(const char* buttonName) {
    return [name = QString::fromLatin1(buttonName)](QDialog& dialog) {
        auto* button = dialog.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << Describe(dialog) << " " << name.toStdString();
        button->click();
    };
}

DialogScript::Answer DialogScript::Yes() {
    return ClickBoxButton(QMessageBox::Yes);
}

DialogScript::Answer DialogScript::No() {
    return ClickBoxButton(QMessageBox::No);
}

DialogScript::Answer DialogScript::TypeCodes(const QString& pin, const QString& puk) {
    return [pin, puk](QDialog& dialog) {
        for (const auto& [name, code] : {std::pair{"PINEdit", pin}, std::pair{"PUKEdit", puk}}) {
            auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
            ASSERT_NE(edit, nullptr) << name;
            if (edit->isEnabled()) {
                QTest::keyClicks(edit, code);
            }
        }
        Press("OKButton")(dialog);
    };
}

// --- WindowOnUnit ----------------------------------------------------------------------------

void WindowOnUnit::SetUp() {
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(SENDIBOX_DATA_DIR "/languages.txt"),
                            folder.filePath(QStringLiteral("languages.txt"))));
}

void WindowOnUnit::TearDown() {
    EXPECT_EQ(dialogs.Unanswered(), 0u) << ::testing::PrintToString(dialogs.Seen());
}

TMainForm& WindowOnUnit::Start(CUnitState state) {
    unit = StartUnit(std::move(state));
    TMainFormEnvironment environment;
    const std::string programFolder = folder.path().toStdString() + "/";
    environment.dataFolders = {programFolder};
    environment.configFolder = programFolder;
    environment.listPorts = [this](std::vector<std::string>& ports) {
        ports.insert(ports.end(), listedPorts.begin(), listedPorts.end());
    };
    environment.describePorts = [] { return std::vector<CPortInfo>(); };
    environment.canOpen = [](const std::string&) { return false; };
    window = std::make_unique<TMainForm>(environment);
    window->Sequencer().OnControllerQueued = [](IController& controller) { MakeQuick(controller); };
    window->CommSource().GetPort()->SetWritePause(Ms(0));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
    return *window;
}

void WindowOnUnit::Close() {
    window.reset();
    dialogs.Reset();
}

bool WindowOnUnit::PumpUntil(const std::function<bool()>& condition, Ms bound) {
    return QTest::qWaitFor(condition, static_cast<int>(bound.count()));
}

bool WindowOnUnit::Click(QPushButton* button, Ms bound) {
    button->click();
    return PumpUntil([this] { return !window->Sequencer().IsRunning(); }, bound);
}

::testing::AssertionResult WindowOnUnit::Connect() {
    const std::size_t before = dialogs.Seen().size();
    dialogs.Then(DialogScript::Press("OkButton"));
    if (!Click(window->RightColumn->ConnectButton)) {
        return ::testing::AssertionFailure() << "the connect run did not end";
    }
    if (dialogs.Seen().size() != before + 1) {
        return ::testing::AssertionFailure()
               << "dialogs: " << ::testing::PrintToString(dialogs.Seen());
    }
    return ShowsConnected();
}

bool WindowOnUnit::PollRunning() {
    const int asked = Sent("AT+CSQ");
    return PumpUntil([&] { return Sent("AT+CSQ") >= asked + 2; });
}

std::string WindowOnUnit::Text(const char* key) const {
    return LanguageText(window->Language(), key).toStdString();
}

std::vector<QLineEdit*> WindowOnUnit::CurrentControls() const {
    std::vector<QLineEdit*> controls = {
        window->SettingsSheet->ActiveTimeCurrentEdit, window->SettingsSheet->ActiveRelayCurrentEdit,
        window->SettingsSheet->SmsAckCurrentEdit, window->SettingsSheet->AccessControlCurrentEdit,
        window->SettingsSheet->InputBehaviourCurrentEdit};
    controls.insert(controls.end(), window->SettingsSheet->InputDelayCurrentEdits.begin(),
                    window->SettingsSheet->InputDelayCurrentEdits.end());
    return controls;
}

::testing::AssertionResult WindowOnUnit::Shows(bool connected) const {
    TMainForm& w = *window;
    const std::string caption = w.RightColumn->ConnectButton->text().toStdString();
    if (caption != Text(connected ? "DISCONNECT" : "CONNECT_TO_UNIT")) {
        return ::testing::AssertionFailure() << "caption " << caption;
    }
    for (const QPushButton* button :
         {w.RightColumn->WriteButton, w.RightColumn->ResetButton, w.RightColumn->ClearSimButton}) {
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
            return ::testing::AssertionFailure()
                   << edit->objectName().toStdString() << " shows " << edit->text().toStdString();
        }
    }
    return ::testing::AssertionSuccess();
}
