#include "persistence/languageloaderini.h"

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

CLanguageLoaderIni::CLanguageLoaderIni(const std::string& fileName) : file(fileName) {}

void CLanguageLoaderIni::Load(const std::string& language) {
    texts.clear();
    for (std::string& key : file.ReadKeys(language)) {
        std::string text = file.ReadString(language, key, "");
        texts.emplace_back(std::move(key), std::move(text));
    }
}

std::string CLanguageLoaderIni::GetText(const std::string& key) const {
    for (const auto& [name, text] : texts) {
        if (SameKey(name, key)) {
            return text.empty() ? key : text;
        }
    }
    return key;
}

void CLanguageLoaderIni::GetLanguages(std::vector<std::string>& list) const {
    list = file.ReadSections();
}
