#include "ui/aboutform.h"

#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/langcontroller.h"
#include "ui/layoutfit.h"

TAboutForm::TAboutForm(QWidget* owner)
    : TDialogForm(owner),
      Image1(new QLabel(this)),
      ProductLabel(new QLabel(QStringLiteral("Sendibox Configuration Tool"), this)),
      VersionLabel(new QLabel(this)),
      CommentsLabel(new QLabel(
          QStringLiteral("Configures the Sendibox GSM alarm and relay unit over a serial port: "
                         "access numbers, relay and input settings and alarm texts."),
          this)),
      // No web site to name: the documents that take its place are in the Help menu.
      WebAddressLabel(new QLabel(
          QStringLiteral("The user manual and the troubleshooting guide are in the Help menu."),
          this)),
      Bevel1(NewBevel(this)),
      Button1(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    Image1->setObjectName(QStringLiteral("Image1"));
    ProductLabel->setObjectName(QStringLiteral("ProductLabel"));
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    CommentsLabel->setObjectName(QStringLiteral("CommentsLabel"));
    WebAddressLabel->setObjectName(QStringLiteral("WebAddressLabel"));
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Button1->setObjectName(QStringLiteral("Button1"));

    Image1->setPixmap(DrawUnitPicture(64));
    Image1->setFixedSize(64, 64);
    QFont title = ProductLabel->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    ProductLabel->setFont(title);
    // The program's entry point names its version; a build that does not leaves the line out.
    const QString version = QCoreApplication::applicationVersion();
    VersionLabel->setText(version.isEmpty() ? QString() : QStringLiteral("Version ") + version);
    VersionLabel->setVisible(!version.isEmpty());
    CommentsLabel->setWordWrap(true);
    CommentsLabel->setFixedWidth(280);
    WebAddressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    WebAddressLabel->setWordWrap(true);
    WebAddressLabel->setFixedWidth(280);
    Button1->setDefault(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(ProductLabel);
    texts->addWidget(VersionLabel);
    texts->addWidget(CommentsLabel);
    texts->addWidget(WebAddressLabel);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto* form = new QVBoxLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->addLayout(top);
    form->addWidget(Bevel1);
    form->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TAboutForm::ApplyLanguage(const CAppLanguage& language) {
    setWindowTitle(WithoutMnemonic(LanguageText(language, "ABOUT")));
    CommentsLabel->setText(LanguageText(language, "ABOUT_COMMENTS"));
    WebAddressLabel->setText(LanguageText(language, "ABOUT_DOCUMENTS"));
    const QString version = QCoreApplication::applicationVersion();
    VersionLabel->setText(version.isEmpty()
                              ? QString()
                              : LanguageText(language, "VERSION") + QLatin1Char(' ') + version);
}

QPixmap DrawUnitPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 64.0;
    painter.scale(unit, unit);

    // Antenna on the top right.
    painter.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(50, 20), QPointF(50, 3));
    // Housing.
    painter.setPen(QPen(QColor(70, 70, 70), 1.5));
    painter.setBrush(QColor(200, 204, 210));
    painter.drawRoundedRect(QRectF(6, 18, 52, 40), 5, 5);
    // Front panel.
    painter.setBrush(QColor(235, 238, 242));
    painter.drawRoundedRect(QRectF(11, 23, 42, 16), 3, 3);
    // Power LED (green) and the two relay LEDs (amber).
    const QColor leds[] = {QColor(30, 200, 60), QColor(240, 170, 20), QColor(240, 170, 20)};
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(leds[i]);
        painter.drawEllipse(QPointF(18 + i * 14, 31), 4, 4);
    }
    // Terminal strip along the bottom.
    painter.setBrush(QColor(30, 110, 60));
    painter.drawRect(QRectF(11, 45, 42, 8));
    painter.setBrush(QColor(180, 180, 180));
    for (int i = 0; i < 7; ++i) {
        painter.drawEllipse(QPointF(14.5 + i * 5.8, 49), 1.8, 1.8);
    }
    return picture;
}
