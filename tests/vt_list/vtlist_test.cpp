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
using Cell = std::pair<int, int>;

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
        grid->OnCellSetData = [this](TVTList*, int row, int col, const std::string& data) {
            stored.push_back({row, col, data});
            table.setData(row, col, data);
        };
        grid->OnCellClicked = [this](TVTList*, int row, int col) { clicks.push_back({row, col}); };
        for (int r = 0; r < 50; ++r) {
            table.setData(r, kLabel, std::to_string(r + 1));
        }
        window->show();
        Activate(window.get());
        grid->setFocus();
        ASSERT_TRUE(WaitFor([this] { return grid->hasFocus(); }));
    }

    static void Activate(QWidget* w) {
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    QPoint CellCenter(int row, int col) const {
        QRect rect;
        EXPECT_TRUE(grid->getColumnRect(row, col, rect)) << row << "," << col;
        return rect.center();
    }
    void Press(int row, int col) { PressAt(CellCenter(row, col)); }
    void PressAt(QPoint at) { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at); }
    void DoubleClick(int row, int col) {
        // As a window system delivers it: the double-click stands in for the second press.
        const QPoint at = CellCenter(row, col);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
    }
    void Key(Qt::Key key) { QTest::keyClick(grid, key); }
    void EditorKey(Qt::Key key) { QTest::keyClick(grid->editor(), key); }
    Cell Current() const { return {grid->currentRow(), grid->currentColumn()}; }
    bool EditorOpen() const { return grid->isEditing() && grid->editor()->isVisible(); }

    TColumnPropList props;
    TVTListData table;
    std::unique_ptr<QDialog> window = std::make_unique<QDialog>();
    TVTList* grid = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Cell> clicks;
    std::vector<Stored> stored;
};

TEST_F(VTListTest, EnterWithoutACurrentCellOpensNothing) {
    grid->setItemCount(3);
    EXPECT_EQ(Current(), Cell(-1, -1));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(Current(), Cell(0, 0));
    // From there Enter edits the first cell.
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(grid->editor()->text(), "1");
    EditorKey(Qt::Key_Return);

    // A press below the rows clears the current cell; beside the last column the row counts.
    PressAt(QPoint(20, grid->rowViewportPosition(2) + grid->rowHeight(2) + 10));
    EXPECT_EQ(Current(), Cell(-1, -1));
    PressAt(QPoint(grid->getColumnX(3) + 20, CellCenter(1, kText).y()));
    EXPECT_EQ(Current(), Cell(1, -1));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(stored, (std::vector<Stored>{{0, kLabel, "1"}}));
}

