#include "vtlist.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Columns as the alarm grids use them: a read-only label, a typed column and a mark column.
constexpr int kLabel = 0;
constexpr int kText = 1;
constexpr int kMark = 2;
constexpr TColor kLabelBrush = 0xC0C0C0;
constexpr TColor kTextBrush = 0xFFFFFF;
constexpr TColor kTextFont = 0x0000FF;
constexpr TColor kMarkBrush = 0x80FF80;

// What the grid handed back: row, column and text.
using Stored = std::tuple<int, int, std::string>;

bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

// The grid sits in a dialog, as in the program, so that keys a dialog acts on are covered too.
class VTListTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = new TVTList(window.get());  // owned by the window
        grid->setGeometry(0, 0, 520, 500);
        grid->addColumn("Label", 100);
        props.add(std::make_unique<TColumnProp>(kLabelBrush, clBlack, false, false, 3));
        grid->addColumn("Text", 100);
        props.add(std::make_unique<TColumnProp>(kTextBrush, kTextFont, true, false, 5));
        grid->addColumn("Mark", 60);
        props.add(std::make_unique<TColumnProp>(kMarkBrush, clBlack, false, true, 1));

        window->resize(520, 560);
        other = new QLineEdit(window.get());
        other->setGeometry(0, 510, 200, 30);

        grid->setItemCount(50);
        grid->ColumnProperties = &props;
        grid->OnCellGetData = [this](TVTList* sender, int row, int col, std::string& data) {
            EXPECT_EQ(sender, grid);
            data = table.getData(row, col);
        };
        grid->OnCellSetData = [this](TVTList* sender, int row, int col, const std::string& data) {
            EXPECT_EQ(sender, grid);
            stored.push_back({row, col, data});
            table.setData(row, col, data);
        };
        grid->OnCellClicked = [this](TVTList* sender, int row, int col) {
            EXPECT_EQ(sender, grid);
            clicks.push_back({row, col});
        };
        for (int r = 0; r < 50; ++r) {
            table.setData(r, kLabel, std::to_string(r + 1));
        }

        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid->setFocus();
        ASSERT_TRUE(WaitFor([this] { return grid->hasFocus(); }));
    }

    QPoint CellCenter(int row, int col) const {
        QRect rect;
        EXPECT_TRUE(grid->getColumnRect(row, col, rect)) << row << "," << col;
        return rect.center();
    }
    void Press(int row, int col) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(row, col));
    }
    void DoubleClick(int row, int col) {
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(row, col));
    }
    void Key(Qt::Key key) { QTest::keyClick(grid, key); }
    void EditorKey(Qt::Key key) { QTest::keyClick(grid->editor(), key); }
    void Type(const QString& text) { QTest::keyClicks(grid->editor(), text); }
    std::pair<int, int> Current() const { return {grid->currentRow(), grid->currentColumn()}; }
    bool EditorOpen() const { return grid->isEditing() && grid->editor()->isVisible(); }

    TColumnPropList props;
    TVTListData table;
    std::unique_ptr<QDialog> window = std::make_unique<QDialog>();
    TVTList* grid = nullptr;
    QLineEdit* other = nullptr;
    std::vector<std::pair<int, int>> clicks;
    std::vector<Stored> stored;
};

TEST_F(VTListTest, EnterBeforeAnyCellWasChosenOpensNothing) {
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(grid->editor()->isVisible());
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(Current(), std::make_pair(0, 0));
    // From there Enter edits the first cell.
    Key(Qt::Key_Return);
    EXPECT_TRUE(EditorOpen());
    EXPECT_EQ(grid->editor()->text(), "1");
}

TEST_F(VTListTest, ArrowKeysMoveTheCurrentCellWithinTheGrid) {
    struct Step {
        Qt::Key key;
        int presses;
        int row;
        int col;
    };
    const std::vector<Step> steps{
        {Qt::Key_Up, 1, 0, 0},    {Qt::Key_Left, 1, 0, 0},   {Qt::Key_Right, 1, 0, 1},
        {Qt::Key_Right, 5, 0, 2}, {Qt::Key_Down, 60, 49, 2}, {Qt::Key_Up, 1, 48, 2},
        {Qt::Key_Left, 9, 48, 0}, {Qt::Key_A, 1, 48, 0},
    };
    for (const Step& step : steps) {
        for (int i = 0; i < step.presses; ++i) {
            Key(step.key);
        }
        EXPECT_EQ(Current(), std::make_pair(step.row, step.col)) << "key " << step.key;
    }
    // Any key settles a cell outside the grid back into it.
    grid->setItemCount(10);
    Key(Qt::Key_Space);
    EXPECT_EQ(Current(), std::make_pair(9, 0));
}

