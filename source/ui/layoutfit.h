#pragma once

#include <QScrollArea>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QLineEdit;
class TVTList;

// Sizes that follow the texts and the font instead of fixed pixels, so that no caption is cut
// in any language, at any font size or scale factor.

// A caption without its mnemonic markers ("&Write" is "Write", "&&" is "&"), for window
// titles and other places that show the text as it is.
QString WithoutMnemonic(const QString& caption);

// The width `text` takes in `widget`'s font.
int TextWidth(const QWidget& widget, const QString& text);

// Makes a line edit exactly wide enough for the widest of `texts`, frame and margins
// included.
void FitLineEditToTexts(QLineEdit& edit, const QStringList& texts);

// The widths of a grid's columns. `fixed` columns are as wide as their caption or `samples`
// (texts the column typically holds) need, whichever is wider; the text columns of
// `shared` then share the width that is left equally, never less than `minimumShared`.
struct TGridColumnFit {
    std::vector<int> fixed;
    std::vector<QStringList> samples;  // by position in `fixed`; may be shorter
    std::vector<int> shared;
    int minimumShared = 60;
};
// Sets the fixed columns from their captions and samples, and shares the grid's free width
// among the others. Returns the width the grid needs at least to show every column whole.
int FitGridColumns(TVTList& grid, const TGridColumnFit& fit);

// Holds pictures that make the window look as designed but carry no information: shown when
// the box has the room for them, hidden when the window is too small (the top ones first), so
// they never push the controls that matter out of sight. Its minimum height is 0.
class TOptionalBox : public QWidget {
    Q_OBJECT
public:
    explicit TOptionalBox(QWidget* parent = nullptr);

    // Adds a widget to the bottom of the box (the box takes it over).
    void AddWidget(QWidget* widget);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // True while the whole content shows.
    bool IsShowingContent() const { return showing; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize ContentSize() const;
    std::vector<QWidget*> content;
    bool showing = true;
};

// A scroll area for a column of controls: it scrolls up and down only, and it is as wide as
// its content plus, while it shows one, the vertical scroll bar, so no control is ever cut at
// the side.
class TColumnScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit TColumnScrollArea(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The settings page's four groups in one row as designed: the relays, access control above
// input behaviour, the input delays. Where the row is narrower than that needs, access control
// and input behaviour move side by side under the relays, so the groups still fit without
// scrolling sideways; the box is never narrower than that arrangement needs.
class TSettingGroupsRow : public QWidget {
    Q_OBJECT
public:
    TSettingGroupsRow(QWidget* parent, QWidget* relays, QWidget* accessControl,
                      QWidget* inputBehaviour, QWidget* delays);

    bool IsCompact() const { return compact; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange(bool compactRow);
    int DesignedWidth() const;
    int CompactWidth() const;

    QWidget* relays;
    QWidget* accessControl;
    QWidget* inputBehaviour;
    QWidget* delays;
    bool compact = false;
};
