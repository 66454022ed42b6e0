#pragma once

#include <cstdint>
#include <string>

#include "engine/controllerbase.h"
#include "vtlistdata.h"

// Rewrites only the messages whose SMS-table row has a change (a new text, a new number or the
// delete mark): each such message is deleted and its replacement stored at once, so that the
// module, which stores at its lowest free index, puts it back at the same index. Row r is
// message r + 1. It never retries: the first bad reply ends it.
class CControllerSmartWriteSms : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_SMART_WRITE_SMS_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 8000;
    // Working states: delete the changed row's message, send its header, send its text.
    static constexpr uint8_t stDELETE = 2;
    static constexpr uint8_t stHEADER = 3;
    static constexpr uint8_t stTEXT = 4;

    // The table is lent and must outlive the controller.
    CControllerSmartWriteSms(TVTListData* table, int32_t newNumberColumn, int32_t newTextColumn,
                             int32_t deleteColumn, int32_t currentNumberColumn,
                             int32_t currentTextColumn);

    // After the finish: a replacement was stored at another index than its own (or not
    // confirmed), so the store's order is no longer known and everything must be rewritten.
    bool IsIndexMismatch() const { return indexMismatch; }
    // Where the module stored the message instead, after an index mismatch; -1 when its
    // report named no index.
    int32_t GetStoredIndex() const { return storedIndex; }

protected:
    void DoAction(uint8_t action) override;
    void PrepareDescription() override;
    void PrepareProgress() override;

private:
    void actionDelete();
    void actionHeader();
    void actionText();
    // The row's new value when one was typed, else its current one; empty for a row marked
    // for deletion.
    std::string ValueToStore(int32_t newColumn, int32_t currentColumn) const;
    bool IsChanged(int32_t row) const;

    const int32_t newTextColumn;
    const int32_t newNumberColumn;
    const int32_t deleteColumn;
    const int32_t currentTextColumn;
    const int32_t currentNumberColumn;
    // The message being rewritten; the search for the next change starts at its row + 1,
    // which is row `currentIndex`.
    int32_t currentIndex = 0;
    bool indexMismatch = false;
    int32_t storedIndex = -1;
    TVTListData* table;
};
