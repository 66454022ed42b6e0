#include "ui/layoutfit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionHeader>
#include <QVBoxLayout>
#include <algorithm>

#include "core/win1252.h"
#include "vtlist.h"

QString WithoutMnemonic(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;  // "&&" keeps one "&", "&x" keeps the "x"
        }
        plain.append(caption[i]);
    }
    return plain;
}

int TextWidth(const QWidget& widget, const QString& text) {
    return widget.fontMetrics().horizontalAdvance(text);
}

void FitLineEditToTexts(QLineEdit& edit, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, TextWidth(edit, text));
    }
    // What QLineEdit::sizeHint adds around its text: the text margins, the frame and the
    // cursor's room on both sides.
    const QMargins margins = edit.textMargins();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    const int inner = widest + margins.left() + margins.right() + 2 * 2 + 4;
    const QSize size = edit.style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(inner, edit.fontMetrics().height()), &edit);
    edit.setFixedWidth(size.width());
}

int FitGridColumns(TVTList& grid, const TGridColumnFit& fit) {
    QHeaderView& header = *grid.horizontalHeader();
    const QFontMetrics cellFont = grid.fontMetrics();
    const QFontMetrics headerFont = header.fontMetrics();
    // The header's own padding around a caption, and the grid's two pixels before a cell text.
    const int headerPadding =
        2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header) + 6;
    const int cellPadding = 8;
    int needed = 0;
    for (std::size_t i = 0; i < fit.fixed.size(); ++i) {
        const int col = fit.fixed[i];
        const QString caption = QString::fromStdString(Win1252ToUtf8(grid.columnCaption(col)));
        int width = headerFont.horizontalAdvance(caption) + headerPadding;
        if (i < fit.samples.size()) {
            for (const QString& sample : fit.samples[i]) {
                width = std::max(width, cellFont.horizontalAdvance(sample) + cellPadding);
            }
        }
        grid.setColumnWidth(col, width);
        needed += width;
    }
    int minimumShared = fit.minimumShared;
    for (int col : fit.shared) {
        const QString caption = QString::fromStdString(Win1252ToUtf8(grid.columnCaption(col)));
        minimumShared =
            std::max(minimumShared, headerFont.horizontalAdvance(caption) + headerPadding);
    }
    // Room for the frame, and for the vertical scroll bar where the grid has one.
    const int bar = grid.verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                        ? 0
                        : grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int reserve = bar + 2 * grid.frameWidth() + 3;
    if (!fit.shared.empty()) {
        const int room = grid.width() - needed - reserve;
        const int each = std::max(room / static_cast<int>(fit.shared.size()), minimumShared);
        for (int col : fit.shared) {
            grid.setColumnWidth(col, each);
        }
        needed += minimumShared * static_cast<int>(fit.shared.size());
    }
    return needed + reserve;
}

// --- TOptionalBox ----------------------------------------------------------------------------

TOptionalBox::TOptionalBox(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The pictures sit at the bottom of whatever room the box has.
    layout->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void TOptionalBox::AddWidget(QWidget* widget) {
    content.push_back(widget);
    layout()->addWidget(widget);
    updateGeometry();
}

QSize TOptionalBox::ContentSize() const {
    QSize size(0, 0);
    for (const QWidget* widget : content) {
        const QSize hint = widget->sizeHint();
        size.setWidth(std::max(size.width(), hint.width()));
        size.setHeight(size.height() + hint.height());
    }
    return size;
}

QSize TOptionalBox::sizeHint() const {
    // No height of its own: the box takes what the column has left over, so a column that
    // scrolls never scrolls for the pictures' sake.
    return {ContentSize().width(), 0};
}

QSize TOptionalBox::minimumSizeHint() const {
    return {0, 0};
}

void TOptionalBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // From the bottom up, as many as there is room for.
    int room = event->size().height();
    bool all = true;
    for (auto widget = content.rbegin(); widget != content.rend(); ++widget) {
        const int height = (*widget)->sizeHint().height();
        const bool fits = all && height <= room;
        all = fits;
        if (fits) {
            room -= height;
        }
        if ((*widget)->isVisibleTo(this) != fits) {
            (*widget)->setVisible(fits);
        }
    }
    showing = all;
}

