// The INI reader on any file: every section it lists has the keys it lists, each of which
// reads back as a value (never the default), within the value length; names are listed once,
// never empty, and fit the listing buffer.

#include <algorithm>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "fuzzcheck.h"

namespace {

// No value can hold a line feed, so a read that gives it back found nothing.
const char kMissing[] = "\n";

// Each name is followed by a zero byte in the listing buffer, and one more closes the list.
void CheckListing(const std::vector<std::string>& names) {
    std::size_t used = 1;
    for (const std::string& name : names) {
        FUZZ_CHECK(!name.empty());
        used += name.size() + 1;
    }
    FUZZ_CHECK(used <= CIniFile::kListBufferSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FuzzFile file(FuzzText(data, size));
    const CIniFile ini(file.Path());
    const std::vector<std::string> sections = ini.ReadSections();
    CheckListing(sections);
    // Each read takes the whole file again; a few dozen names show every path.
    const std::size_t checked = std::min<std::size_t>(sections.size(), 32);
    for (std::size_t s = 0; s < checked; ++s) {
        const std::string& section = sections[s];
        const std::vector<std::string> keys = ini.ReadKeys(section);
        CheckListing(keys);
        for (std::size_t k = 0; k < std::min<std::size_t>(keys.size(), 32); ++k) {
            const std::string value = ini.ReadString(section, keys[k], kMissing);
            FUZZ_CHECK(value != kMissing);
            FUZZ_CHECK(value.size() <= CIniFile::kMaxValueLength);
            FUZZ_CHECK(value.find('\n') == std::string::npos);
        }
        FUZZ_CHECK(ini.ReadString(section, "no such key\n", "default") == "default");
    }
    return 0;
}
