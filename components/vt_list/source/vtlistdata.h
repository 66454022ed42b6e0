#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The cell store behind the grids: a growable table of Windows-1252 texts. Rows and columns
// appear on demand and are never removed; a row may have fewer columns than another.
//
// The providers fill the tables on the worker thread while the grids paint them on the GUI
// thread, so every operation takes the store's lock and nothing hands out a reference into
// the rows: readers get copies that stay valid whatever the other thread does next.
//
// Row and column numbers count from 0. A negative number names no cell: reads give the empty
// answer and writes do nothing, so a caller's slip never turns into a huge allocation.
class TVTListData {
public:
    using Row = std::vector<std::string>;

    TVTListData() = default;
    TVTListData(const TVTListData&) = delete;
    TVTListData& operator=(const TVTListData&) = delete;

    // The cell text; "" when the row does not exist or has no such column.
    std::string getData(int row, int col) const;
    // Creates missing rows (empty) up to `row` and missing columns ("") in that row up to
    // `col`, then stores the text.
    void setData(int row, int col, const std::string& text);

    bool rowExists(int row) const;
    // Appends empty rows until `row` exists.
    void createRow(int row);
    // True when the row exists and has more than `col` columns.
    bool columnExists(int row, int col) const;
    // Makes sure the cell exists (rows and columns as setData) and returns a copy of the row
    // as it is then; an empty row for a negative number.
    Row createColumn(int row, int col);
    // A copy of the row, or nothing when the row does not exist.
    std::optional<Row> getRow(int row) const;

    int rowCount() const;

private:
    // Callers hold `mutex`.
    Row& createColumnLocked(std::size_t row, std::size_t col);

    mutable std::mutex mutex;
    std::vector<Row> rows;
};
