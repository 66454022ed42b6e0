#pragma once

#include <cstdint>

// The small cursor every provider and collector keeps over its table: the first and last
// position (or message index) it works on and the current one. The controllers read the three
// values for their commands and their progress display.
template <class Interface>
class TDataCursor : public Interface {
public:
    int32_t First() const override { return first; }
    int32_t Last() const override { return last; }
    int32_t Current() const override { return current; }

protected:
    TDataCursor(int32_t first, int32_t last, int32_t current)
        : first(first), last(last), current(current) {}

    int32_t first;
    int32_t last;
    int32_t current;
};
