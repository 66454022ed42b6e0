#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "atcomm/phonebookdata.h"
#include "model/datacursor.h"
#include "vtlistdata.h"

// The three objects between the phonebook controllers and the phonebook table. They hold no
// data of their own: every value goes straight into or out of the table, position p being
// table row p - 1. The table is lent and must outlive them.
//
// The main window calls Reset before it hands an object to a new controller, and SetLast with
// the phonebook size whenever that is set. Last is 0 until then, so nothing is read, written
// or deleted before the size is known.

// Fills one column (the current number) from a range read of positions 1 to last.
class CPhoneBookDataCollector : public TDataCursor<IPhoneBookDataCollector> {
public:
    CPhoneBookDataCollector(TVTListData* table, int32_t column);

    void Reset();
    void SetLast(int32_t position) { last = position; }

    // Stores `value` (the entry's number) into row position - 1. A position outside first..last
    // is not one the read asked for and names no row of the table: it is skipped.
    void SetEntry(int32_t position, const std::string& number, const std::string& value) override;
    int32_t NextPosition() override { return current++; }
    // The whole range is read with one command, so there is more only until it has been taken.
    bool HasMore() override { return current < 2; }

private:
    int32_t column;
    TVTListData* table;
};

// Offers exactly the positions from 1 to last whose write mark is set, in increasing order,
// with the number typed for them and the name and type their kind of entry needs.
class CPhoneBookDataProvider : public TDataCursor<IPhoneBookDataProvider> {
public:
    CPhoneBookDataProvider(TVTListData* table, int32_t currentNumberColumn, int32_t newNumberColumn,
                           int32_t writeMarkColumn);

    void Reset();
    void SetLast(int32_t position) { last = position; }

    std::string GetNumber(int32_t position) override;
    // "" for the setting entries, "ACCESS" for access numbers.
    std::string GetText(int32_t position) override;
    // "129" for the setting entries, "145" for access numbers.
    std::string GetType(int32_t position) override;
    int32_t NextPosition() override { return current++; }
    // Moves the cursor on to the next marked position; the position found stays current
    // until NextPosition takes it.
    bool HasMore() override;

private:
    // Kept for symmetry with the collector; a write sends only the new side.
    [[maybe_unused]] int32_t currentNumberColumn;
    int32_t newNumberColumn;
    int32_t writeMarkColumn;
    TVTListData* table;
};

// Offers every position from 1 to last, whatever the table holds.
class CPhoneBookDeleteProvider : public TDataCursor<IPhoneBookDelete> {
public:
    explicit CPhoneBookDeleteProvider(TVTListData* table);

    void Reset();
    void SetLast(int32_t position) { last = position; }

    int32_t NextPosition() override { return current++; }
    bool HasMore() override { return current <= last; }

private:
    [[maybe_unused]] TVTListData* table;  // a delete needs nothing from the table
};

// Notes which positions of a range hold an entry, so that an erase can skip the empty ones.
// A position the read lists without a number counts as empty here: the count check that
// follows such an erase finds it and falls back to the full sweep.
class CPhoneBookOccupancy : public TDataCursor<IPhoneBookDataCollector> {
public:
    CPhoneBookOccupancy() : TDataCursor(1, 0, 1) {}

    // Forgets what an earlier read found; the next read covers 1 to `lastPosition`.
    void Reset(int32_t lastPosition);
    void SetEntry(int32_t position, const std::string& number, const std::string& value) override;
    int32_t NextPosition() override { return current++; }
    bool HasMore() override { return current < 2; }

    // In increasing order, each once.
    std::vector<int32_t> Occupied() const;

private:
    std::vector<bool> occupied;
};

// Offers the positions an occupancy read found, in increasing order; it takes them when it is
// reset, so it is reset once the read has finished.
class CPhoneBookOccupiedDelete : public TDataCursor<IPhoneBookDelete> {
public:
    explicit CPhoneBookOccupiedDelete(const CPhoneBookOccupancy& occupancy)
        : TDataCursor(1, 0, 1), occupancy(occupancy) {}

    void Reset();
    int32_t NextPosition() override;
    bool HasMore() override { return current <= last; }

private:
    const CPhoneBookOccupancy& occupancy;
    std::vector<int32_t> positions;
};
