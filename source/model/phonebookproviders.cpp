#include "model/phonebookproviders.h"

#include <algorithm>

#include "model/unitlayout.h"

CPhoneBookDataCollector::CPhoneBookDataCollector(TVTListData* table, int32_t column)
    : TDataCursor(1, 0, 1), column(column), table(table) {}

void CPhoneBookDataCollector::Reset() {
    first = 1;
    current = 1;
}

void CPhoneBookDataCollector::SetEntry(int32_t position, const std::string& /*number*/,
                                       const std::string& value) {
    if (position < first || position > last) {
        return;
    }
    table->setData(position - 1, column, value);
}

CPhoneBookDataProvider::CPhoneBookDataProvider(TVTListData* table, int32_t currentNumberColumn,
                                               int32_t newNumberColumn, int32_t writeMarkColumn)
    : TDataCursor(1, 0, 1),
      currentNumberColumn(currentNumberColumn),
      newNumberColumn(newNumberColumn),
      writeMarkColumn(writeMarkColumn),
      table(table) {}

void CPhoneBookDataProvider::Reset() {
    first = 1;
    current = 1;
}

std::string CPhoneBookDataProvider::GetNumber(int32_t position) {
    return table->getData(position - 1, newNumberColumn);
}

std::string CPhoneBookDataProvider::GetText(int32_t position) {
    return CUnitLayout::EntryName(position);
}

std::string CPhoneBookDataProvider::GetType(int32_t position) {
    return CUnitLayout::EntryType(position);
}

bool CPhoneBookDataProvider::HasMore() {
    while (current <= last &&
           !CUnitLayout::IsMarked(table->getData(current - 1, writeMarkColumn))) {
        ++current;
    }
    return current <= last;
}

CPhoneBookDeleteProvider::CPhoneBookDeleteProvider(TVTListData* table)
    : TDataCursor(1, 0, 1), table(table) {}

void CPhoneBookDeleteProvider::Reset() {
    first = 1;
    current = 1;
}

void CPhoneBookOccupancy::Reset(int32_t lastPosition) {
    first = 1;
    last = lastPosition;
    current = 1;
    occupied.assign(static_cast<std::size_t>(std::max(lastPosition, 0)) + 1, false);
}

void CPhoneBookOccupancy::SetEntry(int32_t position, const std::string& number,
                                   const std::string& value) {
    if (position < first || position > last) {
        return;
    }
    // The read first clears every position of its range, then sets the listed ones.
    occupied[static_cast<std::size_t>(position)] = !number.empty() || !value.empty();
}

std::vector<int32_t> CPhoneBookOccupancy::Occupied() const {
    std::vector<int32_t> positions;
    for (std::size_t position = 1; position < occupied.size(); ++position) {
        if (occupied[position]) {
            positions.push_back(static_cast<int32_t>(position));
        }
    }
    return positions;
}

void CPhoneBookOccupiedDelete::Reset() {
    positions = occupancy.Occupied();
    first = 1;
    last = static_cast<int32_t>(positions.size());
    current = 1;
}

int32_t CPhoneBookOccupiedDelete::NextPosition() {
    const int32_t position = current <= last ? positions[static_cast<std::size_t>(current - 1)] : 0;
    ++current;
    return position;
}
