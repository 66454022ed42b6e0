// The field cursor on any parameter text: it ends, counts what it will give, and gives only
// parts of the text it was given.

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/fieldcursor.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text = FuzzText(data, size);
    const std::string_view whole = text;
    CFieldCursor cursor(whole);
    FUZZ_CHECK(cursor.AtEnd() == text.empty());
    std::size_t remaining = cursor.Remaining();
    std::size_t given = 0;
    while (!cursor.AtEnd()) {
        FUZZ_CHECK(remaining > 0);
        const std::string_view field = cursor.Next();
        ++given;
        // Views into the text itself, never past its end.
        FUZZ_CHECK(field.empty() || (field.data() >= whole.data() &&
                                     field.data() + field.size() <= whole.data() + whole.size()));
        FUZZ_CHECK(cursor.Remaining() == remaining - 1);
        remaining = cursor.Remaining();
        // Each field takes at least its comma, so there are never more fields than commas + 1.
        FUZZ_CHECK(given <=
                   static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
    }
    FUZZ_CHECK(remaining == 0);
    FUZZ_CHECK(cursor.Next().empty());
    // Without quotes the fields joined by commas are the text.
    if (text.find('"') == std::string::npos && !text.empty()) {
        CFieldCursor again(whole);
        std::string joined;
        while (!again.AtEnd()) {
            joined += again.Next();
            joined += again.AtEnd() ? "" : ",";
        }
        FUZZ_CHECK(joined == text);
    }
    return 0;
}
