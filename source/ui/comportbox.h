#pragma once

#include <QComboBox>
#include <functional>

// The editable serial-port box: its owner refills the list whenever it is about to drop down,
// so a port plugged in after start-up can be chosen without restarting.
class TComPortBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComPortBox(QWidget* parent = nullptr);

    // Runs before the list opens; optional.
    std::function<void()> OnDropDown;

    void showPopup() override;
};
