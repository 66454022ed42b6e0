#include "ui/formcontrols.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "core/win1252.h"

QString Text(const std::string& win1252) {
    return QString::fromStdString(Win1252ToUtf8(win1252));
}

std::string Win1252(const QString& text) {
    return Utf8ToWin1252(text.toStdString());
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
    return Named(new QLabel(QString::fromLatin1(caption), parent), name);
}

QLineEdit* MakeCurrentEdit(QWidget* parent, const std::string& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromStdString(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    return edit;
}

QComboBox* MakeNewCombo(QWidget* parent, const char* name, const QStringList& items,
                        bool editable) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->setEditable(editable);
    combo->addItems(items);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return combo;
}

void MakeWrapping(QLabel* label) {
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}
