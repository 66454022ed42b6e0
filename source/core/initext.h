#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One key to write: section, key and value as a caller gives them.
struct CIniEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Compares section and key names as Windows does for profiles in the Windows-1252 code page:
// without regard to letter case, the letters of the code page included.
bool SameIniName(std::string_view a, std::string_view b);

// The contents of one INI file, parsed once, with the rules of the Windows private-profile
// functions: a section line is "[name]" (the last "]" closes the name), a key line is the key,
// "=" and the value; lines whose first non-blank byte is ";" are comments, and lines before the
// first section belong to none. Names are compared with SameIniName after blanks at both ends
// are removed. When a section or key occurs twice, the first one counts. Lines end in CR LF or
// LF. The text is Windows-1252 and is never converted.
//
// Lookups cost no more than a hash of the name; the parse keeps views into the text, so an
// object is neither copied nor moved.
class CIniText {
public:
    // The longest value a read returns; longer values are cut.
    static constexpr std::size_t kMaxValueLength = 2047;
    // Listings pass through a buffer of this size, each name followed by a zero byte and the
    // list closed by one more. Names that do not fit whole are left out, together with all that
    // follow them: a name cut short would be a name that does not exist.
    static constexpr std::size_t kListBufferSize = 16384;

    explicit CIniText(std::string text);
    CIniText(const CIniText&) = delete;
    CIniText& operator=(const CIniText&) = delete;

    const std::string& Text() const { return text; }

    // The text after the key's first "=", with blanks at both ends and then one pair of
    // enclosing double or single quotes removed, at most kMaxValueLength bytes; nothing when
    // the section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Section names, then the key names of one section, in file order, without duplicates,
    // through the list buffer.
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

    // Section lines, duplicates included, and the most key lines under one section line: what
    // a reader bounds to refuse a file that is no file of its kind.
    std::size_t SectionLineCount() const { return sectionLines; }
    std::size_t LargestSectionKeyCount() const { return largestSection; }

    // `text` with the entries written one after the other, as single writes would leave it: a
    // missing section is appended at the end of the text (after a blank line), an existing
    // key's value replaced in place (everything up to its "=" kept), a new key added after the
    // last key line of its section, and every other byte kept. New lines take the text's own
    // line ending (its first one), CR LF in an empty text. Names are trimmed; the caller has
    // made sure they can be stored and that no value holds a line break.
    static std::string Edited(std::string_view text, const std::vector<CIniEntry>& entries);

private:
    struct FoldedHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const { return SameIniName(a, b); }
    };
    template <typename T>
    using NameMap = std::unordered_map<std::string_view, T, FoldedHash, FoldedEqual>;

    // The first section of its name, with the first key line of each name in it.
    struct Section {
        std::string_view name;
        std::vector<std::string_view> keyOrder;
        NameMap<std::string_view> values;  // key name to the raw text after its "="
    };

    const Section* Find(std::string_view section) const;

    std::string text;
    std::vector<Section> sections;
    NameMap<std::size_t> sectionIndex;
    std::size_t sectionLines = 0;
    std::size_t largestSection = 0;
};
