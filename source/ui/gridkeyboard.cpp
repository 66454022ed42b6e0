#include "ui/gridkeyboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QToolTip>
#include <algorithm>

#include "columnprop.h"
#include "core/win1252.h"
#include "ui/langcontroller.h"
#include "vtlist.h"

namespace {

QString Widget(const std::string& win1252) {
    return QString::fromStdString(Win1252ToUtf8(win1252));
}

std::string Core(const QString& text) {
    return Utf8ToWin1252(text.toStdString());
}

// A key that types a character: text without a command modifier.
bool IsTyping(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

TGridKeyboard::TGridKeyboard(TVTList* grid, const CAppLanguage* language)
    : QObject(grid),
      grid(grid),
      gridViewport(grid->viewport()),
      gridEditor(grid->editor()),
      language(language) {
    setObjectName(QStringLiteral("GridKeyboard"));
    grid->installEventFilter(this);
    gridViewport->installEventFilter(this);
    gridEditor->installEventFilter(this);
}

QString TGridKeyboard::Text(const char* key, const char* english) const {
    return language != nullptr ? LanguageText(*language, key) : QString::fromLatin1(english);
}

bool TGridKeyboard::IsEditable(int col) const {
    const TColumnProp* prop =
        grid->ColumnProperties != nullptr ? grid->ColumnProperties->get(col) : nullptr;
    return prop != nullptr && prop->editable;
}

bool TGridKeyboard::IsClickable(int col) const {
    const TColumnProp* prop =
        grid->ColumnProperties != nullptr ? grid->ColumnProperties->get(col) : nullptr;
    return prop != nullptr && prop->clickable;
}

bool TGridKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid) {
        switch (event->type()) {
            case QEvent::KeyPress:
                return GridKey(*static_cast<QKeyEvent*>(event));
            case QEvent::ShortcutOverride: {
                // The grid's own keys win over the window's shortcuts while it has the focus.
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
                    key->matches(QKeySequence::Cut) || key->matches(QKeySequence::SelectAll) ||
                    key->key() == Qt::Key_Delete || key->key() == Qt::Key_F2) {
                    event->accept();
                    return true;
                }
                break;
            }
            case QEvent::FocusIn: {
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
                    FocusEntered(reason == Qt::TabFocusReason);
                }
                break;
            }
            default:
                break;
        }
        return false;
    }
    if (watched == gridEditor && event->type() == QEvent::KeyPress) {
        return EditorKey(*static_cast<QKeyEvent*>(event));
    }
    if (watched == gridViewport) {
        if (event->type() == QEvent::ToolTip) {
            return ShowToolTip(*static_cast<QHelpEvent*>(event));
        }
        if (event->type() == QEvent::ContextMenu) {
            ShowContextMenu(*static_cast<QContextMenuEvent*>(event));
            return true;
        }
    }
    return false;
}

bool TGridKeyboard::GridKey(QKeyEvent& event) {
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    const bool onCell =
        row >= 0 && col >= 0 && row < grid->itemCount() && col < grid->columnCount();
    if (event.matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    if (event.matches(QKeySequence::Cut)) {
        Copy();
        ClearSelection();
        return true;
    }
    if (event.matches(QKeySequence::Paste)) {
        Paste(QApplication::clipboard()->text());
        return true;
    }
    if (event.matches(QKeySequence::SelectAll)) {
        if (grid->itemCount() > 0 && grid->columnCount() > 0) {
            grid->setSelection(0, 0, grid->itemCount() - 1, grid->columnCount() - 1);
        }
        return true;
    }
    switch (event.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            // Shift+Tab arrives as Backtab; the focus leaves the grid after its last cell.
            const bool forward =
                event.key() == Qt::Key_Tab && !(event.modifiers() & Qt::ShiftModifier);
            return MoveToEditable(forward);
        }
        case Qt::Key_Delete:
            ClearSelection();
            return true;
        case Qt::Key_F2:
            if (onCell) {
                grid->beginEditing();
                if (grid->isEditing()) {
                    grid->editor()->deselect();
                    grid->editor()->end(false);
                }
            }
            return true;
        case Qt::Key_Backspace:
            if (onCell && IsEditable(col)) {
                grid->beginEditing();
                if (grid->isEditing()) {
                    grid->editor()->clear();
                }
            }
            return true;
        case Qt::Key_Space:
            if (onCell && IsClickable(col) && event.modifiers() == Qt::NoModifier) {
                // A mark toggles as a click on it would.
                grid->beginEditing();
                return true;
            }
            break;
        default:
            break;
    }
    if (IsTyping(event)) {
        if (onCell && IsEditable(col)) {
            grid->beginEditing();
            if (grid->isEditing()) {
                // The edit box opens with its text selected: the typed character replaces it.
                QApplication::sendEvent(grid->editor(), &event);
            }
        }
        // A read-only cell takes no typing; it does not travel on to the window either.
        return true;
    }
    return false;
}

