#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "persistence/languageloader.h"

// Languages from one INI file holding them all: each section is a language named by the
// section, each key of it a text key with its text.
class CLanguageLoaderIni : public ILanguageLoader {
public:
    explicit CLanguageLoaderIni(const std::string& fileName);

    // A missing file or section leaves nothing loaded, so every key then reads as itself.
    void Load(const std::string& language) override;
    // Keys compare without regard to letter case; the first key of the section that matches
    // counts. An empty text reads as the key, so an untranslated key shows its own name.
    std::string GetText(const std::string& key) const override;
    void GetLanguages(std::vector<std::string>& list) const override;

private:
    // Key and text, in the order of the keys in the file.
    std::vector<std::pair<std::string, std::string>> texts;
    CIniFile file;
};
