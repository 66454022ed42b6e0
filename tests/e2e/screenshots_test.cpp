// Pictures of the window for a person to look at, not checks: skipped unless
// SENDIBOX_SCREENSHOTS names a folder. SENDIBOX_SCREENSHOT_TAG starts every file name (the
// display setting they were taken with), SENDIBOX_SCREENSHOT_SIZE is the window's size
// ("1024x600" unless given). Run it under Xvfb to see the real platform's fonts:
//   SENDIBOX_SCREENSHOTS=/tmp/shots QT_FONT_DPI=120 xvfb-run -s "-screen 0 2600x1600x24"
//       build/tests/test_e2e --gtest_filter='Screenshots.*'
#include <QDir>
#include <QMenuBar>
#include <QScrollArea>

#include "ui/gridkeyboard.h"
#include "windowfixture.h"

namespace {

class Screenshots : public WindowOnUnit {
protected:
    void SetUp() override {
        shots = qEnvironmentVariable("SENDIBOX_SCREENSHOTS");
        if (shots.isEmpty()) {
            GTEST_SKIP() << "SENDIBOX_SCREENSHOTS names no folder";
        }
        QDir().mkpath(shots);
        tag = qEnvironmentVariable("SENDIBOX_SCREENSHOT_TAG", QStringLiteral("shot"));
        const QStringList size =
            qEnvironmentVariable("SENDIBOX_SCREENSHOT_SIZE", QStringLiteral("1024x600"))
                .split(QLatin1Char('x'));
        small = QSize(size.value(0).toInt(), size.value(1).toInt());
        WindowOnUnit::SetUp();
    }

    void Grab(QWidget& widget, const char* what) {
        QApplication::processEvents();
        widget.grab().save(QStringLiteral("%1/%2-%3-%4.png")
                               .arg(shots, tag, shotLanguage, QString::fromLatin1(what)));
    }
    // Grabs the dialog, then answers it as `then` does.
    DialogScript::Answer GrabThen(const char* what, DialogScript::Answer then) {
        return [this, what, then](QDialog& dialog) {
            Grab(dialog, what);
            then(dialog);
        };
    }

    QString shots, tag, shotLanguage;
    QSize small;
};

TEST_F(Screenshots, EnglishAndSvenska) {
    for (const char* name : {"English", "Svenska"}) {
        shotLanguage = QString::fromLatin1(name).left(2).toLower();
        TMainForm& w = Start("unit-demo.json");
        w.SwitchLanguage(name);
        w.resize(small);
        dialogs.Then(GrabThen("led-hint", DialogScript::Press("OkButton")));
        ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
        PumpUntil([&] {
            return w.RightColumn->NetLogStatusLabel->text().toStdString() ==
                   Text("NET_LOGGED_IN_HOME_NETWORK");
        });

        // A changed setting, a refused delay and a new access number.
        w.SettingsSheet->ActiveRelayNewCombo->setCurrentIndex(3);
        emit w.SettingsSheet->ActiveRelayNewCombo->activated(3);
        w.SettingsSheet->InputDelayNewEdits[1]->setFocus();
        w.SettingsSheet->InputDelayNewEdits[1]->selectAll();
        QTest::keyClicks(w.SettingsSheet->InputDelayNewEdits[1], QStringLiteral("300"));
        w.SettingsSheet->AccessNumberList->setFocus();
        EditCell(w.SettingsSheet->AccessNumberList, 2, 2, QStringLiteral("+46701112233"));
        Grab(w, "settings");

        // An alarm text being typed, with a character the module cannot store, a letter
        // beyond ASCII handed over as an input method does.
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        TVTList* grid = w.InputMessagesSheet->AlarmInputLists[0];
        EditCell(grid, 1, 5, QStringLiteral("+46709998877"));
        ClickCell(grid, 0, 4);
        for (const QChar c : QString::fromUtf8("Larm i k\u00e4llaren [A]")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(grid, &press);
        }
        Grab(w, "inputs");
        QTest::keyClick(grid->editor(), Qt::Key_Escape);

        // The questions and dialogs in the language's words, Qt's own buttons included.
        dialogs.Then(GrabThen("reset-question", DialogScript::No()));
        w.RightColumn->ResetButton->click();
        dialogs.Then(GrabThen("file-dialog", [](QDialog& dialog) { dialog.reject(); }));
        w.LoadProfileMenu->trigger();
        dialogs.Then(GrabThen("about", DialogScript::Press("Button1")));
        w.AboutMenu->trigger();

        // The window as designed, where the screen has the room.
        w.PageControl->setCurrentWidget(w.SettingsSheet);
        w.resize(TMainForm::kClientWidth,
                 TMainForm::kClientHeight + w.menuBar()->sizeHint().height());
        Grab(w, "settings-large");
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        Grab(w, "inputs-large");
        Close();
    }
}

}  // namespace