bool TGridKeyboard::EditorKey(QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
            grid->cancelEditing();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            grid->endEditing();
            grid->setFocus(Qt::OtherFocusReason);
            const bool forward =
                event.key() == Qt::Key_Tab && !(event.modifiers() & Qt::ShiftModifier);
            if (!MoveToEditable(forward)) {
                // The last cell: the focus goes on to the next control as from the grid.
                QKeyEvent again(QEvent::KeyPress, event.key(), event.modifiers());
                QApplication::sendEvent(grid, &again);
            }
            return true;
        }
        default:
            return false;
    }
}

bool TGridKeyboard::MoveToEditable(bool forward) {
    const int columns = grid->columnCount();
    const int rows = grid->itemCount();
    if (columns <= 0 || rows <= 0) {
        return false;
    }
    int row = grid->currentRow();
    int col = grid->currentColumn();
    if (row < 0 || col < 0) {
        // From before the first cell, or after the last.
        row = forward ? 0 : rows - 1;
        col = forward ? -1 : columns;
    }
    for (;;) {
        col += forward ? 1 : -1;
        if (col >= columns) {
            col = 0;
            ++row;
        } else if (col < 0) {
            col = columns - 1;
            --row;
        }
        if (row < 0 || row >= rows) {
            return false;
        }
        if (IsEditable(col)) {
            grid->setCurrentCell(row, col);
            return true;
        }
    }
}

void TGridKeyboard::FocusEntered(bool forward) {
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    if (row >= 0 && col >= 0 && IsEditable(col)) {
        return;
    }
    // Tabbing in lands on the first editable cell, tabbing back in on the last.
    const int rows = grid->itemCount();
    const int columns = grid->columnCount();
    for (int i = 0; i < rows * columns; ++i) {
        const int index = forward ? i : rows * columns - 1 - i;
        if (IsEditable(index % columns)) {
            grid->setCurrentCell(index / columns, index % columns);
            return;
        }
    }
}