TEST_F(VTListTest, MarkColumnReportsEachPressOnceAndNeverOpensTheEditor) {
    Press(3, kMark);
    Key(Qt::Key_Return);
    Press(3, kText);  // other columns report nothing
    Press(3, kLabel);
    EXPECT_EQ(clicks, (std::vector<Cell>{{3, kMark}, {3, kMark}}));

    clicks.clear();
    // A mark toggles once per double-click, never back and forth.
    DoubleClick(7, kMark);
    EXPECT_EQ(clicks, (std::vector<Cell>{{7, kMark}}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_TRUE(stored.empty());
}

TEST_F(VTListTest, OnlyEnterStoresTheTypedTextAsWindows1252) {
    table.setData(2, kText, "+4912");
    Press(2, kText);
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(grid->editor()->text(), "+4912");
    // Characters beyond ASCII arrive as the text of a key event, as from an input method.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    QString::fromUtf8("\u00e9\u20ac 5"));
    QApplication::sendEvent(grid->editor(), &typed);  // replaces the selected text
    EditorKey(Qt::Key_Escape);
    EditorKey(Qt::Key_Down);
    EXPECT_TRUE(window->isVisible());  // Escape does not close the dialog either
    // Nor does a switch to another window end the edit.
    QWidget elsewhere;
    elsewhere.show();
    Activate(&elsewhere);
    EXPECT_TRUE(EditorOpen());
    Activate(window.get());
    EXPECT_TRUE(stored.empty());
    EditorKey(Qt::Key_Enter);  // the keypad's Enter as well as Return
    EXPECT_EQ(stored, (std::vector<Stored>{{2, kText, "\xE9\x80 5"}}));
    EXPECT_FALSE(EditorOpen());
    EXPECT_TRUE(WaitFor([this] { return grid->hasFocus(); }));

    // An edit the grid is destroyed in is dropped, not stored.
    DoubleClick(0, kText);
    ASSERT_TRUE(EditorOpen());
    QTest::keyClicks(grid->editor(), "lost");
    delete grid;
    grid = nullptr;
    EXPECT_EQ(stored.size(), 1u);
}

// Each edit is stored exactly once, for the cell it belongs to, however it ends.
TEST_F(VTListTest, EditsAreStoredOnceWhenEnterOrLeavingEndsThem) {
    enum Ending { kEnter, kFocusElsewhere, kPressOtherCell };
    // Longer than the label column's limit, with a line break and a byte the code page leaves
    // undefined: a read-only editor must give back exactly what the cell holds.
    const std::string label = std::string("Input 1\r\n\x81\t\0 receiver\x7f", 22);
    const std::string longer = "longer than five";
    const struct {
        int col;
        std::string before;
        bool toEnd;  // End and Backspace before typing
        QString typed;
        Ending ending;
        std::string after;
    } cases[] = {
        {kText, "", false, "555", kFocusElsewhere, "555"},
        {kText, "", false, "ab", kPressOtherCell, "ab"},
        {kLabel, label, false, "zz", kEnter, label},
        // A text already longer than the limit (from a profile, say) survives being looked at
        // and being changed; it only cannot grow.
        {kText, longer, false, "", kEnter, longer},
        {kText, longer, true, "!!", kEnter, "longer than fiv!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        stored.clear();
        table.setData(4, c.col, c.before);
        DoubleClick(4, c.col);
        ASSERT_TRUE(EditorOpen());
        EXPECT_EQ(grid->editor()->isReadOnly(), c.col == kLabel);
        if (c.toEnd) {
            EditorKey(Qt::Key_End);
            EditorKey(Qt::Key_Backspace);
        }
        QTest::keyClicks(grid->editor(), c.typed);
        if (c.ending == kEnter) {
            EditorKey(Qt::Key_Return);
        } else if (c.ending == kPressOtherCell) {
            Press(6, kText);
            EXPECT_EQ(Current(), Cell(6, kText));
        } else {
            other->setFocus();
            ASSERT_TRUE(WaitFor([this] { return !grid->isEditing(); }));
            EXPECT_TRUE(other->hasFocus());  // the focus stays where the user took it
        }
        EXPECT_FALSE(EditorOpen());
        EXPECT_EQ(stored, (std::vector<Stored>{{4, c.col, c.after}}));
    }
}

TEST_F(VTListTest, StylesFollowColumnsHighlightRowsAndTheCurrentCell) {
    grid->RowsToHighLight = 40;
    const auto data = [this](int row, int col, Qt::ItemDataRole role) {
        return grid->model()->data(grid->model()->index(row, col), role);
    };
    const auto bold = [&](int row, int col) {
        return data(row, col, Qt::FontRole).value<QFont>().bold();
    };
    const auto background = [&](int col) {
        return data(1, col, Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_TRUE(bold(39, kLabel));
    EXPECT_FALSE(bold(40, kLabel));
    EXPECT_FALSE(bold(0, kText));
    EXPECT_EQ(data(1, kText, Qt::ForegroundRole).value<QBrush>().color(), toQColor(kTextFont));
    grid->setColumnCaption(kText, "New Text \xE9");
    EXPECT_EQ(grid->model()->headerData(kText, Qt::Horizontal).toString(),
              QString::fromUtf8("New Text \u00e9"));
    EXPECT_EQ(data(3, kLabel, Qt::DisplayRole).toString(), "4");

    const QColor highlight = grid->palette().color(QPalette::Highlight);
    Press(1, kText);
    EXPECT_EQ(background(kText), highlight);
    EXPECT_EQ(background(kMark), toQColor(kMarkBrush));
    // What is painted is what the styles say.
    QRect cell;
    ASSERT_TRUE(grid->getColumnRect(1, kText, cell));
    EXPECT_EQ(grid->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.bottom() - 2),
              highlight);
    // No highlight while editing, nor while the grid lacks the focus.
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(background(kText), toQColor(kTextBrush));
    other->setFocus();
    ASSERT_TRUE(WaitFor([this] { return !grid->isEditing(); }));
    EXPECT_EQ(background(kText), toQColor(kTextBrush));
}

}  // namespace
