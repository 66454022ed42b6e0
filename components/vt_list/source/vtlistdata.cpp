#include "vtlistdata.h"

#include <cassert>

std::string TVTListData::getData(int row, int col) const {
    std::lock_guard lock(mutex);
    if (row < 0 || col < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        return {};
    }
    const Row& cells = rows[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(col) >= cells.size()) {
        return {};
    }
    return cells[static_cast<std::size_t>(col)];
}

void TVTListData::setData(int row, int col, const std::string& text) {
    if (row < 0 || col < 0) {
        return;
    }
    std::lock_guard lock(mutex);
    createColumnLocked(static_cast<std::size_t>(row),
                       static_cast<std::size_t>(col))[static_cast<std::size_t>(col)] = text;
}

bool TVTListData::rowExists(int row) const {
    std::lock_guard lock(mutex);
    return row >= 0 && static_cast<std::size_t>(row) < rows.size();
}

void TVTListData::createRow(int row) {
    if (row < 0) {
        return;
    }
    std::lock_guard lock(mutex);
    if (rows.size() <= static_cast<std::size_t>(row)) {
        rows.resize(static_cast<std::size_t>(row) + 1);
    }
}

bool TVTListData::columnExists(int row, int col) const {
    std::lock_guard lock(mutex);
    return row >= 0 && col >= 0 && static_cast<std::size_t>(row) < rows.size() &&
           static_cast<std::size_t>(col) < rows[static_cast<std::size_t>(row)].size();
}

TVTListData::Row TVTListData::createColumn(int row, int col) {
    if (row < 0 || col < 0) {
        return {};
    }
    std::lock_guard lock(mutex);
    return createColumnLocked(static_cast<std::size_t>(row), static_cast<std::size_t>(col));
}

std::optional<TVTListData::Row> TVTListData::getRow(int row) const {
    std::lock_guard lock(mutex);
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        return std::nullopt;
    }
    return rows[static_cast<std::size_t>(row)];
}

int TVTListData::rowCount() const {
    std::lock_guard lock(mutex);
    return static_cast<int>(rows.size());
}

TVTListData::Row& TVTListData::createColumnLocked(std::size_t row, std::size_t col) {
    if (rows.size() <= row) {
        rows.resize(row + 1);
    }
    assert(row < rows.size() && "rowData");
    Row& cells = rows[row];
    if (cells.size() <= col) {
        cells.resize(col + 1);
    }
    return cells;
}
