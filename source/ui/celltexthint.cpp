#include "ui/celltexthint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextCharFormat>

#include "core/win1252.h"
#include "model/configurationmodel.h"
#include "ui/langcontroller.h"
#include "vtlist.h"

namespace {

// One character of `text` from `index` on: one QChar, or a surrogate pair.
int CharacterLength(const QString& text, int index) {
    return text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                   text.at(index + 1).isLowSurrogate()
               ? 2
               : 1;
}

bool IsStorable(const QString& character) {
    // A character without a Windows-1252 byte becomes DEL here, which the module cannot store.
    const std::string bytes = Utf8ToWin1252(character.toStdString(), '\x7F');
    return bytes.size() == 1 && IsStorableTextByte(bytes.front());
}

}  // namespace

TCellTextHint::TCellTextHint(TVTList* grid, int column, int limit, const CAppLanguage* language)
    : QObject(grid),
      grid(grid),
      gridEditor(grid->editor()),
      column(column),
      limit(limit),
      language(language),
      note(new QLabel(grid->window())) {
    setObjectName(QStringLiteral("CellTextHint"));
    note->setObjectName(QStringLiteral("CellTextHintNote"));
    note->setAutoFillBackground(true);
    note->setFrameShape(QFrame::Box);
    note->setMargin(2);
    QPalette colours = note->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    note->setPalette(colours);
    note->hide();
    grid->editor()->installEventFilter(this);
    connect(grid->editor(), &QLineEdit::textChanged, this, [this] { Update(); });
}

QString TCellTextHint::UnstorableCharacters(const QString& text) {
    QString found;
    for (const auto& [index, length] : UnstorablePositions(text)) {
        const QString character = text.mid(index, length);
        if (!found.contains(character)) {
            found += character;
        }
    }
    return found;
}

std::vector<std::pair<int, int>> TCellTextHint::UnstorablePositions(const QString& text) {
    std::vector<std::pair<int, int>> positions;
    for (int i = 0; i < text.size();) {
        const int length = CharacterLength(text, i);
        if (!IsStorable(text.mid(i, length))) {
            positions.emplace_back(i, length);
        }
        i += length;
    }
    return positions;
}

bool TCellTextHint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == gridEditor) {
        if (event->type() == QEvent::Show || event->type() == QEvent::Move ||
            event->type() == QEvent::Resize) {
            Update();
        } else if (event->type() == QEvent::Hide) {
            note->hide();
        }
    }
    return false;
}

void TCellTextHint::Update() {
    QLineEdit* editor = grid->editor();
    if (!editor->isVisible() || !grid->isEditing() || grid->currentColumn() != column) {
        note->hide();
        return;
    }
    const QString text = editor->text();
    const int used = static_cast<int>(Utf8ToWin1252(text.toStdString()).size());
    QString shown = QString::number(used) + QLatin1Char('/') + QString::number(limit);
    const QString unstorable = UnstorableCharacters(text);
    if (!unstorable.isEmpty()) {
        QStringList listed;
        for (int i = 0; i < unstorable.size(); i += CharacterLength(unstorable, i)) {
            const QString character = unstorable.mid(i, CharacterLength(unstorable, i));
            // A control character is named by its code, since it shows as nothing.
            listed << (character.at(0).isPrint()
                           ? character
                           : QStringLiteral("U+%1").arg(character.at(0).unicode(), 4, 16,
                                                        QLatin1Char('0')));
        }
        const QString cannot = language != nullptr ? LanguageText(*language, "CANNOT_BE_STORED")
                                                   : QStringLiteral("cannot be stored:");
        shown += QStringLiteral("  ") + cannot + QLatin1Char(' ') + listed.join(QLatin1Char(' '));
    }
    note->setText(shown);
    QPalette colours = note->palette();
    const bool refused = !unstorable.isEmpty() || used > limit;
    colours.setColor(QPalette::WindowText,
                     refused ? QColor(0xC0, 0x00, 0x00) : colours.color(QPalette::ToolTipText));
    note->setPalette(colours);
    note->adjustSize();
    Place();
    note->show();
    note->raise();
    MarkCharacters(text);
}

void TCellTextHint::Place() {
    QLineEdit* editor = grid->editor();
    QWidget* window = note->parentWidget();
    const QPoint below =
        editor->mapTo(window, QPoint(editor->width() - note->width(), editor->height()));
    QPoint at = below;
    if (at.y() + note->height() > window->height()) {
        at.setY(editor->mapTo(window, QPoint(0, 0)).y() - note->height());
    }
    at.setX(std::max(at.x(), editor->mapTo(window, QPoint(0, 0)).x()));
    note->move(at);
}

void TCellTextHint::MarkCharacters(const QString& text) {
    QLineEdit* editor = grid->editor();
    if (editor->isReadOnly()) {
        return;
    }
    // The edit box shows formats that an input method hands it; positions count from the
    // cursor. An empty list takes earlier marks away.
    QList<QInputMethodEvent::Attribute> marks;
    QTextCharFormat red;
    red.setForeground(QColor(0xC0, 0x00, 0x00));
    red.setBackground(QColor(0xFF, 0xD0, 0xD0));
    red.setFontUnderline(true);
    for (const auto& [index, length] : UnstorablePositions(text)) {
        marks << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat,
                                              index - editor->cursorPosition(), length, red);
    }
    QInputMethodEvent formats(QString(), marks);
    QCoreApplication::sendEvent(editor, &formats);
}
