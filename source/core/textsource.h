#pragma once

#include <string>

// Where user-visible texts are looked up by key. The model labels its rows through this, so it
// needs no knowledge of where languages are stored.
class ITextSource {
public:
    virtual ~ITextSource() = default;
    // The text of `key` in the current language, or `key` itself when it has none.
    virtual std::string GetText(const std::string& key) const = 0;
};
