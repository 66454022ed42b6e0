#include "atcomm/controllersmartwritesms.h"

#include "atcomm/replyparser.h"
#include "atcomm/smsstore.h"
#include "core/parseint.h"

CControllerSmartWriteSms::CControllerSmartWriteSms(TVTListData* table, int32_t newNumberColumn,
                                                   int32_t newTextColumn, int32_t deleteColumn,
                                                   int32_t currentNumberColumn,
                                                   int32_t currentTextColumn)
    : CControllerBase(stMAIN_STEP, "CControllerSmartWriteSms", kReplyTimeoutMs, kDescriptionKey),
      newTextColumn(newTextColumn),
      newNumberColumn(newNumberColumn),
      deleteColumn(deleteColumn),
      currentTextColumn(currentTextColumn),
      currentNumberColumn(currentNumberColumn),
      table(table) {
    SetChangesUnit();
    stringReader.SetExpected(kSmsPrompt);
}

void CControllerSmartWriteSms::PrepareDescription() {
    progressInfo.SetMaximum(table->rowCount());
}

void CControllerSmartWriteSms::PrepareProgress() {
    progressInfo.SetPosition(currentIndex - 1);
}

void CControllerSmartWriteSms::DoAction(uint8_t action) {
    switch (action) {
        case stDELETE:
            actionDelete();
            break;
        case stHEADER:
            actionHeader();
            break;
        case stTEXT:
            actionText();
            break;
        default:
            break;
    }
}

bool CControllerSmartWriteSms::IsChanged(int32_t row) const {
    return !table->getData(row, newTextColumn).empty() ||
           !table->getData(row, newNumberColumn).empty() ||
           !table->getData(row, deleteColumn).empty();
}

std::string CControllerSmartWriteSms::ValueToStore(int32_t newColumn, int32_t currentColumn) const {
    const int32_t row = currentIndex - 1;
    if (!table->getData(row, deleteColumn).empty()) {
        return {};
    }
    std::string value = table->getData(row, newColumn);
    return value.empty() ? table->getData(row, currentColumn) : value;
}

void CControllerSmartWriteSms::actionDelete() {
    const int32_t rows = table->rowCount();
    int32_t row = currentIndex;
    while (row < rows && !IsChanged(row)) {
        ++row;
    }
    if (row >= rows) {
        Finish(resultOk);
        return;
    }
    currentIndex = row + 1;
    const std::optional<bool> arrived =
        ExchangeUnlessCancelled("AT+CMGD=" + IntToStr(currentIndex) + "\r", kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (completed && ReplyContains("\r\nOK\r\n")) {
        m_currState = stHEADER;
    } else {
        Finish(resultFailed);
    }
}

void CControllerSmartWriteSms::actionHeader() {
    const std::optional<bool> arrived = ExchangeForPromptUnlessCancelled(
        SmsHeaderCommand(ValueToStore(newNumberColumn, currentNumberColumn)), kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool prompted = *arrived;
    if (prompted && ReplyContains(kSmsPrompt)) {
        m_currState = stTEXT;
    } else {
        Finish(resultFailed);
    }
}

void CControllerSmartWriteSms::actionText() {
    const std::optional<bool> arrived = ExchangeUnlessCancelled(
        SmsTextCommand(ValueToStore(newTextColumn, currentTextColumn)), kCommandPauseMs);
    if (!arrived) {
        return;
    }
    const bool completed = *arrived;
    if (!completed) {
        // An error reply arrives as a time-out: the store did not happen, so no other index
        // was taken and the order of the store is still known.
        Finish(resultFailed);
        return;
    }
    if (IsStoredAt(GetReply(), currentIndex)) {
        ReturnToProgressStep();
    } else {
        indexMismatch = true;
        storedIndex = ParseStoredIndex(GetReply());
        Finish(resultFailed);
    }
}
