#include "vtlist.h"

#include <QAbstractTableModel>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

#include "core/win1252.h"

namespace {

QString toQString(const std::string& win1252) {
    return QString::fromStdString(Win1252ToUtf8(win1252));
}

std::string fromQString(const QString& text) {
    return Utf8ToWin1252(text.toStdString());
}

// QLineEdit's own ceiling, used where a column sets no limit.
constexpr int kNoLimit = 32767;

// Paints a cell the way the grid has always looked: its background filled edge to edge and the
// text two pixels in from the left at the top, clipped to the cell. The grid lines come from
// the view.
class TVTListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
        painter->setFont(index.data(Qt::FontRole).value<QFont>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
        const QRect textRect = option.rect.adjusted(2, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

}  // namespace

// Hands the view what the owner has for each cell at the moment it is drawn; nothing is kept.
class TVTListModel : public QAbstractTableModel {
public:
    explicit TVTListModel(TVTList& grid) : grid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(captions.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) {
            return {};
        }
        switch (role) {
            case Qt::DisplayRole:
                return toQString(grid.cellText(index.row(), index.column()));
            case Qt::BackgroundRole:
                return QBrush(grid.cellStyle(index.row(), index.column()).background);
            case Qt::ForegroundRole:
                return QBrush(grid.cellStyle(index.row(), index.column()).text);
            case Qt::FontRole: {
                QFont font = grid.font();
                font.setBold(grid.cellStyle(index.row(), index.column()).bold);
                return font;
            }
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < columnCount()) {
            return toQString(captions[static_cast<std::size_t>(section)]);
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

    // Rows and columns are inserted and removed rather than reset, so the header keeps the
    // widths of the columns that stay.
    void setRows(int count) {
        count = std::max(count, 0);
        if (count > rows) {
            beginInsertRows({}, rows, count - 1);
            rows = count;
            endInsertRows();
        } else if (count < rows) {
            beginRemoveRows({}, count, rows - 1);
            rows = count;
            endRemoveRows();
        }
    }
    int rowTotal() const { return rows; }

    void setColumns(int count) {
        count = std::max(count, 0);
        const int now = columnCount();
        if (count > now) {
            beginInsertColumns({}, now, count - 1);
            captions.resize(static_cast<std::size_t>(count));
            endInsertColumns();
        } else if (count < now) {
            beginRemoveColumns({}, count, now - 1);
            captions.resize(static_cast<std::size_t>(count));
            endRemoveColumns();
        }
    }

    void setCaption(int col, const std::string& caption) {
        if (col < 0 || col >= columnCount()) {
            return;
        }
        captions[static_cast<std::size_t>(col)] = caption;
        emit headerDataChanged(Qt::Horizontal, col, col);
    }
    std::string caption(int col) const {
        if (col < 0 || col >= columnCount()) {
            return {};
        }
        return captions[static_cast<std::size_t>(col)];
    }

private:
    TVTList& grid;
    int rows = 0;
    std::vector<std::string> captions;
};

// The in-place edit box. Enter ends the edit; no key cancels it, and leaving the box in any way
// ends it too, so what the user typed is always stored. Keys the box does not use stay in it:
// an arrow key must not move the grid's current cell under an open edit.
class TVTListEditor : public QLineEdit {
public:
    explicit TVTListEditor(QWidget* parent) : QLineEdit(parent) {}

    // Shows `text` whole and lets the user type up to `limit` characters. A text the cell
    // already holds beyond the limit is not cut (the box would otherwise store it shortened
    // just because it was looked at); it may not grow beyond its length.
    void start(const QString& text, int limit) {
        setMaxLength(std::max(limit, static_cast<int>(text.size())));
        setText(text);
    }

    std::function<void()> onEnter;
    std::function<void()> onExit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                event->accept();
                if (onEnter) {
                    onEnter();
                }
                return;
            case Qt::Key_Escape:
                event->accept();
                return;
            default:
                QLineEdit::keyPressEvent(event);
                event->accept();
        }
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        // The box's own context menu and a switch to another window do not leave the edit.
        if (event->reason() == Qt::PopupFocusReason ||
            event->reason() == Qt::ActiveWindowFocusReason) {
            return;
        }
        if (onExit) {
            onExit();
        }
    }
};

TVTList::TVTList(QWidget* parent)
    : QTableView(parent),
      m_model(std::make_unique<TVTListModel>(*this)),
      m_delegate(std::make_unique<TVTListDelegate>()),
      m_editor(std::make_unique<TVTListEditor>(viewport())) {
    setObjectName(QStringLiteral("VTList"));
    setModel(m_model.get());
    setItemDelegate(m_delegate.get());
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_editor->setObjectName(QStringLiteral("VTListEditor"));
    m_editor->setFrame(true);
    m_editor->hide();
    m_editor->onEnter = [this] { endEditing(); };
    m_editor->onExit = [this] { editorExit(); };
}

TVTList::~TVTList() {
    // The edit box may still hold the focus; its handlers must not reach a half-destroyed grid.
    m_editing = false;
    m_editor->onEnter = nullptr;
    m_editor->onExit = nullptr;
    m_editor.reset();
    setItemDelegate(nullptr);
    setModel(nullptr);
}

void TVTList::setItemCount(int count) {
    m_model->setRows(count);
}

int TVTList::itemCount() const {
    return m_model->rowTotal();
}

void TVTList::setColumnCount(int count) {
    m_model->setColumns(count);
}

int TVTList::columnCount() const {
    return m_model->columnCount();
}

void TVTList::addColumn(const std::string& caption, int width) {
    const int col = columnCount();
    m_model->setColumns(col + 1);
    m_model->setCaption(col, caption);
    setColumnWidth(col, width);
}

void TVTList::setColumnCaption(int col, const std::string& caption) {
    m_model->setCaption(col, caption);
}

std::string TVTList::columnCaption(int col) const {
    return m_model->caption(col);
}

void TVTList::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    Invalidate();
}

