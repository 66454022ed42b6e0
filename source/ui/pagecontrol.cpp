#include "ui/pagecontrol.h"

#include <QPaintEvent>
#include <QPainter>

TOwnerDrawnTabBar::TOwnerDrawnTabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(true);
}

void TOwnerDrawnTabBar::paintEvent(QPaintEvent* event) {
    if (!OnDrawTab) {
        QTabBar::paintEvent(event);
        return;
    }
    QPainter canvas(this);
    for (int index = 0; index < count(); ++index) {
        const QRect rect = tabRect(index);
        if (!rect.intersects(event->rect())) {
            continue;
        }
        canvas.save();
        OnDrawTab(canvas, index, rect, index == currentIndex());
        canvas.restore();
    }
}

QSize TOwnerDrawnTabBar::tabSizeHint(int index) const {
    const QSize base = QTabBar::tabSizeHint(index);
    return {base.width() + 8, std::max(base.height(), fontMetrics().height() + 10)};
}

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent), drawnTabBar(new TOwnerDrawnTabBar(this)) {
    // setTabBar hands the bar to the tab widget, which owns it from then on.
    setTabBar(drawnTabBar);
}
