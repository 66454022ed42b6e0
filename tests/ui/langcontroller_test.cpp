#include "ui/langcontroller.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include "persistence/languagekeys.h"
#include "uitesting.h"

namespace {

// The window tests see each kind of control retitled, and a missing text shown as its key;
// these are the edge cases.
const std::string kLanguages =
    "[Svenska]\r\nRECEIVER=Mottagare\r\nPOSITION=Position\r\nCURRENT_NUMBER=Aktuellt nummer\r\n"
    "NEW_NUMBER=Nytt nummer\r\nWRITE=Skriv\r\nWRITE_AND_READ=Skriv\r\n";

QStringList HeaderTexts(const TVTList& grid) {
    QStringList texts;
    for (int col = 0; col < grid.columnCount(); ++col) {
        texts << grid.model()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
}

class LangControllerTest : public UiTest {
protected:
    LangControllerTest() : UiTest(kLanguages) {}

    // A grid with these captions, retitled by the controller as the main window does it.
    TVTList* Grid(const QStringList& captions, const auto& keys) {
        auto* grid = new TVTList(&window);
        for (const QString& caption : captions) {
            grid->addColumn(caption.toStdString(), 60);
        }
        language->Attach(new CListViewLangController(grid, {keys.begin(), keys.end()}));
        return grid;
    }

    QWidget window;
};

// Controls gone before the language are left alone; grid columns beyond the keys keep their
// captions, and a grid with fewer columns than keys takes only its own.
TEST_F(LangControllerTest, GoneControlsAndColumnsOutsideTheKeysAreLeftAlone) {
    auto* tabs = new QTabWidget(&window);
    auto* sheet = new QWidget(tabs);
    tabs->addTab(sheet, "Input Messages");
    auto* item = new QAction("Exit", &window);
    auto* label = new QLabel("Net Status:", &window);
    auto* button = new QPushButton("Write", &window);
    language->Attach(new CTabSheetLangController("INPUT_MESSAGES", sheet));
    language->Attach(new CMenuItemLangController("EXIT", item));
    language->Attach(new CLabelLangController("NET_STATUS", label));
    language->Attach(new CButtonLangController("WRITE_AND_READ", button));
    TVTList* grid =
        Grid({"Position", "Current Number", "New Number", "Write"}, kAccessListColumnKeys);
    TVTList* narrow = Grid({"One"}, kAlarmListColumnKeys);
    delete Grid({"One", "Two"}, kAlarmListColumnKeys);
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
