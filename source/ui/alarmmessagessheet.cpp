#include "ui/alarmmessagessheet.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "model/configurationmodel.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "persistence/languagekeys.h"
#include "ui/formcontrols.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

// Column widths until the captions are known; ShareGridWidths then sizes them from their
// captions and shares the free width among the text columns.
constexpr std::array<int, L::kSmsColumnCount> kColumnWidths = {70, 190, 104, 34, 190, 104, 34, 46};
constexpr std::array<const char*, L::kSmsColumnCount> kColumnCaptions = {
    "Receiver", "Current Text", "Current Number", "Call",
    "New Text", "New Number",   "Call",           "Delete"};

// What the fixed columns hold: a receiver label, a number as most are written (a longer one
// shows whole in its tooltip), a mark.
TGridColumnFit ColumnFit(const QStringList& receivers) {
    const QStringList numbers = {QStringLiteral("+467012345678")};
    const QStringList marks = {QStringLiteral("X")};
    TGridColumnFit fit;
    fit.fixed = {L::kSmsReceiverColumn,  L::kSmsCurrentNumberColumn, L::kSmsCurrentCallColumn,
                 L::kSmsNewNumberColumn, L::kSmsNewCallColumn,       L::kSmsDeleteColumn};
    fit.samples = {receivers, numbers, marks, numbers, marks, marks};
    fit.shared = {L::kSmsCurrentTextColumn, L::kSmsNewTextColumn};
    fit.minimumShared = 100;
    return fit;
}

}  // namespace

TAlarmMessagesSheet::TAlarmMessagesSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InputMessagesSheet"));
    auto* sheetLayout = new QHBoxLayout(this);
    sheetLayout->setContentsMargins(0, 2, 0, 2);

    // The seven grids one under the other; the box scrolls up and down, and sideways only
    // when the window is narrower than a grid's columns need.
    AlarmInputScrollBox = Named(new QScrollArea(this), "AlarmInputScrollBox");
    AlarmInputScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AlarmInputScrollBox->setWidgetResizable(true);

    auto* content = Named(new QWidget(), "AlarmInputScrollContent");
    auto* grids = new QGridLayout(content);
    grids->setContentsMargins(4, 4, 4, 4);
    grids->setHorizontalSpacing(6);
    grids->setVerticalSpacing(8);
    for (int t = 0; t < L::kAlarmInputCount; ++t) {
        const std::string number = std::to_string(t + 1);
        auto* caption = new QWidget(content);
        caption->setObjectName(QString::fromStdString("AlarmInputCaption" + number));
        auto* captionLayout = new QHBoxLayout(caption);
        captionLayout->setContentsMargins(0, 2, 0, 0);
        captionLayout->setSpacing(4);
        if (t < L::kInputCount) {
            InputLabels[t] = new QLabel(QStringLiteral("Input"), caption);
            InputLabels[t]->setObjectName(QString::fromStdString("Input" + number + "Label"));
            InputNumberLabels[t] = new QLabel(QString::fromStdString(number), caption);
            InputNumberLabels[t]->setObjectName(
                QString::fromStdString("Input" + number + "NumberLabel"));
            captionLayout->addWidget(InputLabels[t]);
            captionLayout->addWidget(InputNumberLabels[t]);
        } else {
            ExternalPowerLabel = MakeLabel(caption, "ExternalPowerLabel", "External Power");
            ExternalPowerLabel->setWordWrap(true);
            captionLayout->addWidget(ExternalPowerLabel);
        }
        captionLayout->addStretch(1);

        auto* grid = new TVTList(content);
        grid->setObjectName(QString::fromStdString("AlarmInputList" + number));
        grid->Tag = t;
        for (int col = 0; col < L::kSmsColumnCount; ++col) {
            grid->addColumn(kColumnCaptions[col], kColumnWidths[col]);
        }
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Exactly the four messages of the input, no scrolling.
        grid->setFixedHeight(grid->horizontalHeader()->sizeHint().height() +
                             L::kMessagesPerInput * grid->verticalHeader()->defaultSectionSize() +
                             2 * grid->frameWidth());
        AlarmInputLists[t] = grid;
        grids->addWidget(caption, t, 0, Qt::AlignTop);
        grids->addWidget(grid, t, 1);
    }
    grids->setColumnStretch(1, 1);
    grids->setRowStretch(L::kAlarmInputCount, 1);
    AlarmInputScrollBox->setWidget(content);

    sheetLayout->addWidget(AlarmInputScrollBox, 1);
}

