#include "ui/rightcolumn.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>
#include <utility>

#include "operations/runsummary.h"
#include "persistence/applanguage.h"
#include "ui/aboutform.h"
#include "ui/comportbox.h"
#include "ui/formcontrols.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/signalmeter.h"
#include "ui/unitfinder.h"

namespace {

// The logo's width: the right-hand column's as designed.
constexpr int kLogoWidth = 144;

// The product name as the column shows it under the unit.
QPixmap DrawLogo(int width) {
    const int height = 34;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(QColor(0x10, 0x30, 0x80));
    painter.drawText(QRect(0, 0, width, height), Qt::AlignCenter, QStringLiteral("Sendibox"));
    painter.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2));
    painter.drawLine(12, height - 3, width - 12, height - 3);
    return pixmap;
}

void MakeSmall(QLabel* label) {
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    label->setFont(small);
}

}  // namespace

TRightColumn::TRightColumn(QWidget* parent, std::vector<std::string> dataFolders,
                           std::function<void()> refillPorts, TNotOpenedFunction notOpened)
    : QWidget(parent) {
    setObjectName(QStringLiteral("RightColumn"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    // The signal box: the bar with its moving indicator, then the network state.
    GsmSignalBox = Named(new QGroupBox(QStringLiteral(" GSM Signal "), this), "GsmSignalBox");
    auto* signalLayout = new QVBoxLayout(GsmSignalBox);
    SignalMeter = Named(new TSignalMeter(GsmSignalBox), "SignalMeter");
    signalLayout->addWidget(SignalMeter);
    NetStatusLabel = MakeLabel(GsmSignalBox, "NetStatusLabel", "Net Status:");
    NetLogStatusLabel = MakeLabel(GsmSignalBox, "NetLogStatusLabel", "");
    QFont bold = NetLogStatusLabel->font();
    bold.setBold(true);
    NetLogStatusLabel->setFont(bold);
    MakeWrapping(NetLogStatusLabel);
    NetLogStatusLabel->setMinimumHeight(2 * NetLogStatusLabel->fontMetrics().height());
    NetLogStatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = NetLogStatusLabel->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    NetLogStatusLabel->setPalette(red);
    signalLayout->addWidget(NetStatusLabel);
    signalLayout->addWidget(NetLogStatusLabel);
    layout->addWidget(GsmSignalBox);

    // The unit's module under the signal it reports, so the installer sees which unit is
    // connected and can match the records with the unit in hand. Small, like the link below:
    // the column has little room to spare.
    UnitIdentityLabel = MakeLabel(this, "UnitIdentityLabel", "");
    UnitImeiLabel = MakeLabel(this, "UnitImeiLabel", "");
    for (QLabel* label : {UnitIdentityLabel, UnitImeiLabel}) {
        MakeSmall(label);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setContentsMargins(4, 0, 0, 0);
        MakeWrapping(label);
        label->hide();  // until a unit has been read
        layout->addWidget(label);
    }

    // The commands, the unit buttons first, under the count of what Write would send.
    CommandsBox = Named(new QGroupBox(QStringLiteral(" Commands "), this), "CommandsBox");
    auto* commands = new QVBoxLayout(CommandsBox);
    ChangeCountLabel = MakeLabel(CommandsBox, "ChangeCountLabel", "");
    MakeSmall(ChangeCountLabel);
    MakeWrapping(ChangeCountLabel);
    WriteButton = Named(new QPushButton(QStringLiteral("&Write"), CommandsBox), "WriteButton");
    ResetButton = Named(new QPushButton(QStringLiteral("&Reset Unit"), CommandsBox), "ResetButton");
    ClearSimButton =
        Named(new QPushButton(QStringLiteral("Clear S&IM"), CommandsBox), "ClearSimButton");
    ClearFieldsButton = Named(new QPushButton(QStringLiteral("&Clear Text Fields"), CommandsBox),
                              "ClearFieldsButton");
    auto* portBox = Named(new TComPortBox(CommandsBox), "ComPortBox");
    portBox->OnDropDown = refillPorts;
    // A long path typed into the box must not widen the column.
    portBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portBox->setMinimumContentsLength(8);
    ComPortBox = portBox;
    ConnectButton =
        Named(new QPushButton(QStringLiteral("C&onnect to Unit"), CommandsBox), "ConnectButton");
    FindUnitButton = Named(new TUnitFinder(
                               portBox,
                               [this](const std::string& key) {
                                   return language != nullptr ? LanguageText(*language, key)
                                                              : QString::fromStdString(key);
                               },
                               std::move(refillPorts), CommandsBox),
                           "FindUnitButton");
    FindUnitButton->OnSearching = [this](bool searching) { ConnectButton->setEnabled(!searching); };
    commands->addWidget(ChangeCountLabel);
    for (QPushButton* unitButton : {WriteButton, ResetButton, ClearSimButton}) {
        unitButton->setEnabled(false);
        commands->addWidget(unitButton);
    }
    commands->addSpacing(6);
    commands->addWidget(ClearFieldsButton);
    commands->addSpacing(6);
    // Find Unit goes right under the port box, not beside it: the column keeps the width of its
    // widest button, so the settings page keeps its room on a small screen.
    commands->addWidget(ComPortBox);
    commands->addWidget(FindUnitButton);
    commands->addWidget(ConnectButton);
    layout->addWidget(CommandsBox);

    // The unit's picture and the logo where the column has room for them.
    auto* pictures = Named(new TOptionalBox(this), "RightColumnPictures");
    UnitImage = MakeLabel(pictures, "UnitImage", "");
    UnitImage->setPixmap(DrawUnitPicture(96));
    UnitImage->setAlignment(Qt::AlignCenter);
    pictures->AddWidget(UnitImage);
    LogoImage = MakeLabel(pictures, "LogoImage", "");
    LogoImage->setPixmap(DrawLogo(kLogoWidth));
    LogoImage->setAlignment(Qt::AlignCenter);
    pictures->AddWidget(LogoImage);
    layout->addWidget(pictures, 1);
    auto* link = new TWebLinkLabel(this, CShellOpener(), std::move(dataFolders), [this] {
        return language != nullptr ? language->GetLanguage() : std::string();
    });
    link->SetNotOpened(std::move(notOpened));
    WebLinkLabel = link;
    WebLinkLabel->setAlignment(Qt::AlignCenter);
    MakeSmall(WebLinkLabel);
    MakeWrapping(WebLinkLabel);
    layout->addWidget(WebLinkLabel);
}

void TRightColumn::AttachLanguage(CAppLanguage& appLanguage) {
    language = &appLanguage;
    const auto attach = [&appLanguage](auto controller) {
        appLanguage.Attach(controller.Detach());
    };
    attach(MakeRef<CGroupBoxLangController>("COMMANDS", CommandsBox));
    attach(MakeRef<CGroupBoxLangController>("GSM_SIGNAL", GsmSignalBox));
    const std::array<std::pair<const char*, QPushButton*>, 4> buttons = {{
        {"WRITE_AND_READ", WriteButton},
        {"RESET_UNIT", ResetButton},
        {"CLEAR_SIM", ClearSimButton},
        {"CLEAR_TEXT_FIELDS", ClearFieldsButton},
    }};
    for (const auto& [key, button] : buttons) {
        attach(MakeRef<CButtonLangController>(key, button));
    }
    const std::array<std::pair<const char*, QLabel*>, 3> labels = {{
        {"SIGNAL_MAX", SignalMeter->MaxLabel},
        {"USER_MANUAL", WebLinkLabel},
        {"NET_STATUS", NetStatusLabel},
    }};
    for (const auto& [key, label] : labels) {
        attach(MakeRef<CLabelLangController>(key, label));
    }
}

void TRightColumn::EnableUnitButtons(bool enabled) {
    WriteButton->setEnabled(enabled);
    ResetButton->setEnabled(enabled);
    ClearSimButton->setEnabled(enabled);
}

void TRightColumn::ShowConnection(bool open) {
    ConnectButton->setText(LanguageText(*language, open ? "DISCONNECT" : "CONNECT_TO_UNIT"));
    // The search opens every port, the connected one too.
    FindUnitButton->setEnabled(!open && !FindUnitButton->IsSearching());
    FindUnitButton->Retranslate();
}

void TRightColumn::ShowSignal(int32_t signalStrength, int32_t loggedOnToNet) {
    SignalMeter->ShowStrength(signalStrength);
    QColor colour(0xFF, 0x00, 0x00);
    const char* key = "NET_LOGGED_OUT";
    switch (loggedOnToNet) {
        case -1:
            // The registration has not been asked yet (the first polls ask the strength).
            colour = palette().color(QPalette::WindowText);
            key = "NET_CHECKING";
            break;
        case 1:
            colour = QColor(0x00, 0x80, 0x00);
            key = "NET_LOGGED_IN_HOME_NETWORK";
            break;
        case 2:
            colour = QColor(0x80, 0x80, 0x00);
            key = "NET_LOGGED_OUT_SEARCHING";
            break;
        case 3:
            key = "NET_REGISTRATION_DENIED";
            break;
        case 4:
            key = "NET_UNKNOWN";
            break;
        case 5:
            colour = QColor(0x00, 0x80, 0x00);
            key = "NET_LOGGED_IN_ROAMING";
            break;
        default:
            break;
    }
    QPalette palette = NetLogStatusLabel->palette();
    palette.setColor(QPalette::WindowText, colour);
    NetLogStatusLabel->setPalette(palette);
    NetLogStatusLabel->setText(LanguageText(*language, key));
}

void TRightColumn::ClearSignal() {
    NetLogStatusLabel->clear();
    SignalMeter->Clear();
}

void TRightColumn::ShowIdentity(bool known, const CRunSummary& run) {
    // Without a unit the two lines take no room from the column.
    known = known && !run.maker.empty();
    UnitIdentityLabel->setVisible(known);
    UnitImeiLabel->setVisible(known);
    if (!known) {
        UnitIdentityLabel->clear();
        UnitImeiLabel->clear();
        return;
    }
    UnitIdentityLabel->setText(Text(run.maker + " " + run.model));
    // A module that does not give its serial number is still the unit's module.
    UnitImeiLabel->setText(
        LanguageText(*language, "IMEI") + QLatin1Char(' ') +
        (run.imei.empty() ? LanguageText(*language, "UNKNOWN") : Text(run.imei)));
}

void TRightColumn::ShowPorts(const std::vector<std::string>& ports, const std::string& stored,
                             const std::vector<CPortInfo>& descriptions) {
    const QSignalBlocker quiet(ComPortBox);
    ComPortBox->clear();
    for (const std::string& port : ports) {
        ComPortBox->addItem(Text(port));
    }
    static_cast<TComPortBox*>(ComPortBox)->DescribeItems(descriptions);
    if (ports.empty()) {
        ComPortBox->setCurrentIndex(-1);
        ComPortBox->setEditText(QString());
        return;
    }
    // MatchFixedString compares without regard to case.
    const int index = ComPortBox->findText(Text(stored), Qt::MatchFixedString);
    ComPortBox->setCurrentIndex(index >= 0 ? index : 0);
}
