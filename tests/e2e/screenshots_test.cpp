// Pictures of the window for a person to look at, not checks: skipped unless
// SENDIBOX_SCREENSHOTS names a folder. SENDIBOX_SCREENSHOT_TAG starts every file name (the
// display setting they were taken with), SENDIBOX_SCREENSHOT_SIZE is the window's size
// ("1024x600" unless given). Run it under Xvfb to see the real platform's fonts:
//   SENDIBOX_SCREENSHOTS=/tmp/shots QT_FONT_DPI=120 xvfb-run -s "-screen 0 2600x1600x24"
//       build/tests/test_e2e --gtest_filter='Screenshots.*'
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include "ui/alarmmessagessheet.h"
#include "ui/gridkeyboard.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "vtlist.h"
#include "windowfixture.h"

namespace {

// Types `text` into `widget` a character at a time, letters beyond ASCII too, as an input
// method hands them over.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

class Screenshots : public WindowOnUnit {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable("SENDIBOX_SCREENSHOTS");
        if (folder.isEmpty()) {
            GTEST_SKIP() << "SENDIBOX_SCREENSHOTS names no folder";
        }
        QDir().mkpath(folder);
        tag = qEnvironmentVariable("SENDIBOX_SCREENSHOT_TAG", QStringLiteral("shot"));
        const QStringList size =
            qEnvironmentVariable("SENDIBOX_SCREENSHOT_SIZE", QStringLiteral("1024x600"))
                .split(QLatin1Char('x'));
        small = QSize(size.value(0).toInt(), size.value(1).toInt());
        WindowOnUnit::SetUp();
    }

    QString File(const QString& language, const QString& what) const {
        return folder + QLatin1Char('/') + tag + QLatin1Char('-') + language + QLatin1Char('-') +
               what + QStringLiteral(".png");
    }

    // Grabs the dialog, then answers it as `then` does.
    DialogScript::Answer GrabThen(const QString& file, DialogScript::Answer then) {
        return [file, then](QDialog& dialog) {
            QApplication::processEvents();
            dialog.grab().save(file);
            then(dialog);
        };
    }

    QString folder;
    QString tag;
    QSize small;
};

TEST_F(Screenshots, EnglishAndSvenska) {
    for (const char* name : {"English", "Svenska"}) {
        const QString language = QString::fromLatin1(name).left(2).toLower();
        TMainForm& w = Start("unit-demo.json");
        w.SwitchLanguage(name);
        w.resize(small);
        QApplication::processEvents();

        dialogs.Then(GrabThen(File(language, "led-hint"), DialogScript::Press("OkButton")));
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
        QApplication::processEvents();
        w.grab().save(File(language, "settings"));

        // An alarm text being typed, with a character the module cannot store.
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        TVTList* grid = w.InputMessagesSheet->AlarmInputLists[0];
        EditCell(grid, 1, 5, QStringLiteral("+46709998877"));
        ClickCell(grid, 0, 4);
        Type(grid, QString::fromUtf8("Larm i k\u00e4llaren [A]"));
        QApplication::processEvents();
        w.grab().save(File(language, "inputs"));
        QTest::keyClick(grid->editor(), Qt::Key_Escape);

        // The questions and dialogs in the language's words, Qt's own buttons included.
        dialogs.Then(GrabThen(File(language, "reset-question"), DialogScript::No()));
        w.RightColumn->ResetButton->click();
        dialogs.Then(
            GrabThen(File(language, "file-dialog"), [](QDialog& dialog) { dialog.reject(); }));
        w.LoadProfileMenu->trigger();
        dialogs.Then(GrabThen(File(language, "about"), DialogScript::Press("Button1")));
        w.AboutMenu->trigger();
        QApplication::processEvents();

        // The window as designed, where the screen has the room.
        w.PageControl->setCurrentWidget(w.SettingsSheet);
        w.resize(TMainForm::kClientWidth,
                 TMainForm::kClientHeight + w.menuBar()->sizeHint().height());
        QApplication::processEvents();
        w.grab().save(File(language, "settings-large"));
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        QApplication::processEvents();
        w.grab().save(File(language, "inputs-large"));
        Close();
    }
}

}  // namespace
