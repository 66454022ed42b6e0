#pragma once

#include "ui/dialogform.h"

class CAppLanguage;
class QFrame;
class QLabel;
class QPushButton;

// The hint after a write: reconnect the unit's plugs so that it takes up the new configuration.
class TPlugInfoForm : public TDialogForm {
    Q_OBJECT
public:
    explicit TPlugInfoForm(QWidget* owner = nullptr);

    void ApplyLanguage(const CAppLanguage& language);

    // Shows the hint modally; how it was closed does not matter. A write that was read back
    // and found as meant says so first.
    static void Inform(QWidget* owner, const CAppLanguage& language, bool verified = false);

    QFrame* const Bevel1;
    QLabel* const InfoLabel;
    QFrame* const Bevel2;
    QPushButton* const OkButton;
};
