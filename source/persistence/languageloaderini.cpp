#include "persistence/languageloaderini.h"

#include <algorithm>
#include <memory>

#include "core/initext.h"
#include "core/win1252.h"
#include "persistence/builtinlanguage.h"

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

bool Offers(const std::vector<std::string>& languages, const std::string& language) {
    return std::any_of(languages.begin(), languages.end(),
                       [&](const std::string& name) { return SameIniName(name, language); });
}

}  // namespace

CLanguageLoaderIni::CLanguageLoaderIni(const std::string& fileName) : file(fileName, kLimits) {}

std::string CLanguageLoaderIni::FileProblem() const {
    if (file.State() != EIniFileState::Read) {
        return file.Problem();
    }
    return file.ReadSections().empty() ? "holds no language" : std::string();
}

void CLanguageLoaderIni::Load(const std::string& language) {
    texts.clear();
    // One version of the file for the whole language, however it changes meanwhile.
    std::shared_ptr<const CIniText> source = file.Snapshot();
    if (!source || !Offers(source->Sections(), language)) {
        source = SameIniName(language, kFallbackLanguage)
                     ? std::make_shared<const CIniText>(std::string(BuiltInEnglishSection()))
                     : nullptr;
    }
    if (!source) {
        return;
    }
    for (std::string& key : source->Keys(language)) {
        std::string text = source->Value(language, key).value_or("");
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
    if (FileProblem().empty()) {
        list = file.ReadSections();
    } else {
        list = {kFallbackLanguage};
    }
}

std::string CLanguageLoaderIni::Problem(const std::string& language) const {
    if (const std::string problem = FileProblem(); !problem.empty()) {
        return file.FileName() + " cannot be used: it " + problem + ".";
    }
    if (!Offers(file.ReadSections(), language)) {
        return file.FileName() + " has no language \"" + Win1252ToUtf8(language) + "\".";
    }
    return {};
}