// --- TColumnScrollArea -----------------------------------------------------------------------

TColumnScrollArea::TColumnScrollArea(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    // The bar coming or going changes the width the column needs.
    verticalScrollBar()->installEventFilter(this);
}

QSize TColumnScrollArea::sizeHint() const {
    const QWidget* content = widget();
    if (content == nullptr) {
        return QScrollArea::sizeHint();
    }
    const QSize hint = content->sizeHint().expandedTo(content->minimumSizeHint());
    const int bar =
        verticalScrollBar()->isVisibleTo(this) ? verticalScrollBar()->sizeHint().width() : 0;
    return {hint.width() + bar + 2 * frameWidth(), hint.height() + 2 * frameWidth()};
}

QSize TColumnScrollArea::minimumSizeHint() const {
    const QWidget* content = widget();
    if (content == nullptr) {
        return QScrollArea::minimumSizeHint();
    }
    const int bar =
        verticalScrollBar()->isVisibleTo(this) ? verticalScrollBar()->sizeHint().width() : 0;
    return {content->minimumSizeHint().width() + bar + 2 * frameWidth(), 0};
}

bool TColumnScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == verticalScrollBar() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

// --- TSettingGroupsRow -----------------------------------------------------------------------

TSettingGroupsRow::TSettingGroupsRow(QWidget* parent, QWidget* relays, QWidget* accessControl,
                                     QWidget* inputBehaviour, QWidget* delays)
    : QWidget(parent),
      relays(relays),
      accessControl(accessControl),
      inputBehaviour(inputBehaviour),
      delays(delays) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    for (QWidget* group : {relays, accessControl, inputBehaviour, delays}) {
        group->setParent(this);
    }
    compact = true;  // so that the first arrangement takes place
    Arrange(false);
}

int TSettingGroupsRow::DesignedWidth() const {
    const auto* grid = static_cast<const QGridLayout*>(layout());
    const int spacing = std::max(grid->horizontalSpacing(), 0);
    return relays->sizeHint().width() +
           std::max(accessControl->sizeHint().width(), inputBehaviour->sizeHint().width()) +
           delays->sizeHint().width() + 2 * spacing;
}

int TSettingGroupsRow::CompactWidth() const {
    const auto* grid = static_cast<const QGridLayout*>(layout());
    const int spacing = std::max(grid->horizontalSpacing(), 0);
    const int left = std::max(relays->minimumSizeHint().width(),
                              accessControl->minimumSizeHint().width() +
                                  inputBehaviour->minimumSizeHint().width() + spacing);
    return left + delays->minimumSizeHint().width() + spacing;
}

QSize TSettingGroupsRow::minimumSizeHint() const {
    return {CompactWidth(), layout()->minimumSize().height()};
}

void TSettingGroupsRow::Arrange(bool compactRow) {
    if (compactRow == compact) {
        return;
    }
    compact = compactRow;
    auto* grid = static_cast<QGridLayout*>(layout());
    for (QWidget* group : {relays, accessControl, inputBehaviour, delays}) {
        grid->removeWidget(group);
    }
    for (int i = 0; i < 4; ++i) {
        grid->setColumnStretch(i, 0);
        grid->setRowStretch(i, 0);
    }
    if (compact) {
        // Relays | delays over two rows; the two single settings side by side under the relays.
        grid->addWidget(relays, 0, 0, 1, 2);
        grid->addWidget(accessControl, 1, 0, Qt::AlignTop);
        grid->addWidget(inputBehaviour, 1, 1, Qt::AlignTop);
        grid->addWidget(delays, 0, 2, 2, 1);
        grid->setColumnStretch(3, 1);
    } else {
        // As designed: relays | access control over input behaviour | delays.
        grid->addWidget(relays, 0, 0, 3, 1);
        grid->addWidget(accessControl, 0, 1);
        grid->addWidget(inputBehaviour, 1, 1);
        grid->setRowStretch(2, 1);
        grid->addWidget(delays, 0, 2, 3, 1);
        grid->setColumnStretch(3, 1);
    }
    updateGeometry();
}

void TSettingGroupsRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange(event->size().width() < DesignedWidth());
}