TEST_F(VTListTest, MarkColumnReportsEachPressOnceAndNeverOpensTheEditor) {
    using Clicks = std::vector<std::pair<int, int>>;
    Press(3, kMark);
    EXPECT_EQ(clicks, (Clicks{{3, kMark}}));
    Key(Qt::Key_Return);
    EXPECT_EQ(clicks, (Clicks{{3, kMark}, {3, kMark}}));

    clicks.clear();
    DoubleClick(7, kMark);
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks, Clicks(clicks.size(), {7, kMark}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(grid->editor()->isVisible());
    EXPECT_TRUE(stored.empty());

    // Presses on other columns report nothing.
    clicks.clear();
    Press(3, kText);
    Press(3, kLabel);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VTListTest, OnlyEnterStoresTheTypedTextAsWindows1252) {
    table.setData(2, kText, "+4912");
    Press(2, kText);
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    QLineEdit* editor = grid->editor();
    EXPECT_EQ(editor->text(), "+4912");
    // Characters beyond ASCII arrive as the text of a key event, as from an input method.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    QString::fromUtf8("\u00e9\u20ac 5"));
    QApplication::sendEvent(editor, &typed);  // replaces the selected text

    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        EditorKey(key);
    }
    EXPECT_TRUE(window->isVisible());  // Escape does not close the dialog either
    // Nor does a switch to another window end the edit.
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_TRUE(EditorOpen());
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(Current(), std::make_pair(2, kText));
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    EditorKey(Qt::Key_Enter);  // the keypad's Enter as well as Return
    EXPECT_EQ(stored, (std::vector<Stored>{{2, kText, "\xE9\x80 5"}}));
    EXPECT_FALSE(EditorOpen());
    EXPECT_TRUE(WaitFor([this] { return grid->hasFocus(); }));
}