void TAlarmMessagesSheet::AttachLanguage(CAppLanguage& language) {
    const auto attach = [&language](auto controller) { language.Attach(controller.Detach()); };
    const std::vector<std::string> columnKeys(kAlarmListColumnKeys.begin(),
                                              kAlarmListColumnKeys.end());
    for (TVTList* grid : AlarmInputLists) {
        attach(MakeRef<CListViewLangController>(grid, columnKeys));
    }
    attach(MakeRef<CTabSheetLangController>("INPUT_MESSAGES", this));
    for (QLabel* label : InputLabels) {
        attach(MakeRef<CLabelLangController>("INPUT", label));
    }
    attach(MakeRef<CLabelLangController>("EXTERNAL_POWER", ExternalPowerLabel));
}

void TAlarmMessagesSheet::WireGrids(CConfigurationModel& model, std::function<void()> changed) {
    for (TVTList* grid : AlarmInputLists) {
        grid->ColumnProperties = &model.AlarmColumnProperties();
        grid->setItemCount(L::kMessagesPerInput);
        grid->OnCellGetData = [&model](TVTList* sender, int row, int col, std::string& data) {
            data = model.SmsTable().getData(L::AlarmGridRowToTableRow(sender->Tag, row), col);
        };
        grid->OnCellSetData = [&model, changed](TVTList* sender, int row, int col,
                                                const std::string& data) {
            model.SmsTable().setData(L::AlarmGridRowToTableRow(sender->Tag, row), col, data);
            changed();
        };
        grid->OnCellClicked = [&model, changed](TVTList* sender, int row, int col) {
            TVTListData& table = model.SmsTable();
            const int tableRow = L::AlarmGridRowToTableRow(sender->Tag, row);
            if (col == L::kSmsNewCallColumn) {
                // One call flag per input, toggled as the clicked row shows it.
                model.SetNewCallMark(sender->Tag, !L::IsMarked(table.getData(tableRow, col)));
            } else if (col == L::kSmsDeleteColumn) {
                table.setData(tableRow, col,
                              L::IsMarked(table.getData(tableRow, col)) ? "" : L::kMark);
            } else {
                return;
            }
            sender->Invalidate();
            changed();
        };
    }
}

void TAlarmMessagesSheet::CopyCurrentToNew(const TVTList& grid, CConfigurationModel& model) {
    TVTListData& table = model.SmsTable();
    for (int row = 0; row < L::kMessagesPerInput; ++row) {
        const int tableRow = L::AlarmGridRowToTableRow(grid.Tag, row);
        table.setData(tableRow, L::kSmsNewTextColumn,
                      table.getData(tableRow, L::kSmsCurrentTextColumn));
        table.setData(tableRow, L::kSmsNewNumberColumn,
                      table.getData(tableRow, L::kSmsCurrentNumberColumn));
    }
    model.SetNewCallMark(grid.Tag, L::IsMarked(table.getData(L::AlarmGridRowToTableRow(grid.Tag, 0),
                                                             L::kSmsCurrentCallColumn)));
}

void TAlarmMessagesSheet::FitCaptions() {
    int captionWidth = TextWidth(*InputLabels[0], InputLabels[0]->text() + QStringLiteral(" 7"));
    const QStringList powerWords = ExternalPowerLabel->text().split(QLatin1Char(' '));
    for (const QString& word : powerWords) {
        captionWidth = std::max(captionWidth, TextWidth(*ExternalPowerLabel, word));
    }
    for (TVTList* grid : AlarmInputLists) {
        if (QWidget* caption = grid->parentWidget()->findChild<QWidget*>(
                QStringLiteral("AlarmInputCaption%1").arg(grid->Tag + 1))) {
            caption->setFixedWidth(captionWidth + 8);
        }
    }
}

void TAlarmMessagesSheet::ShareGridWidths(const CConfigurationModel& model) {
    // A grid never gets narrower than its columns need: the page scrolls instead.
    QStringList receivers;
    for (int row = 0; row < L::kMessagesPerInput; ++row) {
        receivers << Text(model.SmsTable().getData(row, L::kSmsReceiverColumn))
                  << Text(model.SmsTable().getData(
                         L::AlarmGridRowToTableRow(L::kExternalPowerInput - 1, row),
                         L::kSmsReceiverColumn));
    }
    int needed = 0;
    for (TVTList* grid : AlarmInputLists) {
        needed = std::max(needed, FitGridColumns(*grid, ColumnFit(receivers)));
    }
    for (TVTList* grid : AlarmInputLists) {
        grid->setMinimumWidth(needed);
    }
}

void TAlarmMessagesSheet::SelectMessage(int tableRow, int column) {
    TVTList* grid = AlarmInputLists[static_cast<std::size_t>(tableRow / L::kMessagesPerInput)];
    grid->setCurrentCell(tableRow % L::kMessagesPerInput, column);
    AlarmInputScrollBox->ensureWidgetVisible(grid);
    grid->setFocus(Qt::OtherFocusReason);
}
