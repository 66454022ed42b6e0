#pragma once

#include <cstdint>
#include <string>

#include "atcomm/smsdata.h"
#include "model/datacursor.h"
#include "vtlistdata.h"

// The three objects between the SMS controllers and the SMS table. Message index i is table
// row i - 1. They always work on the unit's 28 alarm messages, whatever else the table or the
// module's store holds, so a message the unit does not use never lands in a row. The table is
// lent and must outlive them; the main window calls Reset before each controller.

// Fills the current number and current text columns from a listing.
class CSmsDataCollector : public TDataCursor<ISmsDataCollector> {
public:
    // Throws std::invalid_argument for a null table.
    CSmsDataCollector(TVTListData* table, int32_t numberColumn, int32_t textColumn);

    void Reset();

    // Stores into the pending row and moves the pending row and the current index to the read
    // cursor. No controller uses it.
    void SetPendingMessage(const std::string& number, const std::string& text) override;
    // Stores into row index - 1; the storage index alone decides the row. An index outside
    // 1 to 28 belongs to no alarm message and is skipped.
    void SetMessage(int32_t index, const std::string& number, const std::string& text) override;
    int32_t NextIndex() override { return readCursor++; }
    bool HasMore() override { return readCursor <= last; }

private:
    void Store(int32_t index, const std::string& number, const std::string& text);

    TVTListData* table;
    int32_t readCursor = 1;
    int32_t numberColumn;
    int32_t textColumn;
    int32_t pending = 1;
};

// Supplies, for every index 1 to 28 in order, the message the unit should hold after a full
// write: the new value where one was typed, else the current one, and an empty message where
// the row is marked for deletion.
class CSmsDataProvider : public TDataCursor<ISmsDataProvider> {
public:
    CSmsDataProvider(TVTListData* table, int32_t newNumberColumn, int32_t newTextColumn,
                     int32_t deleteMarkColumn, int32_t currentNumberColumn,
                     int32_t currentTextColumn);

    void Reset();

    void Next() override { ++current; }
    std::string GetNumber() override;
    std::string GetText() override;
    bool HasMore() override { return current <= last; }

    // The value a full write stores for `row` from a new and a current column; the validation
    // checks the very same values before anything is sent.
    static std::string ValueToStore(const TVTListData& table, int32_t row, int32_t newColumn,
                                    int32_t currentColumn, int32_t deleteMarkColumn);

private:
    std::string ValueToStore(int32_t newColumn, int32_t currentColumn) const;

    TVTListData* table;
    int32_t newNumberColumn;
    int32_t newTextColumn;
    int32_t deleteMarkColumn;
    int32_t currentNumberColumn;
    int32_t currentTextColumn;
};

// Offers every index from 1 to 28; the delete marks play no part here.
class CSmsDeleteProvider : public TDataCursor<ISmsDelete> {
public:
    explicit CSmsDeleteProvider(TVTListData* table);

    void Reset();

    int32_t NextIndex() override { return current++; }
    bool HasMore() override { return current <= last; }

private:
    [[maybe_unused]] TVTListData* table;  // a delete needs nothing from the table
};

// Offers one storage index: a message the module stored where the unit never reads it, which
// would otherwise stay and, write after write, fill the message store.
class CSmsStrayDelete : public TDataCursor<ISmsDelete> {
public:
    explicit CSmsStrayDelete(int32_t index) : TDataCursor(index, index, index) {}

    int32_t NextIndex() override { return current++; }
    bool HasMore() override { return current <= last; }
};
