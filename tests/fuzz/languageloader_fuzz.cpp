// Any languages file: every language it offers loads, each of its keys reads as its text (or
// as the key itself when the text is empty), in any letter case, and an unknown key reads as
// itself.

#include <memory>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "fuzzcheck.h"
#include "persistence/languageloaderini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FuzzFile file(FuzzText(data, size));
    CLanguageLoaderIni loader(file.Path());
    // Read under the loader's own bounds, so a refused file is told from an accepted one by its
    // state: a refused file may well list just "English" itself.
    const CIniFile ini(file.Path(), CLanguageLoaderIni::kLimits);
    std::vector<std::string> languages{"stale"};
    loader.GetLanguages(languages);
    if (ini.State() != EIniFileState::Read || ini.ReadSections().empty()) {
        // Only the built-in English is offered, and the loader says why.
        FUZZ_CHECK(languages == std::vector<std::string>{"English"});
        FUZZ_CHECK(!loader.Problem("English").empty());
        return 0;
    }
    FUZZ_CHECK(languages == ini.ReadSections());
    const std::shared_ptr<const CIniText> parsed = ini.Snapshot();
    for (std::size_t l = 0; l < languages.size() && l < 8; ++l) {
        loader.Load(languages[l]);
        const std::vector<std::string> keys = parsed->Keys(languages[l]);
        for (std::size_t k = 0; k < keys.size() && k < 32; ++k) {
            const std::string text = parsed->Value(languages[l], keys[k]).value_or("");
            FUZZ_CHECK(loader.GetText(keys[k]) == (text.empty() ? keys[k] : text));
            std::string upper = keys[k];
            for (char& c : upper) {
                c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            }
            FUZZ_CHECK(loader.GetText(upper) == (text.empty() ? upper : text));
        }
        FUZZ_CHECK(loader.GetText("no such key\n") == "no such key\n");
    }
    return 0;
}
