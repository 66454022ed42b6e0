#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>

#include "vtlist.h"

class CAppLanguage;
class CConfigurationModel;
class IGuiHelper;
class QLabel;
class QWidget;

// What a Write would send now, by the sequencer's own rules: the settings whose new value
// differs from the unit's (the call flags counting as one when they differ), the access
// numbers marked for writing, and the alarm messages with a new text, a new number or a
// Delete mark.
struct CPendingChanges {
    int32_t settings = 0;
    int32_t accessNumbers = 0;
    int32_t messages = 0;
    bool operator==(const CPendingChanges&) const = default;
};

// The settings in the window's presenter order (see TMainForm::Presenters).
using TSettingPresenters = std::array<IGuiHelper*, 11>;

CPendingChanges CountPendingChanges(const CConfigurationModel& model,
                                    const TSettingPresenters& presenters);

// Shows what will change: a line above the Write button counts the settings, access numbers
// and messages that Write would send, and every new value that differs from the unit's is
// drawn on a light amber ground, in the grids and in the setting controls. While no unit has
// been read the settings count shows "-" and nothing is marked, since there is nothing to
// differ from. Refresh after anything that may change a value; the display owns nothing.
class TChangeDisplay : public QObject {
    Q_OBJECT
public:
    // `controls` are the settings' new-value controls in presenter order.
    TChangeDisplay(QObject* parent, const CConfigurationModel& model,
                   const TSettingPresenters& presenters, std::array<QWidget*, 11> controls,
                   QLabel* countLabel, const CAppLanguage& language);

    static QColor ChangedColour() { return {0xFF, 0xE6, 0x99}; }

    // A unit has been read: its values are the ones to differ from.
    void SetUnitKnown(bool known);
    bool IsUnitKnown() const { return unitKnown; }
    // Counts again and marks the controls; the grids ask for their cells when they are drawn.
    void Refresh();
    const CPendingChanges& Pending() const { return pending; }
    // The count as the line above Write shows it.
    QString CountText() const;

    // For the grids' OnCellStyle: a new value of the SMS table (row, column) or of the
    // phonebook table that will change the unit.
    void StyleSmsCell(int32_t tableRow, int32_t column, TVTList::TCellStyle& style) const;
    void StyleAccessCell(int32_t tableRow, int32_t column, TVTList::TCellStyle& style) const;
    bool IsChangedSmsCell(int32_t tableRow, int32_t column) const;
    bool IsChangedAccessCell(int32_t tableRow, int32_t column) const;
    bool IsChangedSetting(int slot) const;

private:
    void MarkControl(int slot, bool changed);

    const CConfigurationModel& model;
    const TSettingPresenters& presenters;
    std::array<QPointer<QWidget>, 11> controls;
    std::array<QPalette, 11> plainPalettes;
    std::array<bool, 11> marked{};
    QPointer<QLabel> countLabel;
    const CAppLanguage& language;
    bool unitKnown = false;
    CPendingChanges pending;
};