TEST_F(VTListTest, LeavingTheEditorStoresItsText) {
    DoubleClick(4, kText);
    ASSERT_TRUE(EditorOpen());
    Type("555");
    other->setFocus();
    ASSERT_TRUE(WaitFor([this] { return !grid->isEditing(); }));
    EXPECT_EQ(stored, (std::vector<Stored>{{4, kText, "555"}}));
    EXPECT_FALSE(grid->editor()->isVisible());
    EXPECT_TRUE(other->hasFocus());  // the focus stays where the user took it

    // A press on another cell of the grid stores the edit for the cell it belongs to.
    stored.clear();
    DoubleClick(1, kText);
    ASSERT_TRUE(EditorOpen());
    Type("ab");
    Press(6, kText);
    EXPECT_EQ(stored, (std::vector<Stored>{{1, kText, "ab"}}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(Current(), std::make_pair(6, kText));
}

TEST_F(VTListTest, ReadOnlyColumnStillReportsItsUnchangedText) {
    // Longer than the column's limit, with a line break and a byte the code page leaves
    // undefined: the report must give back exactly what the cell holds.
    const std::string label = std::string("Input 1\r\n\x81\t\0 receiver\x7f", 22);
    table.setData(4, kLabel, label);
    DoubleClick(4, kLabel);
    ASSERT_TRUE(EditorOpen());
    EXPECT_TRUE(grid->editor()->isReadOnly());
    Type("zz");
    EditorKey(Qt::Key_Return);
    EXPECT_EQ(stored, (std::vector<Stored>{{4, kLabel, label}}));
}

TEST_F(VTListTest, MaxLengthLimitsTypingButNeverCutsAStoredText) {
    DoubleClick(0, kText);
    ASSERT_TRUE(EditorOpen());
    Type("1234567");
    EditorKey(Qt::Key_Return);

    // A text already longer than the limit (from a profile, say) survives being looked at,
    // and being changed; it only cannot grow.
    table.setData(1, kText, "longer than five");
    DoubleClick(1, kText);
    ASSERT_TRUE(EditorOpen());
    EditorKey(Qt::Key_Return);
    DoubleClick(1, kText);
    ASSERT_TRUE(EditorOpen());
    EditorKey(Qt::Key_End);
    EditorKey(Qt::Key_Backspace);
    Type("!!");
    EditorKey(Qt::Key_Return);
    EXPECT_EQ(stored, (std::vector<Stored>{{0, kText, "12345"},
                                           {1, kText, "longer than five"},
                                           {1, kText, "longer than fiv!"}}));
}

TEST_F(VTListTest, CellTextsCaptionsAndStylesFollowColumnsHighlightRowsAndTheCurrentCell) {
    grid->RowsToHighLight = 40;
    QAbstractItemModel* model = grid->model();
    const auto data = [model](int row, int col, Qt::ItemDataRole role) {
        return model->data(model->index(row, col), role);
    };
    const auto bold = [&](int row, int col) {
        return data(row, col, Qt::FontRole).value<QFont>().bold();
    };
    const auto background = [&](int row, int col) {
        return data(row, col, Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_TRUE(bold(39, kLabel));
    EXPECT_FALSE(bold(40, kLabel));
    EXPECT_FALSE(bold(0, kText));
    EXPECT_EQ(data(1, kText, Qt::ForegroundRole).value<QBrush>().color(), toQColor(kTextFont));
    EXPECT_EQ(data(3, kLabel, Qt::DisplayRole).toString(), "4");
    grid->setColumnCaption(kText, "New Text \xE9");
    EXPECT_EQ(model->headerData(kText, Qt::Horizontal).toString(),
              QString::fromUtf8("New Text \u00e9"));

    const QColor highlight = grid->palette().color(QPalette::Highlight);
    Press(1, kText);
    EXPECT_EQ(background(1, kText), highlight);
    EXPECT_EQ(background(1, kMark), toQColor(kMarkBrush));

    // What is painted is what the styles say.
    const auto painted = [this](int row, int col) {
        QRect cell;
        EXPECT_TRUE(grid->getColumnRect(row, col, cell));
        return grid->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.bottom() - 2);
    };
    EXPECT_EQ(painted(1, kText), highlight);
    EXPECT_EQ(painted(2, kLabel), toQColor(kLabelBrush));

    // No highlight while editing, nor while the grid lacks the focus.
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(background(1, kText), toQColor(kTextBrush));
    other->setFocus();
    ASSERT_TRUE(WaitFor([this] { return !grid->isEditing(); }));
    EXPECT_EQ(background(1, kText), toQColor(kTextBrush));
}

TEST_F(VTListTest, PressOutsideTheCellsClearsTheCurrentCell) {
    grid->setItemCount(3);
    Press(1, kText);
    const int belowRows = grid->rowViewportPosition(2) + grid->rowHeight(2) + 10;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(20, belowRows));
    EXPECT_EQ(Current(), std::make_pair(-1, -1));

    // Beside the last column the row counts, the column does not.
    const QPoint beside(grid->getColumnX(3) + 20, CellCenter(1, kText).y());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, beside);
    EXPECT_EQ(Current(), std::make_pair(1, -1));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VTListTest, WorksWithoutHandlersOrProperties) {
    grid->OnCellGetData = nullptr;
    grid->OnCellSetData = nullptr;
    grid->OnCellClicked = nullptr;
    Press(0, kMark);
    Key(Qt::Key_Return);
    Press(0, kText);
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(grid->editor()->text(), "");
    Type("x");
    EditorKey(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());

    // Without properties nothing is clickable, the editor only shows and the grid's own
    // colours apply.
    grid->ColumnProperties = nullptr;
    Press(0, kMark);
    Key(Qt::Key_Return);
    EXPECT_TRUE(EditorOpen());
    EXPECT_TRUE(grid->editor()->isReadOnly());
    EXPECT_EQ(grid->getBrushColor(kMark), grid->color());
}

TEST_F(VTListTest, DestroyedWhileEditing) {
    DoubleClick(0, kText);
    ASSERT_TRUE(EditorOpen());
    Type("lost");
    delete grid;
    grid = nullptr;
    EXPECT_TRUE(stored.empty());
}

}  // namespace
