#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "vtlist.h"

namespace {

// Columns as the alarm grids use them: a read-only label, two typed columns and a mark column.
constexpr int kLabel = 0;
constexpr int kText = 1;
constexpr int kMark = 2;
constexpr int kNumber = 3;
constexpr int kTextMax = 5;
constexpr int kLabelMax = 3;
constexpr TColor kLabelBrush = 0xC0C0C0;
constexpr TColor kTextBrush = 0xFFFFFF;
constexpr TColor kMarkBrush = 0x80FF80;

struct Click {
    int row;
    int col;
    bool operator==(const Click&) const = default;
};
struct Stored {
    int row;
    int col;
    std::string text;
    bool operator==(const Stored&) const = default;
};

void PrintTo(const Stored& s, std::ostream* os) {
    *os << "(" << s.row << ", " << s.col << ", \"" << s.text << "\")";
}

bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

class VTListTest : public ::testing::Test {
protected:
    void SetUp() override {
        props.add(std::make_unique<TColumnProp>(kLabelBrush, clBlack, false, false, kLabelMax));
        props.add(std::make_unique<TColumnProp>(kTextBrush, clBlack, true, false, kTextMax));
        props.add(std::make_unique<TColumnProp>(kMarkBrush, clBlack, false, true, 1));
        props.add(std::make_unique<TColumnProp>(kTextBrush, 0x0000FF, true, false, 20));

        window = std::make_unique<QWidget>();
        window->resize(520, 560);
        grid = new TVTList(window.get());  // owned by the window
        grid->setGeometry(0, 0, 520, 500);
        other = new QLineEdit(window.get());
        other->setObjectName("other");
        other->setGeometry(0, 510, 200, 30);

        grid->addColumn("Label", 100);
        grid->addColumn("Text", 100);
        grid->addColumn("Mark", 60);
        grid->addColumn("Number", 100);
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
    std::unique_ptr<QWidget> window;
    TVTList* grid = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Click> clicks;
    std::vector<Stored> stored;
};

TEST_F(VTListTest, StartsWithoutCurrentCellAndNamedParts) {
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    EXPECT_EQ(grid->RowsToHighLight, 0);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->objectName(), "VTList");
    EXPECT_EQ(grid->findChild<QLineEdit*>("VTListEditor"), grid->editor());
    EXPECT_FALSE(grid->editor()->isVisible());
}

TEST_F(VTListTest, EnterBeforeAnyCellWasChosenOpensNothing) {
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(grid->editor()->isVisible());
    EXPECT_TRUE(stored.empty());
    EXPECT_TRUE(clicks.empty());
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
        {Qt::Key_Up, 1, 0, 0},    {Qt::Key_Left, 1, 0, 0},  {Qt::Key_Right, 1, 0, 1},
        {Qt::Key_Right, 5, 0, 3}, {Qt::Key_Down, 2, 2, 3},  {Qt::Key_Down, 60, 49, 3},
        {Qt::Key_Up, 1, 48, 3},   {Qt::Key_Left, 9, 48, 0}, {Qt::Key_A, 1, 48, 0},
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

TEST_F(VTListTest, MarkColumnReportsPressesAndNeverOpensTheEditor) {
    Press(3, kMark);
    EXPECT_EQ(clicks, (std::vector<Click>{{3, kMark}}));
    EXPECT_EQ(Current(), std::make_pair(3, kMark));

    Key(Qt::Key_Return);
    EXPECT_EQ(clicks, (std::vector<Click>{{3, kMark}, {3, kMark}}));
    EXPECT_FALSE(grid->isEditing());

    clicks.clear();
    DoubleClick(7, kMark);
    ASSERT_FALSE(clicks.empty());
    for (const Click& c : clicks) {
        EXPECT_EQ(c, (Click{7, kMark}));
    }
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(grid->editor()->isVisible());
    EXPECT_TRUE(stored.empty());

    // Presses on other columns report nothing.
    clicks.clear();
    Press(3, kText);
    Press(3, kLabel);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VTListTest, EnterInTheEditorStoresTheTypedText) {
    table.setData(2, kNumber, "+4912");
    Press(2, kNumber);
    Key(Qt::Key_Return);
    ASSERT_TRUE(EditorOpen());
    QLineEdit* editor = grid->editor();
    EXPECT_TRUE(WaitFor([editor] { return editor->hasFocus(); }));
    EXPECT_FALSE(editor->isReadOnly());
    EXPECT_EQ(editor->text(), "+4912");
    EXPECT_EQ(editor->selectedText(), "+4912");
    QRect cell;
    ASSERT_TRUE(grid->getColumnRect(2, kNumber, cell));
    EXPECT_EQ(editor->geometry(), QRect(cell.left(), cell.top(), cell.width(), cell.height() + 4));

    // Characters beyond ASCII arrive as the text of a key event, as from an input method.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    QString::fromUtf8("\u00e9\u20ac 5"));
    QApplication::sendEvent(editor, &typed);  // replaces the selected text
    EditorKey(Qt::Key_Return);
    EXPECT_EQ(stored, (std::vector<Stored>{{2, kNumber, "\xE9\x80 5"}}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(WaitFor([this] { return grid->hasFocus(); }));
    EXPECT_EQ(Current(), std::make_pair(2, kNumber));
}

TEST_F(VTListTest, LeavingTheEditorStoresItsText) {
    DoubleClick(4, kNumber);
    ASSERT_TRUE(EditorOpen());
    Type("555");
    other->setFocus();
    ASSERT_TRUE(WaitFor([this] { return !grid->isEditing(); }));
    EXPECT_EQ(stored, (std::vector<Stored>{{4, kNumber, "555"}}));
    EXPECT_FALSE(grid->editor()->isVisible());
    // The focus stays where the user took it.
    EXPECT_TRUE(other->hasFocus());

    // A press on another cell of the grid stores the edit for the cell it belongs to.
    stored.clear();
    DoubleClick(1, kText);
    ASSERT_TRUE(EditorOpen());
    Type("ab");
    Press(6, kNumber);
    EXPECT_EQ(stored, (std::vector<Stored>{{1, kText, "ab"}}));
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(Current(), std::make_pair(6, kNumber));
}

TEST_F(VTListTest, SwitchingToAnotherWindowKeepsTheEditOpen) {
    DoubleClick(3, kText);
    ASSERT_TRUE(EditorOpen());
    Type("abc");
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_TRUE(EditorOpen());
    EXPECT_TRUE(stored.empty());

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EditorKey(Qt::Key_Return);
    EXPECT_EQ(stored, (std::vector<Stored>{{3, kText, "abc"}}));
}

TEST_F(VTListTest, NoKeyCancelsAnEditAndKeysStayInTheEditor) {
    DoubleClick(2, kText);
    ASSERT_TRUE(EditorOpen());
    Type("abc");
    EditorKey(Qt::Key_Escape);
    EditorKey(Qt::Key_Down);
    EditorKey(Qt::Key_Down);
    EditorKey(Qt::Key_Up);
    EXPECT_TRUE(EditorOpen());
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(Current(), std::make_pair(2, kText));
    EditorKey(Qt::Key_Enter);  // the keypad's Enter as well
    EXPECT_EQ(stored, (std::vector<Stored>{{2, kText, "abc"}}));
}

TEST(VTListInDialog, EscapeInTheEditorLeavesTheDialogOpen) {
    QDialog dialog;
    TVTList grid(&dialog);
    grid.addColumn("Text", 100);
    grid.setItemCount(2);
    TColumnPropList props;
    props.add(std::make_unique<TColumnProp>(clWhite, clBlack, true, false, 10));
    grid.ColumnProperties = &props;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Return);  // first cell
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_TRUE(grid.isEditing());
    QTest::keyClick(grid.editor(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(grid.isEditing());
    grid.ColumnProperties = nullptr;
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
    EXPECT_EQ(grid->editor()->text(), "12345");
    EditorKey(Qt::Key_Return);

    // A text already longer than the limit (from a profile, say) survives being looked at.
    table.setData(1, kText, "longer than five");
    DoubleClick(1, kText);
    ASSERT_TRUE(EditorOpen());
    EditorKey(Qt::Key_Return);
    // Nor is it cut when the user changes it; it only cannot grow.
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

TEST_F(VTListTest, CellStylesFollowColumnsHighlightRowsAndTheCurrentCell) {
    grid->RowsToHighLight = 40;
    QAbstractItemModel* model = grid->model();
    const auto bold = [model](int row, int col) {
        return model->data(model->index(row, col), Qt::FontRole).value<QFont>().bold();
    };
    const auto background = [model](int row, int col) {
        return model->data(model->index(row, col), Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_TRUE(bold(0, kLabel));
    EXPECT_TRUE(bold(39, kLabel));
    EXPECT_FALSE(bold(40, kLabel));
    EXPECT_FALSE(bold(0, kText));
    EXPECT_EQ(background(40, kLabel), toQColor(kLabelBrush));
    EXPECT_EQ(background(40, kMark), toQColor(kMarkBrush));
    EXPECT_EQ(model->data(model->index(1, kNumber), Qt::ForegroundRole).value<QBrush>().color(),
              toQColor(0x0000FF));
    EXPECT_EQ(model->data(model->index(3, kLabel), Qt::DisplayRole).toString(), "4");

    // A column without properties takes the grid's colours.
    grid->setColor(QColor(0x10, 0x20, 0x30));
    grid->setColumnCount(5);
    EXPECT_EQ(background(0, 4), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(grid->getFontColor(4), grid->fontColor());

    const QColor highlight = grid->palette().color(QPalette::Highlight);
    Press(1, kText);
    EXPECT_EQ(background(1, kText), highlight);
    EXPECT_FALSE(bold(1, kText));
    EXPECT_EQ(background(1, kNumber), toQColor(kTextBrush));

    // What is painted is what the styles say.
    const auto painted = [this](int row, int col) {
        QRect cell;
        EXPECT_TRUE(grid->getColumnRect(row, col, cell));
        return grid->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.bottom() - 2);
    };
    EXPECT_EQ(painted(1, kText), highlight);
    EXPECT_EQ(painted(2, kLabel), toQColor(kLabelBrush));
    EXPECT_EQ(painted(2, kMark), toQColor(kMarkBrush));

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
    const QPoint beside(grid->getColumnX(4) + 20, CellCenter(1, kText).y());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, beside);
    EXPECT_EQ(Current(), std::make_pair(1, -1));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(VTListTest, ColumnGeometry) {
    EXPECT_EQ(grid->getColumnX(-1), 0);
    EXPECT_EQ(grid->getColumnX(0), 0);
    EXPECT_EQ(grid->getColumnX(2), 200);
    EXPECT_EQ(grid->getColumnX(4), 360);
    QRect rect;
    EXPECT_FALSE(grid->getColumnRect(0, -1, rect));
    EXPECT_FALSE(grid->getColumnRect(0, 4, rect));
    ASSERT_TRUE(grid->getColumnRect(1, kMark, rect));
    EXPECT_EQ(rect.left(), 200);
    EXPECT_EQ(rect.width(), 60);
    EXPECT_EQ(grid->getColumnAt(1, rect.left(), rect.center().y()), kMark);
    EXPECT_EQ(grid->getColumnAt(1, rect.left() - 1, rect.center().y()), kText);
    EXPECT_EQ(grid->getColumnAt(0, rect.left(), rect.center().y()), -1);
    EXPECT_EQ(grid->getColumnAt(1, 400, rect.center().y()), -1);

    grid->setColumnCaption(1, "New Text \xE9");
    EXPECT_EQ(grid->columnCaption(1), "New Text \xE9");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(),
              QString::fromUtf8("New Text \u00e9"));
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

    // Without properties nothing is clickable and the editor only shows.
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