QColor TVTList::color() const {
    return palette().color(QPalette::Base);
}

void TVTList::setFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
    Invalidate();
}

QColor TVTList::fontColor() const {
    return palette().color(QPalette::Text);
}

void TVTList::Invalidate() {
    viewport()->update();
}

QLineEdit* TVTList::editor() const {
    return m_editor.get();
}

std::string TVTList::cellText(int row, int col) {
    std::string text;
    if (OnCellGetData) {
        OnCellGetData(this, row, col, text);
    }
    return text;
}

bool TVTList::clickableColumn(int col) const {
    if (ColumnProperties == nullptr) {
        return false;
    }
    const TColumnProp* prop = ColumnProperties->get(col);
    return prop != nullptr && prop->clickable;
}

bool TVTList::isOkToEdit() const {
    if (ColumnProperties == nullptr) {
        return false;
    }
    const TColumnProp* prop = ColumnProperties->get(m_currentColumn);
    return prop != nullptr && prop->editable;
}

int TVTList::getColumnX(int col) const {
    int x = 0;
    for (int c = 0; c < std::min(col, columnCount()); ++c) {
        x += columnWidth(c);
    }
    return x;
}

bool TVTList::getColumnRect(int item, int col, QRect& rect) const {
    if (col < 0 || col >= columnCount() || item < 0 || item >= itemCount()) {
        return false;
    }
    rect = QRect(columnViewportPosition(col), rowViewportPosition(item), columnWidth(col),
                 rowHeight(item));
    return true;
}

int TVTList::getColumnAt(int item, int x, int y) const {
    for (int col = 0; col < columnCount(); ++col) {
        QRect rect;
        if (getColumnRect(item, col, rect) && rect.contains(x, y)) {
            return col;
        }
    }
    return -1;
}

QColor TVTList::getBrushColor(int col) const {
    if (ColumnProperties != nullptr) {
        if (const TColumnProp* prop = ColumnProperties->get(col)) {
            return toQColor(prop->brushColor);
        }
    }
    return color();
}

