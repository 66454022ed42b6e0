#pragma once

#include <cstddef>
#include <string_view>

// Reads the parameters of one response line left to right, as the module writes them after
// the line's prefix: separated by commas, a quoted string keeping any comma inside its quotes.
// The cursor only looks into the text it is given, which must outlive it.
class CFieldCursor {
public:
    explicit CFieldCursor(std::string_view fields);

    // An empty text has no field; a text ending in a comma has an empty one after it.
    bool AtEnd() const { return atEnd; }
    // The next field: a quoted one without its quotes, an unquoted one as written up to the
    // next comma. Empty once the fields are used up.
    std::string_view Next();
    // How many fields are left, counted without moving on.
    std::size_t Remaining() const;

private:
    std::string_view rest;
    bool atEnd;
};
