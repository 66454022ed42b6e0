#include "ui/accessnumbergrid.h"

#include <QHeaderView>
#include <QStringList>
#include <array>
#include <string>
#include <utility>

#include "model/configurationmodel.h"
#include "model/unitlayout.h"
#include "ui/formcontrols.h"
#include "ui/layoutfit.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

// Column widths until the captions are known; FitAccessNumberColumns then sizes them.
constexpr std::array<int, L::kPhoneBookColumnCount> kColumnWidths = {64, 200, 200, 48};
constexpr std::array<const char*, L::kPhoneBookColumnCount> kColumnCaptions = {
    "Position", "Current Number", "New Number", "Write"};

}  // namespace

TVTList* MakeAccessNumberGrid(QWidget* parent) {
    auto* grid = Named(new TVTList(parent), "AccessNumberList");
    for (int col = 0; col < L::kPhoneBookColumnCount; ++col) {
        grid->addColumn(kColumnCaptions[col], kColumnWidths[col]);
    }
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A few rows at least, so that the grid can be worked in a small window too.
    grid->setMinimumHeight(grid->horizontalHeader()->sizeHint().height() +
                           5 * grid->verticalHeader()->defaultSectionSize() +
                           2 * grid->frameWidth());
    return grid;
}

void WireAccessNumberGrid(TVTList& grid, CConfigurationModel& model,
                          std::function<void()> changed) {
    grid.RowsToHighLight = 40;
    grid.ColumnProperties = &model.AccessColumnProperties();
    grid.setItemCount(model.GetAccessNumberCount());
    grid.OnCellGetData = [&model](TVTList*, int row, int col, std::string& data) {
        const int tableRow =
            col == L::kPhoneBookLabelColumn ? row : L::AccessGridRowToTableRow(row);
        data = model.PhoneBookTable().getData(tableRow, col);
    };
    grid.OnCellSetData = [&model, changed](TVTList*, int row, int col, const std::string& data) {
        if (col <= L::kPhoneBookLabelColumn) {
            return;
        }
        TVTListData& table = model.PhoneBookTable();
        const int tableRow = L::AccessGridRowToTableRow(row);
        const bool differs = table.getData(tableRow, col) != data;
        table.setData(tableRow, col, data);
        if (col == L::kPhoneBookNewNumberColumn && differs) {
            table.setData(tableRow, L::kPhoneBookWriteColumn, L::kMark);
        }
        changed();
    };
    grid.OnCellClicked = [&model, changed](TVTList* sender, int row, int col) {
        TVTListData& table = model.PhoneBookTable();
        const int tableRow = L::AccessGridRowToTableRow(row);
        table.setData(tableRow, col, L::IsMarked(table.getData(tableRow, col)) ? "" : L::kMark);
        sender->Invalidate();
        changed();
    };
}

void CopyAccessNumbersToNew(TVTList& grid) {
    for (int row = 0; row < grid.itemCount() && grid.OnCellSetData; ++row) {
        const std::string current = grid.cellText(row, L::kPhoneBookCurrentNumberColumn);
        if (grid.cellText(row, L::kPhoneBookNewNumberColumn) != current) {
            grid.OnCellSetData(&grid, row, L::kPhoneBookNewNumberColumn, current);
        }
    }
}

int FitAccessNumberColumns(TVTList& grid) {
    // What the fixed columns hold: an access number's position and a mark.
    TGridColumnFit fit;
    fit.fixed = {L::kPhoneBookLabelColumn, L::kPhoneBookWriteColumn};
    fit.samples = {{QStringLiteral("238")}, {QStringLiteral("X")}};
    fit.shared = {L::kPhoneBookCurrentNumberColumn, L::kPhoneBookNewNumberColumn};
    fit.minimumShared = 140;
    return FitGridColumns(grid, fit);
}