QColor TVTList::getFontColor(int col) const {
    if (ColumnProperties != nullptr) {
        if (const TColumnProp* prop = ColumnProperties->get(col)) {
            return toQColor(prop->fontColor);
        }
    }
    return fontColor();
}

TVTList::TCellStyle TVTList::cellStyle(int row, int col) const {
    TCellStyle style;
    if (isSelected(row, col) && !m_editing && hasFocus()) {
        style.background = palette().color(QPalette::Highlight);
        style.text = palette().color(QPalette::HighlightedText);
        return style;
    }
    style.bold = row < RowsToHighLight && col == 0;
    style.text = getFontColor(col);
    style.background = getBrushColor(col);
    if (OnCellStyle) {
        OnCellStyle(const_cast<TVTList*>(this), row, col, style);
    }
    return style;
}

QRect TVTList::selection() const {
    if (m_currentRow < 0 || m_currentColumn < 0) {
        return {};
    }
    const int anchorRow = m_anchorRow < 0 ? m_currentRow : m_anchorRow;
    const int anchorColumn = m_anchorColumn < 0 ? m_currentColumn : m_anchorColumn;
    return QRect(
        QPoint(std::min(anchorColumn, m_currentColumn), std::min(anchorRow, m_currentRow)),
        QPoint(std::max(anchorColumn, m_currentColumn), std::max(anchorRow, m_currentRow)));
}

bool TVTList::isSelected(int row, int col) const {
    return selection().contains(col, row);
}

void TVTList::setSelection(int anchorRow, int anchorCol, int row, int col) {
    const auto inside = [this](int r, int c) {
        return r >= 0 && r < itemCount() && c >= 0 && c < columnCount();
    };
    if (!inside(anchorRow, anchorCol) || !inside(row, col)) {
        return;
    }
    m_currentRow = row;
    m_currentColumn = col;
    m_anchorRow = anchorRow;
    m_anchorColumn = anchorCol;
    scrollTo(m_model->index(row, col));
    Invalidate();
}

void TVTList::beginEditing() {
    if (m_editing) {
        return;
    }
    if (m_currentRow != -1 && m_currentColumn != -1 && clickableColumn(m_currentColumn)) {
        if (OnCellClicked) {
            OnCellClicked(this, m_currentRow, m_currentColumn);
        }
        return;
    }
    QRect cell;
    if (!getColumnRect(m_currentRow, m_currentColumn, cell)) {
        return;
    }
    scrollTo(m_model->index(m_currentRow, m_currentColumn));
    getColumnRect(m_currentRow, m_currentColumn, cell);
    m_editor->setGeometry(cell.left(), cell.top(), cell.width(), cell.height() + 4);

    const TColumnProp* prop =
        ColumnProperties != nullptr ? ColumnProperties->get(m_currentColumn) : nullptr;
    m_editor->start(toQString(cellText(m_currentRow, m_currentColumn)),
                    prop != nullptr && prop->maxLength > 0 ? prop->maxLength : kNoLimit);
    m_editor->setReadOnly(!isOkToEdit());
    QPalette p = m_editor->palette();
    p.setColor(QPalette::Base, getBrushColor(m_currentColumn));
    m_editor->setPalette(p);
    m_editing = true;
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
    Invalidate();
}

void TVTList::endEditing() {
    if (!m_editing) {
        return;
    }
    // Leave the editing state first: the owner's handler may move the focus, which must not
    // end the same edit a second time.
    m_editing = false;
    const std::string text = fromQString(m_editor->text());
    if (OnCellSetData) {
        OnCellSetData(this, m_currentRow, m_currentColumn, text);
    }
    // Only an edit ended from the box itself (Enter) hands the focus back; when the user has
    // moved on to another control, the focus stays there.
    const bool hadFocus = m_editor->hasFocus();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    m_editor->hide();
    Invalidate();
}