QString TGridKeyboard::SelectedText() const {
    const QRect block = grid->selection();
    QStringList lines;
    for (int row = block.top(); row <= block.bottom() && !block.isEmpty(); ++row) {
        QStringList cells;
        for (int col = block.left(); col <= block.right(); ++col) {
            cells << Widget(grid->cellText(row, col));
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void TGridKeyboard::Copy() const {
    if (!grid->selection().isEmpty()) {
        QApplication::clipboard()->setText(SelectedText());
    }
}

bool TGridKeyboard::SetCell(int row, int col, const std::string& text) {
    if (!IsEditable(col) || !grid->OnCellSetData) {
        return false;
    }
    std::string value = text;
    const TColumnProp* prop = grid->ColumnProperties->get(col);
    if (prop->maxLength > 0 && value.size() > static_cast<std::size_t>(prop->maxLength)) {
        value.resize(static_cast<std::size_t>(prop->maxLength));
    }
    if (grid->cellText(row, col) == value) {
        return false;
    }
    grid->OnCellSetData(grid, row, col, value);
    return true;
}

void TGridKeyboard::Edited() {
    grid->Invalidate();
    if (OnEdited) {
        OnEdited(grid);
    }
}

void TGridKeyboard::ClearSelection() {
    if (grid->isEditing()) {
        return;
    }
    const QRect block = grid->selection();
    bool changed = false;
    for (int row = block.top(); row <= block.bottom() && !block.isEmpty(); ++row) {
        for (int col = block.left(); col <= block.right(); ++col) {
            changed = SetCell(row, col, std::string()) || changed;
        }
    }
    if (changed) {
        Edited();
    }
}

void TGridKeyboard::Paste(const QString& clipboard) {
    QRect block = grid->selection();
    if (block.isEmpty() || grid->isEditing()) {
        return;
    }
    QString text = clipboard;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    std::vector<QStringList> cells;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        cells.push_back(line.split(QLatin1Char('\t')));
    }
    bool changed = false;
    if (cells.size() == 1 && cells.front().size() == 1 && block.width() * block.height() > 1) {
        // One value into every selected cell, as a spreadsheet fills a selection.
        const std::string value = Core(cells.front().front().trimmed());
        for (int row = block.top(); row <= block.bottom(); ++row) {
            for (int col = block.left(); col <= block.right(); ++col) {
                changed = SetCell(row, col, value) || changed;
            }
        }
    } else {
        const int top = block.top();
        const int left = block.left();
        int lastRow = top;
        int lastCol = left;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int row = top + static_cast<int>(i);
            if (row >= grid->itemCount()) {
                break;
            }
            lastRow = row;
            for (qsizetype j = 0; j < cells[i].size(); ++j) {
                const int col = left + static_cast<int>(j);
                if (col >= grid->columnCount()) {
                    break;
                }
                lastCol = std::max(lastCol, col);
                changed = SetCell(row, col, Core(cells[i][j].trimmed())) || changed;
            }
        }
        // The block stays selected, its first cell the current one.
        grid->setSelection(lastRow, lastCol, top, left);
    }
    if (changed) {
        Edited();
    }
}

bool TGridKeyboard::ShowToolTip(QHelpEvent& event) {
    const QPoint at = event.pos();
    const int row = grid->rowAt(at.y());
    const int col = row < 0 ? -1 : grid->getColumnAt(row, at.x(), at.y());
    QRect cell;
    if (col < 0 || !grid->getColumnRect(row, col, cell)) {
        QToolTip::hideText();
        return true;
    }
    const QString text = Widget(grid->cellText(row, col));
    if (text.isEmpty() || grid->fontMetrics().horizontalAdvance(text) <= cell.width() - 6) {
        QToolTip::hideText();
        return true;
    }
    // Rich text, so a long alarm text wraps in the tooltip instead of running off the screen.
    QToolTip::showText(event.globalPos(),
                       QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"),
                       grid->viewport(), cell);
    return true;
}

void TGridKeyboard::ShowContextMenu(QContextMenuEvent& event) {
    if (grid->isEditing()) {
        grid->endEditing();
    }
    const QPoint at = event.pos();
    const int row = grid->rowAt(at.y());
    const int col = row < 0 ? -1 : grid->getColumnAt(row, at.x(), at.y());
    if (row >= 0 && col >= 0 && !grid->isSelected(row, col)) {
        grid->setCurrentCell(row, col);
    }
    grid->setFocus(Qt::PopupFocusReason);
    QMenu menu(grid);
    menu.setObjectName(QStringLiteral("GridContextMenu"));
    // The shortcuts are shown, not bound: the keys reach the grid itself.
    QAction* copy = menu.addAction(Text("COPY", "&Copy"), [this] { Copy(); });
    copy->setShortcut(QKeySequence::Copy);
    QAction* paste = menu.addAction(Text("PASTE", "&Paste"),
                                    [this] { Paste(QApplication::clipboard()->text()); });
    paste->setShortcut(QKeySequence::Paste);
    QAction* clear = menu.addAction(Text("CLEAR_CELLS", "C&lear"), [this] { ClearSelection(); });
    clear->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction* action : {copy, paste, clear}) {
        action->setShortcutVisibleInContextMenu(true);
    }
    const bool anySelected = !grid->selection().isEmpty();
    copy->setEnabled(anySelected);
    paste->setEnabled(anySelected && !QApplication::clipboard()->text().isEmpty());
    clear->setEnabled(anySelected);
    if (OnCopyCurrentToNew) {
        menu.addSeparator();
        QAction* copyCurrent =
            menu.addAction(Text("COPY_CURRENT_TO_NEW", "Copy Current &Values to New"), [this] {
                OnCopyCurrentToNew(grid);
                Edited();
            });
        copyCurrent->setObjectName(QStringLiteral("CopyCurrentToNewAction"));
    }
    menu.exec(event.globalPos());
}
