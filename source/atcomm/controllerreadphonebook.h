#pragma once

#include <cstdint>
#include <string>

#include "atcomm/phonebookdata.h"
#include "engine/controllerbase.h"

// Reads the collector's whole range of positions with one command and hands every position to
// the collector: the listed entries with their number, every other position empty.
class CControllerReadPhoneBook : public CControllerBase {
public:
    static constexpr char kDescriptionKey[] = "CONTROLLER_READ_PHONEBOOK_DESCRIPTION";
    static constexpr uint32_t kReplyTimeoutMs = 22000;
    // Reads after the first that a failed read may take.
    static constexpr int32_t kAttempts = 3;

    // The collector is lent: its owner keeps it alive and resets it before queueing.
    explicit CControllerReadPhoneBook(IPhoneBookDataCollector* collector);

protected:
    void DoAction(uint8_t action) override;
    void PrepareDescription() override;
    void PrepareProgress() override;

private:
    void ParseReply();

    int32_t attemptsLeft = kAttempts;
    IPhoneBookDataCollector* collector;
};
