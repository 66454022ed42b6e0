#pragma once

#include <string>
#include <vector>

// Where the texts of a language come from. Texts and names are Windows-1252 byte strings.
class ILanguageLoader {
public:
    virtual ~ILanguageLoader() = default;
    // Replaces the loaded texts by those of `language`.
    virtual void Load(const std::string& language) = 0;
    // The text of `key` in the loaded language, or `key` itself when it has none.
    virtual std::string GetText(const std::string& key) const = 0;
    // Replaces the contents of `list` by the names of the languages on offer, in their order.
    virtual void GetLanguages(std::vector<std::string>& list) const = 0;
    // Why `language` cannot be loaded as the user chose it, in one English sentence (UTF-8)
    // that names the file; empty when it can.
    virtual std::string Problem(const std::string& language) const = 0;
};
