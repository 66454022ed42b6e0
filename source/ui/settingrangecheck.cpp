#include "ui/settingrangecheck.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "core/win1252.h"
#include "model/guihelper.h"
#include "operations/invalidvaluetext.h"

TSettingRangeCheck::TSettingRangeCheck(QObject* parent, QLabel* message,
                                       const CAppLanguage& language)
    : QObject(parent), message(message), language(language) {
    setObjectName(QStringLiteral("SettingRangeCheck"));
    if (message != nullptr) {
        message->hide();
    }
}

bool TSettingRangeCheck::IsTime(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return true;
    }
    const int32_t value = ParseSettingValue(Utf8ToWin1252(text.toStdString()));
    return value >= 0 && value <= 254;
}

void TSettingRangeCheck::Watch(QLineEdit* field, std::function<bool(const QString&)> accepts,
                               CInvalidValue where) {
    fields.push_back(CWatched{field, std::move(accepts), where, field->palette(), false});
    const std::size_t index = fields.size() - 1;
    connect(field, &QLineEdit::textChanged, this, [this, index] {
        Check(fields[index]);
        ShowMessage();
    });
}

void TSettingRangeCheck::Check(CWatched& watched) {
    if (!watched.field) {
        return;
    }
    const bool refused = !watched.accepts(watched.field->text());
    if (refused == watched.refused) {
        return;
    }
    watched.refused = refused;
    QPalette colours = watched.plain;
    if (refused) {
        colours.setColor(QPalette::Base, QColor(0xFF, 0xC0, 0xC0));
        colours.setColor(QPalette::Text, QColor(0x90, 0x00, 0x00));
    }
    watched.field->setPalette(colours);
    watched.field->setProperty("refused", refused);
}

void TSettingRangeCheck::Recheck() {
    for (CWatched& watched : fields) {
        Check(watched);
    }
    ShowMessage();
}

void TSettingRangeCheck::ShowMessage() {
    if (!message) {
        return;
    }
    QStringList lines;
    for (const CWatched& watched : fields) {
        if (watched.refused && watched.field) {
            lines << QString::fromStdString(
                         Win1252ToUtf8(DescribeInvalidValue(watched.where, language))) +
                         QStringLiteral(": \"") + watched.field->text() + QLatin1Char('"');
        }
    }
    message->setText(lines.join(QLatin1Char('\n')));
    message->setVisible(!lines.isEmpty());
}

bool TSettingRangeCheck::IsRefused(const QLineEdit* field) const {
    for (const CWatched& watched : fields) {
        if (watched.field == field) {
            return watched.refused;
        }
    }
    return false;
}

std::vector<CInvalidValue> TSettingRangeCheck::Refused() const {
    std::vector<CInvalidValue> values;
    for (const CWatched& watched : fields) {
        if (watched.refused && watched.field) {
            values.push_back(watched.where);
        }
    }
    return values;
}

QLineEdit* TSettingRangeCheck::FieldOf(const CInvalidValue& value) const {
    for (const CWatched& watched : fields) {
        if (watched.where.table == value.table && watched.where.row == value.row) {
            return watched.field;
        }
    }
    return nullptr;
}
