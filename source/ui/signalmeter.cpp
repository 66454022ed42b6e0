#include "ui/signalmeter.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// The bar covers strengths 0 to 32 with 6 pixels of margin at both ends; the indicator's top
// sits 6 pixels above the bar's bottom at strength 0.
constexpr int kBarWidth = 22;
constexpr int kBarHeight = TSignalMeter::kMaxStrength * TSignalMeter::kStepPixels + 12;
constexpr int kBarLeft = 12;
constexpr int kBarTop = 22;
constexpr int kIndicatorWidth = 14;
constexpr int kIndicatorHeight = 9;
constexpr int kWidth = 112;

int IndicatorTop(int barTop, int barHeight, int strength) {
    return barTop + barHeight - 6 - TSignalMeter::kStepPixels * strength;
}

// Weak at the bottom in red, strong at the top in green, a tick every five steps.
QPixmap DrawBar() {
    QPixmap pixmap(kBarWidth, kBarHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, kBarHeight, 0, 0);
    gradient.setColorAt(0.0, QColor(0xD0, 0x20, 0x20));
    gradient.setColorAt(0.5, QColor(0xE0, 0xC0, 0x20));
    gradient.setColorAt(1.0, QColor(0x20, 0xA0, 0x30));
    QPainterPath wedge;
    wedge.moveTo(kBarWidth / 2.0 - 2, kBarHeight - 1);
    wedge.lineTo(kBarWidth / 2.0 + 2, kBarHeight - 1);
    wedge.lineTo(kBarWidth - 1, 0);
    wedge.lineTo(0, 0);
    wedge.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(wedge, gradient);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawPath(wedge);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int strength = 0; strength <= TSignalMeter::kMaxStrength; strength += 5) {
        const int y = IndicatorTop(0, kBarHeight, strength) + kIndicatorHeight / 2;
        painter.drawLine(kBarWidth - 5, y, kBarWidth - 1, y);
    }
    return pixmap;
}

// A small arrow pointing left at the bar.
QPixmap DrawIndicator() {
    QPixmap pixmap(kIndicatorWidth, kIndicatorHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(0, kIndicatorHeight / 2.0);
    arrow.lineTo(kIndicatorWidth - 1, 0);
    arrow.lineTo(kIndicatorWidth - 1, kIndicatorHeight - 1);
    arrow.closeSubpath();
    painter.fillPath(arrow, QColor(0x10, 0x10, 0x60));
    return pixmap;
}

}  // namespace

TSignalMeter::TSignalMeter(QWidget* parent)
    : QWidget(parent),
      MaxLabel(new QLabel(QStringLiteral("Max"), this)),
      BarImage(new QLabel(this)),
      IndicatorImage(new QLabel(this)),
      IndicatorLabel(new QLabel(QStringLiteral("0"), this)) {
    setFixedSize(kWidth, kBarTop + kBarHeight + 4);
    MaxLabel->setObjectName(QStringLiteral("SignalMaxLabel"));
    MaxLabel->move(kBarLeft, 2);
    BarImage->setObjectName(QStringLiteral("SignalBarImage"));
    BarImage->setPixmap(DrawBar());
    BarImage->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    IndicatorImage->setObjectName(QStringLiteral("SignalIndicatorImage"));
    IndicatorImage->setPixmap(DrawIndicator());
    const int top = IndicatorTop(kBarTop, kBarHeight, 0);
    IndicatorImage->setGeometry(kBarLeft + kBarWidth + 2, top, kIndicatorWidth, kIndicatorHeight);
    IndicatorLabel->setObjectName(QStringLiteral("SignalIndicatorLabel"));
    IndicatorLabel->setGeometry(kBarLeft + kBarWidth + kIndicatorWidth + 6, top - 1,
                                kWidth - (kBarLeft + kBarWidth + kIndicatorWidth + 6),
                                kIndicatorHeight + 6);
    IndicatorLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TSignalMeter::ShowStrength(int signalStrength) {
    if (signalStrength < 0 || signalStrength > kMaxStrength) {
        return;
    }
    const QRect bar = BarImage->geometry();
    const int top = IndicatorTop(bar.top(), bar.height(), signalStrength);
    IndicatorImage->move(IndicatorImage->x(), top);
    IndicatorLabel->move(IndicatorLabel->x(), top - 1);
    IndicatorLabel->setText(QString::number(signalStrength));
    IndicatorImage->show();
    IndicatorLabel->show();
}

void TSignalMeter::Clear() {
    IndicatorLabel->clear();
    IndicatorImage->hide();
    IndicatorLabel->hide();
}

bool TSignalMeter::ShowsStrength() const {
    return !IndicatorImage->isHidden();
}
