#pragma once

#include <QColor>
#include <QLineEdit>
#include <QRect>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <memory>
#include <string>

#include "columnprop.h"
#include "vtlistdata.h"

class TVTListModel;
class TVTListEditor;

inline QColor toQColor(TColor color) {
    return QColor::fromRgb(static_cast<QRgb>(color & 0xFFFFFFu));
}

// A grid that holds no cell texts: every cell is fetched from the owner whenever it is drawn,
// and one cell at a time is edited in an edit box laid over it. Texts cross this boundary as
// Windows-1252 byte strings, like everywhere in the core.
//
// The current cell is the grid's own (row and column, -1 for none); it is set by a press or by
// the arrow keys and stays through edits, redraws and data changes. The owner sets the row
// count with setItemCount and calls Invalidate after changing the data behind the grid.
// GUI thread only.
class TVTList : public QTableView {
    Q_OBJECT

public:
    using TCellClickedEvent = std::function<void(TVTList* sender, int row, int col)>;
    using TCellGetDataEvent =
        std::function<void(TVTList* sender, int row, int col, std::string& data)>;
    using TCellSetDataEvent =
        std::function<void(TVTList* sender, int row, int col, const std::string& data)>;
    struct TCellStyle;
    // Lets the owner change how a cell is drawn (a changed value in another colour, say); not
    // asked for the highlighted cells of the current selection.
    using TCellStyleEvent =
        std::function<void(TVTList* sender, int row, int col, TCellStyle& style)>;

    explicit TVTList(QWidget* parent = nullptr);
    ~TVTList() override;

    // Rows with an index below this show column 0 in bold.
    int RowsToHighLight = 0;
    // Not owned; the owner takes it away (sets nullptr) before destroying the list.
    TColumnPropList* ColumnProperties = nullptr;
    // The owner's own number for this grid (several grids may share one set of handlers).
    int Tag = 0;

    // Each event is optional.
    TCellClickedEvent OnCellClicked;
    TCellGetDataEvent OnCellGetData;
    TCellSetDataEvent OnCellSetData;
    TCellStyleEvent OnCellStyle;

    // Rows (items) and columns.
    void setItemCount(int count);
    int itemCount() const;
    void setColumnCount(int count);
    int columnCount() const;
    // Appends a column with a caption (Windows-1252) and a width in pixels.
    void addColumn(const std::string& caption, int width);
    void setColumnCaption(int col, const std::string& caption);
    std::string columnCaption(int col) const;

    // The grid's background (rows and columns without properties); the default is the
    // palette's base colour. The font colour is the text colour of columns without properties.
    void setColor(const QColor& color);
    QColor color() const;
    void setFontColor(const QColor& color);
    QColor fontColor() const;

    // Redraws every visible cell, fetching its text again.
    void Invalidate();

    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }
    // Makes a cell the current one and scrolls it into view; a cell outside the grid is ignored.
    // The selection shrinks to that cell.
    void setCurrentCell(int row, int col);
    // The selected block of cells: from the anchor to the current cell, both included. A press
    // or an arrow key moves both; with Shift held only the current cell moves, so the block
    // grows or shrinks. Rows are the rectangle's y, columns its x; empty without a current
    // cell.
    QRect selection() const;
    bool isSelected(int row, int col) const;
    // Selects the block from (anchorRow, anchorCol) to (row, col), the latter becoming the
    // current cell; cells outside the grid are ignored.
    void setSelection(int anchorRow, int anchorCol, int row, int col);
    bool isEditing() const { return m_editing; }
    QLineEdit* editor() const;

    // Opens the edit box on the current cell, or reports a click on a clickable column.
    void beginEditing();
    // Closes the edit box and reports its text through OnCellSetData, changed or not.
    void endEditing();
    // Closes the edit box without reporting anything: the cell keeps what it held.
    void cancelEditing();
    bool isOkToEdit() const;

    // Cell geometry in viewport coordinates. getColumnX is the column's offset from the left
    // edge of the first column.
    int getColumnX(int col) const;
    bool getColumnRect(int item, int col, QRect& rect) const;
    int getColumnAt(int item, int x, int y) const;
    QColor getBrushColor(int col) const;
    QColor getFontColor(int col) const;

    // How a cell is drawn now: the selected cells show the highlight while the grid has the
    // focus and is not editing; column 0 is bold below RowsToHighLight; OnCellStyle may change
    // any other cell.
    struct TCellStyle {
        QColor background;
        QColor text;
        bool bold = false;
    };
    TCellStyle cellStyle(int row, int col) const;

    // The text of a cell as the owner gives it (Windows-1252).
    std::string cellText(int row, int col);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void editorExit();
    bool clickableColumn(int col) const;

    int m_currentRow = -1;
    int m_currentColumn = -1;
    // The fixed corner of the selection; the current cell is the moving one.
    int m_anchorRow = -1;
    int m_anchorColumn = -1;
    // The cell of the last press, which the double-click of the same gesture follows.
    int m_pressedRow = -1;
    int m_pressedColumn = -1;
    bool m_editing = false;
    std::unique_ptr<TVTListModel> m_model;
    std::unique_ptr<QStyledItemDelegate> m_delegate;
    std::unique_ptr<TVTListEditor> m_editor;
};
