#include "ui/gridkeyboard.h"

#include <QClipboard>
#include <tuple>

#include "uitesting.h"

// The spreadsheet keys of a grid: every key on an editable and on a read-only cell, the block
// paste, and Tab through the editable cells.
namespace {

constexpr int kLabel = 0;   // read-only
constexpr int kText = 1;    // editable, at most 5 characters
constexpr int kMark = 2;    // clickable
constexpr int kNumber = 3;  // editable

using Stored = std::tuple<int, int, std::string>;
using Cell = std::pair<int, int>;

class GridKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = new TVTList(window.get());
        grid->setGeometry(0, 0, 520, 400);
        for (const char* caption : {"Label", "Text", "Mark", "Number"}) {
            grid->addColumn(caption, 100);
        }
        props.add(std::make_unique<TColumnProp>(clSilver, clBlack, false, false, 10));
        props.add(std::make_unique<TColumnProp>(clWhite, clBlack, true, false, 5));
        props.add(std::make_unique<TColumnProp>(clWhite, clBlack, false, true, 1));
        props.add(std::make_unique<TColumnProp>(clWhite, clBlack, true, false, 20));
        grid->ColumnProperties = &props;
        grid->setItemCount(6);
        grid->OnCellGetData = [this](TVTList*, int row, int col, std::string& data) {
            data = table.getData(row, col);
        };
        grid->OnCellSetData = [this](TVTList*, int row, int col, const std::string& data) {
            stored.push_back({row, col, data});
            table.setData(row, col, data);
        };
        grid->OnCellClicked = [this](TVTList*, int row, int col) { clicks.push_back({row, col}); };
        keyboard = new TGridKeyboard(grid, nullptr);
        keyboard->OnEdited = [this](TVTList*) { ++edits; };
        for (int row = 0; row < 6; ++row) {
            table.setData(row, kLabel, "L" + std::to_string(row));
            table.setData(row, kText, "t" + std::to_string(row));
        }
        other = new QLineEdit(window.get());
        other->setGeometry(0, 410, 100, 30);
        window->resize(520, 450);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return grid->hasFocus(); }));
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = grid->isEditing() ? static_cast<QWidget*>(grid->editor()) : grid;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    Cell Current() const { return {grid->currentRow(), grid->currentColumn()}; }

    std::unique_ptr<QDialog> window = std::make_unique<QDialog>();
    TVTList* grid = nullptr;
    TGridKeyboard* keyboard = nullptr;
    QLineEdit* other = nullptr;
    TColumnPropList props;
    TVTListData table;
    std::vector<Stored> stored;
    std::vector<Cell> clicks;
    int edits = 0;
};

// One key (and what follows it) on a cell: what the editor shows, what the cell then holds.
TEST_F(GridKeyboardTest, EachKeyOnAnEditableAndOnAReadOnlyCell) {
    const struct {
        const char* name;
        int col;
        QKeyCombination key;
        bool editing;            // the edit box is open after the key
        const char* editorText;  // what it shows then
        std::vector<int> more;   // typed into the edit box afterwards
        std::string cell;        // the cell's text at the end
        bool storedAny;          // OnCellSetData was called
    } cases[] = {
        // clang-format off
        {"typing replaces the text", kText, Qt::Key_X, true, "x", {Qt::Key_Y, Qt::Key_Return}, "xy", true},
        {"typing on a read-only cell", kLabel, Qt::Key_X, false, "", {}, "L2", false},
        {"F2 edits at the end", kText, Qt::Key_F2, true, "t2", {Qt::Key_Z, Qt::Key_Return}, "t2z", true},
        {"F2 on a read-only cell shows it", kLabel, Qt::Key_F2, true, "L2", {Qt::Key_Z, Qt::Key_Return}, "L2", true},
        {"Enter selects the text", kText, Qt::Key_Return, true, "t2", {Qt::Key_Q, Qt::Key_Return}, "q", true},
        {"Escape cancels the edit", kText, Qt::Key_X, true, "x", {Qt::Key_Escape}, "t2", false},
        {"Escape cancels an F2 edit", kText, Qt::Key_F2, true, "t2", {Qt::Key_A, Qt::Key_Escape}, "t2", false},
        {"Delete clears", kText, Qt::Key_Delete, false, "", {}, "", true},
        {"Delete on a read-only cell", kLabel, Qt::Key_Delete, false, "", {}, "L2", false},
        {"Backspace starts an empty edit", kText, Qt::Key_Backspace, true, "", {Qt::Key_K, Qt::Key_Return}, "k", true},
        {"Backspace on a read-only cell", kLabel, Qt::Key_Backspace, false, "", {}, "L2", false},
        {"Ctrl+X cuts", kText, Qt::ControlModifier | Qt::Key_X, false, "", {}, "", true},
        {"Ctrl+X on a read-only cell copies", kLabel, Qt::ControlModifier | Qt::Key_X, false, "", {}, "L2", false},
        {"typing stops at the column's limit", kText, Qt::Key_1, true, "1",
         {Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6, Qt::Key_Return}, "12345", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table.setData(2, kText, "t2");
        stored.clear();
        grid->setCurrentCell(2, c.col);
        grid->setFocus();
        Key(c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(grid->isEditing(), c.editing);
        if (c.editing) {
            EXPECT_EQ(grid->editor()->text().toStdString(), c.editorText);
            EXPECT_EQ(grid->editor()->isReadOnly(), c.col == kLabel);
        }
        for (int key : c.more) {
            Key(key);
        }
        EXPECT_FALSE(grid->isEditing());
        EXPECT_EQ(table.getData(2, c.col), c.cell);
        EXPECT_EQ(!stored.empty(), c.storedAny);
        EXPECT_EQ(Current(), Cell(2, c.col));  // no key of these moves the current cell
    }
}

TEST_F(GridKeyboardTest, SpaceTogglesAMarkAndCopyTakesTheSelectedBlock) {
    grid->setCurrentCell(1, kMark);
    Key(Qt::Key_Space);
    EXPECT_EQ(clicks, std::vector<Cell>{Cell(1, kMark)});
    grid->setCurrentCell(1, kText);
    Key(Qt::Key_Space);  // a space typed into a text cell starts its edit
    EXPECT_TRUE(grid->isEditing());
    Key(Qt::Key_Escape);

    table.setData(1, kNumber, "+461");
    grid->setCurrentCell(0, kLabel);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->selection(), QRect(QPoint(kLabel, 0), QPoint(kText, 1)));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("L0\tt0\nL1\tt1"));
    // Delete clears only the editable cells of the block.
    Key(Qt::Key_Delete);
    EXPECT_EQ(stored, (std::vector<Stored>{{0, kText, ""}, {1, kText, ""}}));
    EXPECT_EQ(table.getData(0, kLabel), "L0");
    EXPECT_EQ(edits, 1);
    // A plain arrow key collapses the block again.
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->selection(), QRect(QPoint(kText, 2), QPoint(kText, 2)));
}

