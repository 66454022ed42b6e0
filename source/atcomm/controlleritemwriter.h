#pragma once

#include <cstdint>
#include <string>

#include "engine/controllerbase.h"

// The write and delete pattern shared by the phonebook writer, the phonebook delete and the SMS
// delete: one command per item, each followed by a progress step on the GUI thread. A command
// whose reply times out (which is how an error reply arrives) is sent again unchanged before
// the next item is taken; four failed tries in a row end the controller as failed, and every
// completed reply starts the count again.
class CControllerItemWriter : public CControllerBase {
public:
    // Tries after the first that one item may take.
    static constexpr int32_t kAttempts = 3;

protected:
    CControllerItemWriter(std::string name, uint32_t replyTimeoutMs, std::string descriptionKey);

    // The item source as the concrete controller sees it.
    virtual bool HasMoreItems() = 0;
    // Takes the next item from the source and returns its command text.
    virtual std::string TakeNextCommand() = 0;
    virtual int32_t ItemsLast() const = 0;
    virtual int32_t ItemsCurrent() const = 0;

    void DoAction(uint8_t action) override;
    void PrepareDescription() override;
    void PrepareProgress() override;

private:
    int32_t attemptsLeft = kAttempts;
    bool repeat = false;
};
