#pragma once

#include <QString>
#include <QStringList>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QObject;
class QWidget;

// The few ways the window's parts make their controls and move texts between the unit's
// Windows-1252 and Qt, shared so that every part does it alike.

QString Text(const std::string& win1252);
std::string Win1252(const QString& text);

// Gives a control the name it is known by, so tests and accessibility tools find it.
template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption);

// A read-only edit for a value read from the unit; its sheet makes it as wide as the widest
// value it can show in the current language.
QLineEdit* MakeCurrentEdit(QWidget* parent, const std::string& name);

// A drop-down list as wide as its widest item, in whatever language it shows.
QComboBox* MakeNewCombo(QWidget* parent, const char* name, const QStringList& items, bool editable);

// A label that wraps takes its column's width instead of deciding it.
void MakeWrapping(QLabel* label);
