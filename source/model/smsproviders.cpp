#include "model/smsproviders.h"

#include <stdexcept>

#include "model/unitlayout.h"

CSmsDataCollector::CSmsDataCollector(TVTListData* table, int32_t numberColumn, int32_t textColumn)
    : TDataCursor(1, CUnitLayout::kMessageCount, 1),
      table(table),
      numberColumn(numberColumn),
      textColumn(textColumn) {
    if (table == nullptr) {
        throw std::invalid_argument("CSmsDataCollector: table != 0");
    }
    Reset();
}

void CSmsDataCollector::Reset() {
    readCursor = 1;
    pending = 1;
    first = 1;
    last = CUnitLayout::kMessageCount;
    current = 1;
}

void CSmsDataCollector::SetPendingMessage(const std::string& number, const std::string& text) {
    Store(pending, number, text);
    pending = readCursor;
    current = readCursor;
}

void CSmsDataCollector::SetMessage(int32_t index, const std::string& number,
                                   const std::string& text) {
    Store(index, number, text);
}

void CSmsDataCollector::Store(int32_t index, const std::string& number, const std::string& text) {
    if (!CUnitLayout::IsMessageIndex(index)) {
        return;
    }
    table->setData(index - 1, numberColumn, number);
    table->setData(index - 1, textColumn, text);
}

CSmsDataProvider::CSmsDataProvider(TVTListData* table, int32_t newNumberColumn,
                                   int32_t newTextColumn, int32_t deleteMarkColumn,
                                   int32_t currentNumberColumn, int32_t currentTextColumn)
    : TDataCursor(1, CUnitLayout::kMessageCount, 1),
      table(table),
      newNumberColumn(newNumberColumn),
      newTextColumn(newTextColumn),
      deleteMarkColumn(deleteMarkColumn),
      currentNumberColumn(currentNumberColumn),
      currentTextColumn(currentTextColumn) {
    Reset();
}

void CSmsDataProvider::Reset() {
    first = 1;
    last = CUnitLayout::kMessageCount;
    current = 1;
}

std::string CSmsDataProvider::GetNumber() {
    return ValueToStore(newNumberColumn, currentNumberColumn);
}

std::string CSmsDataProvider::GetText() {
    return ValueToStore(newTextColumn, currentTextColumn);
}

std::string CSmsDataProvider::ValueToStore(int32_t newColumn, int32_t currentColumn) const {
    if (!CUnitLayout::IsMessageIndex(current)) {
        return {};
    }
    return ValueToStore(*table, current - 1, newColumn, currentColumn, deleteMarkColumn);
}

std::string CSmsDataProvider::ValueToStore(const TVTListData& table, int32_t row, int32_t newColumn,
                                           int32_t currentColumn, int32_t deleteMarkColumn) {
    if (CUnitLayout::IsMarked(table.getData(row, deleteMarkColumn))) {
        return {};
    }
    std::string value = table.getData(row, newColumn);
    return value.empty() ? table.getData(row, currentColumn) : value;
}

CSmsDeleteProvider::CSmsDeleteProvider(TVTListData* table)
    : TDataCursor(1, CUnitLayout::kMessageCount, 1), table(table) {
    Reset();
}

void CSmsDeleteProvider::Reset() {
    first = 1;
    last = CUnitLayout::kMessageCount;
    current = 1;
}
