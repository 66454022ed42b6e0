#include "ui/langcontroller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/refobject.h"
#include "persistence/applanguage.h"
#include "persistence/languagekeys.h"
#include "persistence/languageloaderini.h"
#include "persistence/tempfolder.h"
#include "vtlist.h"

namespace {

// Swedish letters are single Windows-1252 bytes in the file.
const std::string kLanguages =
    "[English]\r\n"
    "RECEIVER=Receiver\r\nCURRENT_TEXT=Current Text\r\nCURRENT_NUMBER=Current "
    "Number\r\n"
    "CALL=Call\r\nNEW_TEXT=New Text\r\nNEW_NUMBER=New "
    "Number\r\nDELETE=Delete\r\n"
    "POSITION=Position\r\nWRITE=Write\r\n"
    "WRITE_AND_READ=Write\r\nFILE=File\r\nEXIT=Exit\r\nINPUT_MESSAGES=Input "
    "Messages\r\n"
    "SETTINGS=Settings\r\nNET_STATUS=Net Status:\r\nACCESS_NUMBERS=\" Access "
    "Numbers \"\r\n"
    "\r\n"
    "[Svenska]\r\n"
    "RECEIVER=Mottagare\r\nCURRENT_TEXT=Aktuell "
    "text\r\nCURRENT_NUMBER=Aktuellt nummer\r\n"
    "CALL=Ring\r\nNEW_TEXT=Ny text\r\nNEW_NUMBER=Nytt "
    "nummer\r\nDELETE=Radera\r\n"
    "POSITION=Position\r\nWRITE=Skriv\r\n"
    "WRITE_AND_READ=Skriv\r\nFILE=Arkiv\r\nEXIT=Avsluta\r\n"
    "INPUT_MESSAGES=Ing\xE5ngsmeddelanden\r\nSETTINGS=Inst\xE4llningar\r\n"
    "NET_STATUS=N\xE4tstatus:\r\nACCESS_NUMBERS=\" Beh\xF6riga nummer \"\r\n";

std::vector<std::string> Keys(auto const& array) {
    return {array.begin(), array.end()};
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QStringList HeaderTexts(const TVTList& grid) {
    QStringList texts;
    for (int col = 0; col < grid.columnCount(); ++col) {
        texts << grid.model()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
}

// A window with one control of each kind the language controllers serve, every
// controller attached to the language manager as the main window does it.
class LangControllerTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        language = MakeRef<CAppLanguage>(
            std::make_unique<CLanguageLoaderIni>(Put("languages.txt", kLanguages)));

        fileMenu = menuBar->addMenu("&File");
        exitItem = fileMenu->addAction("Exit");
        inputSheet = new QWidget;
        alarmGrid = new TVTList(inputSheet);
        settingsSheet = new QWidget;
        tabs->addTab(settingsSheet, "Power Messages");
        tabs->addTab(inputSheet, "Input Messages");
        for (const char* caption : {"Receiver", "Current Text", "Current Number", "Call",
                                    "New Text", "New Number", "Call", "Delete"}) {
            alarmGrid->addColumn(caption, 60);
        }
        for (const char* caption : {"Position", "Current Number", "New Number", "Write"}) {
            accessGrid->addColumn(caption, 60);
        }

        Attach(new CListViewLangController(alarmGrid, Keys(kAlarmListColumnKeys)));
        Attach(new CListViewLangController(accessGrid, Keys(kAccessListColumnKeys)));
        Attach(new CGroupBoxLangController("ACCESS_NUMBERS", group));
        Attach(new CTabSheetLangController("INPUT_MESSAGES", inputSheet));
        Attach(new CTabSheetLangController("SETTINGS", settingsSheet));
        Attach(new CMenuItemLangController("FILE", fileMenu->menuAction()));
        Attach(new CMenuItemLangController("EXIT", exitItem));
        Attach(new CButtonLangController("WRITE_AND_READ", button));
        Attach(new CLabelLangController("NET_STATUS", label));
    }

    void Attach(IObserver* controller) { language->Attach(controller); }

    QWidget window;
    QMenuBar* menuBar = new QMenuBar(&window);
    QMenu* fileMenu = nullptr;
    QAction* exitItem = nullptr;
    QTabWidget* tabs = new QTabWidget(&window);
    QWidget* inputSheet = nullptr;
    QWidget* settingsSheet = nullptr;
    QGroupBox* group = new QGroupBox(" Access Numbers ", &window);
    TVTList* accessGrid = new TVTList(group);
    TVTList* alarmGrid = nullptr;
    QPushButton* button = new QPushButton("Write", &window);
    QLabel* label = new QLabel("Net Status:", &window);
    CRefPtr<CAppLanguage> language;
};

TEST_F(LangControllerTest, SwitchingLanguageRetitlesControlsAndGridColumns) {
    language->SetLanguage("Svenska");

    EXPECT_EQ(HeaderTexts(*alarmGrid),
              (QStringList{"Mottagare", "Aktuell text", "Aktuellt nummer", "Ring", "Ny text",
                           "Nytt nummer", "Ring", "Radera"}));
    EXPECT_EQ(HeaderTexts(*accessGrid),
              (QStringList{"Position", "Aktuellt nummer", "Nytt nummer", "Skriv"}));
    EXPECT_EQ(group->title(), Utf8(" Behöriga nummer "));
    EXPECT_EQ(tabs->tabText(tabs->indexOf(inputSheet)), Utf8("Ingångsmeddelanden"));
    EXPECT_EQ(tabs->tabText(tabs->indexOf(settingsSheet)), Utf8("Inställningar"));
    EXPECT_EQ(fileMenu->title(), "Arkiv");
    EXPECT_EQ(exitItem->text(), "Avsluta");
    EXPECT_EQ(button->text(), "Skriv");
    EXPECT_EQ(label->text(), Utf8("Nätstatus:"));

    language->SetLanguage("English");
    EXPECT_EQ(HeaderTexts(*alarmGrid),
              (QStringList{"Receiver", "Current Text", "Current Number", "Call", "New Text",
                           "New Number", "Call", "Delete"}));
    EXPECT_EQ(alarmGrid->columnCaption(0), "Receiver");
    EXPECT_EQ(group->title(), " Access Numbers ");
    EXPECT_EQ(tabs->tabText(tabs->indexOf(settingsSheet)), "Settings");
    EXPECT_EQ(fileMenu->title(), "File");
    EXPECT_EQ(label->text(), "Net Status:");
}

TEST_F(LangControllerTest, OtherEventsAreIgnoredAndALanguageWithoutTextsShowsTheKeys) {
    const auto other = MakeRef<IObsEvent>();
    language->Notify(other.get());
    EXPECT_EQ(HeaderTexts(*accessGrid).back(), "Write");
    EXPECT_EQ(tabs->tabText(0), "Power Messages");
    EXPECT_EQ(button->text(), "Write");

    language->SetLanguage("Deutsch");
    EXPECT_EQ(HeaderTexts(*accessGrid),
              (QStringList{"POSITION", "CURRENT_NUMBER", "NEW_NUMBER", "WRITE"}));
    EXPECT_EQ(group->title(), "ACCESS_NUMBERS");
    EXPECT_EQ(tabs->tabText(tabs->indexOf(inputSheet)), "INPUT_MESSAGES");
    EXPECT_EQ(exitItem->text(), "EXIT");
    EXPECT_EQ(button->text(), "WRITE_AND_READ");
    EXPECT_EQ(label->text(), "NET_STATUS");
}

TEST_F(LangControllerTest, ControlsGoneBeforeTheLanguageAreLeftAlone) {
    delete label;
    delete alarmGrid;
    delete exitItem;
    language->SetLanguage("Svenska");
    EXPECT_EQ(button->text(), "Skriv");
    EXPECT_EQ(HeaderTexts(*accessGrid).back(), "Skriv");
}

TEST_F(LangControllerTest, GridColumnsBeyondTheKeysKeepTheirCaptions) {
    accessGrid->addColumn("Extra", 40);
    auto* narrow = new TVTList(&window);
    narrow->addColumn("One", 40);
    Attach(new CListViewLangController(narrow, Keys(kAlarmListColumnKeys)));

    language->SetLanguage("Svenska");
    EXPECT_EQ(HeaderTexts(*accessGrid),
              (QStringList{"Position", "Aktuellt nummer", "Nytt nummer", "Skriv", "Extra"}));
    EXPECT_EQ(HeaderTexts(*narrow), QStringList{"Mottagare"});
}

}  // namespace
