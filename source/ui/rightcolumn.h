#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "seriallink/portinfo.h"
#include "ui/shellopener.h"

class CAppLanguage;
struct CRunSummary;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TSignalMeter;
class TUnitFinder;

// The window's right-hand column: the GSM signal with the network state, the identity of the
// unit last read, the Commands box (the count of what Write would send, Write, Reset Unit,
// Clear SIM, Clear Text Fields, the port box, Find Unit, Connect) and the pictures with the
// manual's link. It owns these controls, their look and their language binding; what the
// buttons do is the window's.
class TRightColumn : public QWidget {
public:
    // `refillPorts` fills the port box again (opening its list, before a search);
    // `notOpened` tells that the manual behind the link could not be shown.
    TRightColumn(QWidget* parent, std::vector<std::string> dataFolders,
                 std::function<void()> refillPorts, TNotOpenedFunction notOpened);

    QGroupBox* GsmSignalBox = nullptr;
    // Holds the bar, the indicator and its label, and moves the indicator.
    TSignalMeter* SignalMeter = nullptr;
    QLabel* NetStatusLabel = nullptr;
    QLabel* NetLogStatusLabel = nullptr;

    // The module of the unit last connected: maker and model, and serial number (IMEI).
    QLabel* UnitIdentityLabel = nullptr;
    QLabel* UnitImeiLabel = nullptr;

    QGroupBox* CommandsBox = nullptr;
    // What Write would send: settings, access numbers and messages.
    QLabel* ChangeCountLabel = nullptr;
    QPushButton* WriteButton = nullptr;
    QPushButton* ResetButton = nullptr;
    QPushButton* ClearSimButton = nullptr;
    QPushButton* ClearFieldsButton = nullptr;
    QComboBox* ComPortBox = nullptr;
    QPushButton* ConnectButton = nullptr;
    TUnitFinder* FindUnitButton = nullptr;

    QLabel* UnitImage = nullptr;
    QLabel* LogoImage = nullptr;
    QLabel* WebLinkLabel = nullptr;

    // The captions follow `language` from now on; the column keeps it for its own texts.
    void AttachLanguage(CAppLanguage& language);

    // Write, Reset Unit and Clear SIM together; they work only on an open port.
    void EnableUnitButtons(bool enabled);
    // Connect or Disconnect; Find Unit only while no port is open and no search runs.
    void ShowConnection(bool open);
    // The signal check's report: the bar, and the network state in its colour.
    void ShowSignal(int32_t signalStrength, int32_t loggedOnToNet);
    void ClearSignal();
    // The unit's module from `run`; nothing (and no room taken) when `known` is false or the
    // run read no module.
    void ShowIdentity(bool known, const CRunSummary& run);
    // Lists `ports` in the port box, described as the system knows them, and selects `stored`
    // (in any letter case) or else the first.
    void ShowPorts(const std::vector<std::string>& ports, const std::string& stored,
                   const std::vector<CPortInfo>& descriptions);

private:
    const CAppLanguage* language = nullptr;
};