TEST_F(GridKeyboardTest, PastesABlockAsTypingWouldAndSkipsReadOnlyColumns) {
    // Two columns from a spreadsheet, Windows line ends, onto the label column: the labels
    // stay, the texts take the second column, cut to their limit.
    grid->setCurrentCell(1, kLabel);
    QApplication::clipboard()->setText(QStringLiteral("a\tlonger text\r\nb\tok\r\n"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(stored, (std::vector<Stored>{{1, kText, "longe"}, {2, kText, "ok"}}));
    EXPECT_EQ(table.getData(1, kLabel), "L1");
    EXPECT_EQ(grid->selection(), QRect(QPoint(kLabel, 1), QPoint(kText, 2)));
    EXPECT_EQ(Current(), Cell(1, kLabel));

    // A column of numbers fills down from the selected cell and stops at the last row.
    stored.clear();
    grid->setCurrentCell(3, kNumber);
    keyboard->Paste(QStringLiteral("+4611\n+4612\n+4613\n+4614\n"));
    EXPECT_EQ(stored, (std::vector<Stored>{
                          {3, kNumber, "+4611"}, {4, kNumber, "+4612"}, {5, kNumber, "+4613"}}));

    // One value into a selection of several cells fills each; a cell that already holds it is
    // not set again.
    stored.clear();
    grid->setSelection(0, kNumber, 3, kNumber);
    keyboard->Paste(QStringLiteral(" +4611 "));
    EXPECT_EQ(stored, (std::vector<Stored>{
                          {0, kNumber, "+4611"}, {1, kNumber, "+4611"}, {2, kNumber, "+4611"}}));
    // Letters beyond ASCII arrive as Windows-1252.
    stored.clear();
    grid->setCurrentCell(0, kText);
    keyboard->Paste(QString::fromUtf8("\u00e5\u00e4\u00f6"));
    EXPECT_EQ(stored, (std::vector<Stored>{{0, kText, "\xE5\xE4\xF6"}}));
}

TEST_F(GridKeyboardTest, TabMovesThroughTheEditableCellsAndThenOn) {
    grid->setCurrentCell(0, kLabel);
    const Cell route[] = {{0, kText}, {0, kNumber}, {1, kText}, {1, kNumber}};
    for (const Cell& cell : route) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(Current(), cell);
    }
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Current(), Cell(1, kText));
    // Tab also ends an edit, keeping what was typed.
    Key(Qt::Key_W);
    Key(Qt::Key_Tab);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(table.getData(1, kText), "w");
    EXPECT_EQ(Current(), Cell(1, kNumber));
    // After the last editable cell the focus goes on to the next control.
    grid->setCurrentCell(5, kNumber);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([this] { return other->hasFocus(); }));
    EXPECT_EQ(Current(), Cell(5, kNumber));
}

}  // namespace
