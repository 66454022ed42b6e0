#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "persistence/languageloader.h"

// Languages from one INI file holding them all: each section is a language named by the
// section, each key of it a text key with its text. A file that cannot be used (missing, not a
// text file, holding no language, or beyond the limits below) offers English only; English then,
// and whenever the file has no section of that name, has the texts the program carries.
class CLanguageLoaderIni : public ILanguageLoader {
public:
    // Far beyond any real language file (it has two languages of about 130 keys in 10 KB), and
    // small enough that a hostile one is refused at once.
    static constexpr CIniLimits kLimits{4 * 1024 * 1024, 100, 2000};

    explicit CLanguageLoaderIni(const std::string& fileName);

    // A language the file does not offer leaves nothing loaded, so every key then reads as
    // itself; English is then the program's own.
    void Load(const std::string& language) override;
    // Keys compare without regard to letter case; the first key of the section that matches
    // counts. An empty text reads as the key, so an untranslated key shows its own name.
    std::string GetText(const std::string& key) const override;
    void GetLanguages(std::vector<std::string>& list) const override;
    std::string Problem(const std::string& language) const override;

private:
    // Why the file cannot be used, after its name; empty when it can.
    std::string FileProblem() const;

    // Key and text, in the order of the keys in the file.
    std::vector<std::pair<std::string, std::string>> texts;
    CIniFile file;
};
