#pragma once

#include <QWidget>
#include <array>
#include <functional>

class CAppLanguage;
class CConfigurationModel;
class QLabel;
class QScrollArea;
class TVTList;

// The alarm-messages page ("Input Messages"): for each of the six inputs and the external
// power one grid of its four messages (receiver, the unit's text, number and call flag, the new
// ones and the delete mark), one under the other. It owns the grids, their captions, their
// language binding and their wiring to the model's message table.
class TAlarmMessagesSheet : public QWidget {
public:
    explicit TAlarmMessagesSheet(QWidget* parent = nullptr);

    QScrollArea* AlarmInputScrollBox = nullptr;
    std::array<TVTList*, 7> AlarmInputLists{};   // AlarmInputList1 to 7, tags 0 to 6
    std::array<QLabel*, 6> InputLabels{};        // Input1Label to Input6Label
    std::array<QLabel*, 6> InputNumberLabels{};  // "1" to "6"
    QLabel* ExternalPowerLabel = nullptr;

    void AttachLanguage(CAppLanguage& language);
    // Shows `model`'s messages in the grids and takes what is typed or clicked into them: a
    // click on New Call sets the input's one call flag, a click on Delete toggles the mark.
    // `changed` follows every change.
    void WireGrids(CConfigurationModel& model, std::function<void()> changed);
    // "Copy current values to new" of one input: its texts, numbers and call flag.
    static void CopyCurrentToNew(const TVTList& grid, CConfigurationModel& model);

    // The caption column as wide as its widest caption.
    void FitCaptions();
    // The fixed columns as wide as their captions and contents need (the receivers' labels
    // from `model`), the text columns sharing the rest.
    void ShareGridWidths(const CConfigurationModel& model);
    // Selects a message's cell by its row of the message table and scrolls it into view.
    void SelectMessage(int tableRow, int column);
};
