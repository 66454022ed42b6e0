#pragma once

#include <cstdint>

#include "ui/dialogform.h"

class CAppLanguage;
class CAppSettings;
class QGroupBox;
class QPushButton;
class QRadioButton;

// Asks whether a profile is saved from the new or the current values. It preselects the choice
// remembered in the settings and stores the choice again when it is destroyed, also after
// Cancel, so the next save offers what the user last picked.
class TSaveProfileChoiceForm : public TDialogForm {
    Q_OBJECT
public:
    static constexpr int32_t kNewValues = 1;
    static constexpr int32_t kCurrentValues = 2;

    // Neither object is owned; either may be null (no remembered choice, the form's own
    // English texts).
    TSaveProfileChoiceForm(QWidget* owner, CAppSettings* settings, const CAppLanguage* language);
    // Stores the choice. A settings file that cannot be written costs the remembered choice
    // only: the failure is swallowed so that closing goes on.
    ~TSaveProfileChoiceForm() override;

    // kNewValues or kCurrentValues.
    int32_t GetChoice() const { return choice; }

    QGroupBox* const GroupBox1;
    QRadioButton* const NewValueChoice;
    QRadioButton* const CurrentValueChoice;
    QPushButton* const CancelButton;
    QPushButton* const SaveButton;

private:
    void SelectChoice(int32_t value);

    int32_t choice = kNewValues;
    CAppSettings* settings;
    const CAppLanguage* language;
};
