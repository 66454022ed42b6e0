
#include "persistence/languagekeys.h"
#include "uitesting.h"

namespace {

// The window tests see every kind of control retitled, and a missing text shown as its key;
// this is the edge of the grids' captions.
const std::string kLanguages =
    "[Svenska]\r\nRECEIVER=Mottagare\r\nPOSITION=Position\r\nCURRENT_NUMBER=Aktuellt nummer\r\n"
    "NEW_NUMBER=Nytt nummer\r\nWRITE=Skriv\r\n";

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

    static QStringList Captions(const TVTList& grid) {
        QStringList texts;
        for (int col = 0; col < grid.columnCount(); ++col) {
            texts << grid.model()->headerData(col, Qt::Horizontal).toString();
        }
        return texts;
    }

    QWidget window;
};

// Columns beyond the keys keep their captions, and a grid with fewer columns than keys takes
// only its own.
TEST_F(LangControllerTest, ColumnsOutsideTheKeysAreLeftAlone) {
    TVTList* grid =
        Grid({"Position", "Current Number", "New Number", "Write"}, kAccessListColumnKeys);
    TVTList* narrow = Grid({"One"}, kAlarmListColumnKeys);
    grid->addColumn("Extra", 40);
    language->SetLanguage("Svenska");
    EXPECT_EQ(Captions(*grid),
              (QStringList{"Position", "Aktuellt nummer", "Nytt nummer", "Skriv", "Extra"}));
    EXPECT_EQ(Captions(*narrow), QStringList{"Mottagare"});
}

}  // namespace