void TVTList::cancelEditing() {
    if (!m_editing) {
        return;
    }
    m_editing = false;
    if (m_editor->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    m_editor->hide();
    Invalidate();
}

void TVTList::editorExit() {
    if (m_editing) {
        endEditing();
    }
}

void TVTList::mousePressEvent(QMouseEvent* event) {
    // Taking the focus first ends an open edit on the cell it belongs to.
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const int item = rowAt(pos.y());
    if (item < 0) {
        m_currentRow = -1;
        m_currentColumn = -1;
        m_anchorRow = -1;
        m_anchorColumn = -1;
        Invalidate();
        return;
    }
    const bool extend =
        (event->modifiers() & Qt::ShiftModifier) && m_currentRow >= 0 && m_currentColumn >= 0;
    if (extend && m_anchorRow < 0) {
        m_anchorRow = m_currentRow;
        m_anchorColumn = m_currentColumn;
    }
    m_currentRow = item;
    m_currentColumn = getColumnAt(item, pos.x(), pos.y());
    if (!extend || m_currentColumn < 0) {
        m_anchorRow = m_currentRow;
        m_anchorColumn = m_currentColumn;
    }
    m_pressedRow = m_currentRow;
    m_pressedColumn = m_currentColumn;
    if (extend) {
        // Shift and a press only selects; it toggles no mark.
        Invalidate();
        return;
    }
    if (m_currentColumn != -1 && clickableColumn(m_currentColumn) && OnCellClicked) {
        OnCellClicked(this, m_currentRow, m_currentColumn);
    }
    Invalidate();
}

void TVTList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int item = rowAt(pos.y());
    const int col = item < 0 ? -1 : getColumnAt(item, pos.x(), pos.y());
    // A window system delivers a double-click as a press, a release and then the double-click
    // in place of the second press. The press has toggled a mark already; toggling again here
    // would undo it, so a double-click on a mark toggles it once, like a click.
    const bool pressedHere = item == m_pressedRow && col == m_pressedColumn;
    m_pressedRow = -1;
    m_pressedColumn = -1;
    m_currentRow = item;
    m_currentColumn = col;
    m_anchorRow = item;
    m_anchorColumn = col;
    if (!(pressedHere && col != -1 && clickableColumn(col))) {
        beginEditing();
    }
    Invalidate();
}

void TVTList::setCurrentCell(int row, int col) {
    if (row < 0 || row >= itemCount() || col < 0 || col >= columnCount()) {
        return;
    }
    m_currentRow = row;
    m_currentColumn = col;
    m_anchorRow = row;
    m_anchorColumn = col;
    scrollTo(m_model->index(row, col));
    Invalidate();
}

void TVTList::keyPressEvent(QKeyEvent* event) {
    const bool moving = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                        event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const bool extend = moving && (event->modifiers() & Qt::ShiftModifier);
    if (extend && m_anchorRow < 0 && m_currentRow >= 0 && m_currentColumn >= 0) {
        m_anchorRow = m_currentRow;
        m_anchorColumn = m_currentColumn;
    }
    switch (event->key()) {
        case Qt::Key_Left:
            --m_currentColumn;
            break;
        case Qt::Key_Right:
            ++m_currentColumn;
            break;
        case Qt::Key_Up:
            --m_currentRow;
            break;
        case Qt::Key_Down:
            ++m_currentRow;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            beginEditing();
            break;
        default:
            event->ignore();
            break;
    }
    m_currentColumn = std::min(std::max(m_currentColumn, 0), columnCount() - 1);
    m_currentRow = std::min(std::max(m_currentRow, 0), itemCount() - 1);
    if ((moving && !extend) || m_anchorRow >= itemCount() || m_anchorColumn >= columnCount()) {
        m_anchorRow = m_currentRow;
        m_anchorColumn = m_currentColumn;
    }
    if (event->isAccepted() && m_currentRow >= 0 && m_currentColumn >= 0) {
        scrollTo(m_model->index(m_currentRow, m_currentColumn));
    }
    Invalidate();
}

void TVTList::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    Invalidate();
}

void TVTList::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    Invalidate();
}
