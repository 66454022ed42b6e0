#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class CAppLanguage;
class QContextMenuEvent;
class QHelpEvent;
class QKeyEvent;
class TVTList;

// Makes a grid edit like a spreadsheet. On a selected cell of an editable column, typing
// starts the edit with the typed character, F2 edits with the cursor at the end, Enter edits
// with the text selected; in the edit box Escape cancels (the cell keeps what it held) and
// Enter keeps what was typed. Delete clears the selected editable cells, Ctrl+C copies the
// selected cells as tab-separated lines, Ctrl+X cuts them, Ctrl+V pastes such a block from the
// selected cell on (one value into every selected cell), Ctrl+A selects every cell; Space
// toggles a mark. Tab and Shift+Tab move to the next and the previous editable cell, also out
// of an edit, and on to the next control after the last one. A cell whose text is wider than
// its column shows it whole in its tooltip, and a right click offers the edit actions.
//
// Every change goes through the grid's OnCellSetData, exactly as typing it would (a pasted
// access number gets its Write mark). Read-only columns are never changed; a pasted text is
// cut to its column's limit as typing would be. The keyboard is the grid's child.
class TGridKeyboard : public QObject {
    Q_OBJECT
public:
    // `language` gives the context menu its words; without it the menu is in English.
    TGridKeyboard(TVTList* grid, const CAppLanguage* language);

    // After the keyboard itself changed cells (a paste, Delete, Cut): once per action.
    std::function<void(TVTList*)> OnEdited;
    // The grid's "copy current values to new"; the context menu offers it while it is set.
    std::function<void(TVTList*)> OnCopyCurrentToNew;

    // The selected cells as the clipboard gets them: cells separated by tabs, rows by line
    // breaks (UTF-8 text of the grid's Windows-1252 cells).
    QString SelectedText() const;
    void Copy() const;
    // Pastes tab-separated lines from the selected cell on; a single value fills every
    // selected editable cell. The pasted block is selected afterwards.
    void Paste(const QString& text);
    // Empties the selected cells of the editable columns.
    void ClearSelection();
    // Moves the current cell to the next (or previous) editable cell; false when there is
    // none, the current cell then staying where it is.
    bool MoveToEditable(bool forward);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool GridKey(QKeyEvent& event);
    bool EditorKey(QKeyEvent& event);
    bool ShowToolTip(QHelpEvent& event);
    void ShowContextMenu(QContextMenuEvent& event);
    void FocusEntered(bool forward);
    bool IsEditable(int col) const;
    bool IsClickable(int col) const;
    // True when the cell took a new text.
    bool SetCell(int row, int col, const std::string& text);
    void Edited();
    QString Text(const char* key, const char* english) const;

    TVTList* grid;
    // Kept from the start: while the grid is being destroyed its children still send events
    // here, and the grid can no longer be asked for them.
    QObject* const gridViewport;
    QObject* const gridEditor;
    const CAppLanguage* language;
};
