#pragma once

#include <QComboBox>
#include <QString>
#include <functional>
#include <vector>

#include "seriallink/portinfo.h"

// The editable serial-port box: its owner refills the list whenever it is about to drop down,
// so a port plugged in after start-up can be chosen without restarting. Each entry's text is
// the port's name, which is what is stored and opened; the list also shows what is known of
// the adapter behind it (maker, product, serial number, what Find Unit found), so that the
// programming cable can be told from other adapters.
class TComPortBox : public QComboBox {
    Q_OBJECT
public:
    // The role holding an entry's description, shown after its name in the list.
    static constexpr int kDescriptionRole = Qt::UserRole + 1;

    explicit TComPortBox(QWidget* parent = nullptr);

    // Runs before the list opens; optional.
    std::function<void()> OnDropDown;

    void showPopup() override;

    // Describes each entry that `known` names, by device name or by-id path.
    void DescribeItems(const std::vector<CPortInfo>& known);
    // Appends `note` to the entry's description ("unit found: SIEMENS MC35i").
    void AddNote(int index, const QString& note);
    // The entry's text with its description, as the list shows it.
    QString ShownText(int index) const;
};
