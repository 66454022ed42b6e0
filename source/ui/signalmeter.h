#pragma once

#include <QWidget>

class QLabel;

// The signal strength shown as an indicator beside a bar: strengths 0 to 32 from the bottom
// of the bar upwards, 4 pixels a step, the strength in figures next to the indicator. The bar
// and the indicator are drawn by the program.
class TSignalMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStepPixels = 4;
    static constexpr int kMaxStrength = 32;

    explicit TSignalMeter(QWidget* parent = nullptr);

    // A strength from 0 to 32 moves the indicator to top = bar top + bar height - 6 - 4 x
    // strength, its label one pixel higher, and shows the figure. Anything else (99 for "not
    // known", -1 for no reading) leaves both where they are.
    void ShowStrength(int signalStrength);
    // No reading (no unit connected): the indicator and its figure are hidden until the next
    // strength from 0 to 32 shows them again.
    void Clear();
    bool ShowsStrength() const;

    QLabel* const MaxLabel;
    QLabel* const BarImage;
    QLabel* const IndicatorImage;
    QLabel* const IndicatorLabel;
};
