#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <functional>

class QPainter;

// A tab bar whose tabs are drawn by their owner: the bar keeps the frame and the hit testing,
// the owner paints each tab's face. Without a handler the tabs are drawn as usual.
class TOwnerDrawnTabBar : public QTabBar {
    Q_OBJECT
public:
    using TDrawTabEvent =
        std::function<void(QPainter& canvas, int index, const QRect& rect, bool active)>;

    explicit TOwnerDrawnTabBar(QWidget* parent = nullptr);

    TDrawTabEvent OnDrawTab;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Room for the owner's text offsets around the caption.
    QSize tabSizeHint(int index) const override;
};

// The main window's page control: a tab widget with owner-drawn tabs.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    TOwnerDrawnTabBar* OwnerDrawnTabBar() const { return drawnTabBar; }

private:
    TOwnerDrawnTabBar* drawnTabBar;
};
