#include "ui/langcontroller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
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

// The main window's tests see each kind of control retitled; these are the edge cases.
const std::string kLanguages =
    "[Svenska]\r\nRECEIVER=Mottagare\r\nPOSITION=Position\r\nCURRENT_NUMBER=Aktuellt nummer\r\n"
    "NEW_NUMBER=Nytt nummer\r\nWRITE=Skriv\r\nWRITE_AND_READ=Skriv\r\n";

std::vector<std::string> Keys(auto const& array) {
    return {array.begin(), array.end()};
}

QStringList HeaderTexts(const TVTList& grid) {
    QStringList texts;
    for (int col = 0; col < grid.columnCount(); ++col) {
        texts << grid.model()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
}

TVTList* Grid(QWidget* parent, const char* captions) {
    auto* grid = new TVTList(parent);
    for (const QString& caption : QString::fromLatin1(captions).split(QLatin1Char(','))) {
        grid->addColumn(caption.toStdString(), 60);
    }
    return grid;
}

// A window with one control of each kind the language controllers serve, every
// controller attached to the language manager as the main window does it.
class LangControllerTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        language = MakeRef<CAppLanguage>(
            std::make_unique<CLanguageLoaderIni>(Put("languages.txt", kLanguages)));
        tabs->addTab(sheet, "Input Messages");
        Attach(new CListViewLangController(grid, Keys(kAccessListColumnKeys)));
        Attach(new CGroupBoxLangController("ACCESS_NUMBERS", group));
        Attach(new CTabSheetLangController("INPUT_MESSAGES", sheet));
        Attach(new CMenuItemLangController("EXIT", item));
        Attach(new CButtonLangController("WRITE_AND_READ", button));
        Attach(new CLabelLangController("NET_STATUS", label));
    }

    void Attach(IObserver* controller) { language->Attach(controller); }

    QWidget window;
    QAction* item = new QAction("Exit", &window);
    QTabWidget* tabs = new QTabWidget(&window);
    QWidget* sheet = new QWidget(tabs);
    QGroupBox* group = new QGroupBox(" Access Numbers ", &window);
    TVTList* grid = Grid(group, "Position,Current Number,New Number,Write");
    QPushButton* button = new QPushButton("Write", &window);
    QLabel* label = new QLabel("Net Status:", &window);
    CRefPtr<CAppLanguage> language;
};

TEST_F(LangControllerTest, OtherEventsAreIgnoredAndALanguageWithoutTextsShowsTheKeys) {
    const auto other = MakeRef<IObsEvent>();
    language->Notify(other.get());
    EXPECT_EQ(HeaderTexts(*grid).back(), "Write");
    EXPECT_EQ(tabs->tabText(0), "Input Messages");
    EXPECT_EQ(button->text(), "Write");

    language->SetLanguage("Deutsch");
    EXPECT_EQ(HeaderTexts(*grid),
              (QStringList{"POSITION", "CURRENT_NUMBER", "NEW_NUMBER", "WRITE"}));
    EXPECT_EQ(group->title(), "ACCESS_NUMBERS");
    EXPECT_EQ(tabs->tabText(0), "INPUT_MESSAGES");
    EXPECT_EQ(item->text(), "EXIT");
    EXPECT_EQ(button->text(), "WRITE_AND_READ");
    EXPECT_EQ(label->text(), "NET_STATUS");
}

// Controls gone before the language are left alone; grid columns beyond the keys keep their
// captions, and a grid with fewer columns than keys takes only its own.
TEST_F(LangControllerTest, GoneControlsAndColumnsOutsideTheKeysAreLeftAlone) {
    TVTList* gone = Grid(&window, "One,Two");
    TVTList* narrow = Grid(&window, "One");
    Attach(new CListViewLangController(gone, Keys(kAlarmListColumnKeys)));
    Attach(new CListViewLangController(narrow, Keys(kAlarmListColumnKeys)));
    delete gone;
    delete label;
    delete item;
    delete sheet;
    grid->addColumn("Extra", 40);
    language->SetLanguage("Svenska");
    EXPECT_EQ(button->text(), "Skriv");
    EXPECT_EQ(HeaderTexts(*grid),
              (QStringList{"Position", "Aktuellt nummer", "Nytt nummer", "Skriv", "Extra"}));
    EXPECT_EQ(HeaderTexts(*narrow), QStringList{"Mottagare"});
}

}  // namespace
