#pragma once

#include <cstdint>
#include <string>

#include "core/refobject.h"

// What the phonebook controllers are handed instead of the main window's table: an object that
// supplies the positions to work on (and the entries to write) or receives what was read. The
// controllers keep a plain pointer and drive the cursor alone; whoever queues a controller keeps
// the object alive and resets its cursor first.

// Receives the entries of one range read. The range is First() to Last(); every position of
// it is given an entry, empty where the module lists nothing.
class IPhoneBookDataCollector : public CRefObject {
public:
    // `number` and `value` both carry the entry's number field, taken from the listing line in
    // two ways that agree for every well-formed line.
    virtual void SetEntry(int32_t position, const std::string& number,
                          const std::string& value) = 0;
    // Returns the current position and moves on by one.
    virtual int32_t NextPosition() = 0;
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    virtual int32_t Current() const = 0;
};

// Supplies the entries to write, one position at a time, in increasing order.
class IPhoneBookDataProvider : public CRefObject {
public:
    virtual std::string GetNumber(int32_t position) = 0;
    virtual std::string GetText(int32_t position) = 0;
    virtual std::string GetType(int32_t position) = 0;
    // Returns the current position and moves on by one.
    virtual int32_t NextPosition() = 0;
    // May move the cursor forward to the next position that is to be written.
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    virtual int32_t Current() const = 0;
};

// Supplies the positions to empty.
class IPhoneBookDelete : public CRefObject {
public:
    // Returns the current position and moves on by one.
    virtual int32_t NextPosition() = 0;
    virtual bool HasMore() = 0;
    virtual int32_t First() const = 0;
    virtual int32_t Last() const = 0;
    virtual int32_t Current() const = 0;
};
