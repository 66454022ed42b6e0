#include "engine/fieldcursor.h"

CFieldCursor::CFieldCursor(std::string_view fields) : rest(fields), atEnd(fields.empty()) {}

std::string_view CFieldCursor::Next() {
    if (atEnd) {
        return {};
    }
    std::string_view field;
    std::size_t end = 0;
    if (rest.starts_with('"')) {
        const std::size_t close = rest.find('"', 1);
        // An unclosed quote runs to the end of the line; whatever follows a closing quote up to
        // the next comma is not part of the string.
        field =
            rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        end = close == std::string_view::npos ? rest.size() : rest.find(',', close + 1);
    } else {
        end = rest.find(',');
        field = rest.substr(0, end);
    }
    if (end == std::string_view::npos || end >= rest.size()) {
        rest = {};
        atEnd = true;
    } else {
        rest.remove_prefix(end + 1);
    }
    return field;
}

std::size_t CFieldCursor::Remaining() const {
    CFieldCursor copy = *this;
    std::size_t count = 0;
    while (!copy.AtEnd()) {
        copy.Next();
        ++count;
    }
    return count;
}
