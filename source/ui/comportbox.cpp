#include "ui/comportbox.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// The list shows "name  description"; the edit field and the stored choice keep the name.
class TPortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString description = index.data(TComPortBox::kDescriptionRole).toString();
        if (!description.isEmpty()) {
            option->text += QStringLiteral("  \u2013  ") + description;
        }
    }
};

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TComPortBox::TComPortBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // A typed name is a choice, not a new list entry.
    setInsertPolicy(QComboBox::NoInsert);
    setItemDelegate(new TPortItemDelegate(this));
}

void TComPortBox::showPopup() {
    if (OnDropDown) {
        OnDropDown();
    }
    // Wide enough for the descriptions, which the edit field does not show.
    int widest = width();
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(ShownText(i)) + 40);
    }
    view()->setMinimumWidth(widest);
    QComboBox::showPopup();
}

void TComPortBox::DescribeItems(const std::vector<CPortInfo>& known) {
    for (int i = 0; i < count(); ++i) {
        const QString name = itemText(i);
        for (const CPortInfo& port : known) {
            if (name != Utf8(port.name) && name != QStringLiteral("/dev/") + Utf8(port.name) &&
                name != Utf8(port.byId)) {
                continue;
            }
            QString description = Utf8(DescribePort(port));
            setItemData(i, description, kDescriptionRole);
            if (!port.byId.empty()) {
                description +=
                    (description.isEmpty() ? QString() : QStringLiteral("\n")) + Utf8(port.byId);
            }
            setItemData(i, description, Qt::ToolTipRole);
            break;
        }
    }
}

void TComPortBox::AddNote(int index, const QString& note) {
    const QString description = itemData(index, kDescriptionRole).toString();
    setItemData(index, description.isEmpty() ? note : description + QStringLiteral(", ") + note,
                kDescriptionRole);
}

QString TComPortBox::ShownText(int index) const {
    const QString description = itemData(index, kDescriptionRole).toString();
    return description.isEmpty() ? itemText(index)
                                 : itemText(index) + QStringLiteral("  \u2013  ") + description;
}
