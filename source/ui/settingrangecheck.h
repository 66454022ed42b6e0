#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "model/configurationmodel.h"

class CAppLanguage;
class QLabel;
class QLineEdit;

// Refuses a typed setting value the unit cannot take (a delay of 300) visibly instead of
// putting the old value back without a word: while the field holds such a text it is drawn
// red and a message line names the setting, the reason and the text. The window then leaves
// the presenter's value as it was and Write refuses to start until the field is corrected.
// Texts the window or a unit read puts in are checked as typed ones are.
class TSettingRangeCheck : public QObject {
    Q_OBJECT
public:
    // `message` is the line that tells; it is hidden while nothing is refused.
    TSettingRangeCheck(QObject* parent, QLabel* message, const CAppLanguage& language);

    // Watches `field`, whose text `accepts` judges; `where` is the refused value Write would
    // report for it (its phonebook position), which also names it in the message.
    void Watch(QLineEdit* field, std::function<bool(const QString&)> accepts, CInvalidValue where);

    bool IsRefused(const QLineEdit* field) const;
    // The refused fields' values in the order they were watched, for Write's message.
    std::vector<CInvalidValue> Refused() const;
    // The field of a refused value, or null.
    QLineEdit* FieldOf(const CInvalidValue& value) const;
    // Checks every field again (after a language switch the message is in the new words).
    void Recheck();

    // 0 to 254, as the unit stores a time; an empty field is taken as "not typed".
    static bool IsTime(const QString& text);

private:
    struct CWatched {
        QPointer<QLineEdit> field;
        std::function<bool(const QString&)> accepts;
        CInvalidValue where;
        QPalette plain;
        bool refused = false;
    };
    void Check(CWatched& watched);
    void ShowMessage();

    QPointer<QLabel> message;
    const CAppLanguage& language;
    std::vector<CWatched> fields;
};
