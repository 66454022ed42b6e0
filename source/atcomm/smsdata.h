#pragma once

#include <cstdint>
#include <string>

#include "core/refobject.h"

// What the SMS controllers are handed instead of the main window's SMS table. Message indexes
// count from 1; index i is the message of table row i - 1, whatever order messages arrive in.

// Receives the stored messages of one listing.
class ISmsDataCollector : public CRefObject {
public:
    // Stores a message into the row the collector has pending and moves on; kept for callers
    // that deliver messages in order without their index. No controller uses it.
    virtual void SetPendingMessage(const std::string& number, const std::string& text) = 0;
    // Stores the message of storage index `index` (number and Windows-1252 text).
    virtual void SetMessage(int32_t index, const std::string& number, const std::string& text) = 0;
    // Returns the current index and moves on by one.
    virtual int32_t NextIndex() = 0;
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    virtual int32_t Current() const = 0;
};

// Supplies the messages to store, in index order; each must land at Current().
class ISmsDataProvider : public CRefObject {
public:
    // Moves to the next message.
    virtual void Next() = 0;
    // The current message's destination number (empty for none) and Windows-1252 text.
    virtual std::string GetNumber() = 0;
    virtual std::string GetText() = 0;
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    // The current message's index.
    virtual int32_t Current() const = 0;
};

// Supplies the message indexes to delete.
class ISmsDelete : public CRefObject {
public:
    // Returns the current index and moves on by one.
    virtual int32_t NextIndex() = 0;
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    virtual int32_t Current() const = 0;
};
