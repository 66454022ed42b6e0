#pragma once

#include <QObject>
#include <QString>
#include <vector>

class CAppLanguage;
class QLabel;
class TVTList;

// While a cell of one column of a grid is being edited (the alarm texts), a small note under
// the edit box counts the characters against the column's limit ("57/160") and names the
// characters the unit's module cannot store, which are also marked in red in the edit box
// itself. The note is red while the text could not be written as it stands, and goes with the
// edit box. The hint is the grid's child; the note floats over the grid's window.
class TCellTextHint : public QObject {
    Q_OBJECT
public:
    TCellTextHint(TVTList* grid, int column, int limit, const CAppLanguage* language);

    // The note, for tests: visible only while a cell of the column is edited.
    QLabel* Note() const { return note; }

    // The characters of `text` that the module cannot store, each once, in the order they
    // first appear (characters outside Windows-1252 among them).
    static QString UnstorableCharacters(const QString& text);
    // Where in `text` they are: the index and length of each, in QString units.
    static std::vector<std::pair<int, int>> UnstorablePositions(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();
    void Place();
    void MarkCharacters(const QString& text);

    TVTList* grid;
    // Kept from the start, as the grid cannot be asked for it while it is being destroyed.
    QObject* const gridEditor;
    int column;
    int limit;
    const CAppLanguage* language;
    QLabel* note;
};
