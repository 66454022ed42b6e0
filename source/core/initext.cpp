#include "core/initext.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Windows compares profile names in the user's code page; for Windows-1252 that pairs the ASCII
// letters, the Latin-1 letters C0..DE (without the multiplication sign) and four letters of the
// 80..9F block.
uint8_t FoldCase(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<uint8_t>(c + 0x20);
    }
    switch (c) {
        case 0x8A:
        case 0x8C:
        case 0x8E:
            return static_cast<uint8_t>(c + 0x10);
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
}

// Calls `visit(text, eol)` for each line of `content`: its text, and its ending ("\r\n", "\n",
// or empty for a last line without one). A text that ends in a line ending has no empty line
// after it.
template <typename Visit>
void ForEachLine(std::string_view content, Visit&& visit) {
    std::size_t pos = 0;
    while (pos < content.size()) {
        const auto newline = content.find('\n', pos);
        if (newline == std::string_view::npos) {
            visit(content.substr(pos), std::string_view());
            return;
        }
        const bool crlf = newline > pos && content[newline - 1] == '\r';
        const auto end = crlf ? newline - 1 : newline;
        visit(content.substr(pos, end - pos), content.substr(end, newline + 1 - end));
        pos = newline + 1;
    }
}

enum class LineKind { Other, Section, Key };

struct LineInfo {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::size_t valueStart = 0;  // index just after the "=" of a key line
};

LineInfo Classify(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos || text[first] == ';') {
        return {};
    }
    if (text[first] == '[') {
        // The last "]" closes the name, so a name may itself hold one.
        const auto close = text.rfind(']');
        if (close == std::string_view::npos || close < first) {
            return {};
        }
        return {LineKind::Section, Trim(text.substr(first + 1, close - first - 1)), 0};
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    const std::string_view name = Trim(text.substr(0, equals));
    if (name.empty()) {
        return {};
    }
    return {LineKind::Key, name, equals + 1};
}

std::string_view LineEndingOf(std::string_view content) {
    const auto newline = content.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || content[newline - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

template <typename Names>
std::vector<std::string> ListNames(const Names& names) {
    std::vector<std::string> listed;
    std::size_t used = 1;  // the zero byte that closes the list
    for (const std::string_view name : names) {
        // An empty name would end the zero-separated list early.
        if (name.empty()) {
            continue;
        }
        if (used + name.size() + 1 > CIniText::kListBufferSize) {
            break;
        }
        used += name.size() + 1;
        listed.emplace_back(name);
    }
    return listed;
}

}  // namespace

bool SameIniName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(static_cast<uint8_t>(a[i])) != FoldCase(static_cast<uint8_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::size_t CIniText::FoldedHash::operator()(std::string_view name) const {
    // FNV-1a over the folded bytes, so that names SameIniName pairs hash alike.
    std::size_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash = (hash ^ FoldCase(static_cast<uint8_t>(c))) * 1099511628211ull;
    }
    return hash;
}

CIniText::CIniText(std::string content) : text(std::move(content)) {
    Section* current = nullptr;  // null before the first section and in a repeated one
    std::size_t keysInSection = 0;
    ForEachLine(text, [&](std::string_view line, std::string_view) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section) {
            ++sectionLines;
            keysInSection = 0;
            const auto [found, added] = sectionIndex.try_emplace(info.name, sections.size());
            current = nullptr;
            if (added) {
                sections.push_back(Section{info.name, {}, {}});
                current = &sections.back();
            }
            return;
        }
        if (info.kind != LineKind::Key || sectionLines == 0) {
            return;
        }
        largestSection = std::max(largestSection, ++keysInSection);
        if (current != nullptr &&
            current->values.try_emplace(info.name, line.substr(info.valueStart)).second) {
            current->keyOrder.push_back(info.name);
        }
    });
}

const CIniText::Section* CIniText::Find(std::string_view section) const {
    const auto found = sectionIndex.find(Trim(section));
    return found == sectionIndex.end() ? nullptr : &sections[found->second];
}

std::optional<std::string> CIniText::Value(std::string_view section, std::string_view key) const {
    const Section* found = Find(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto entry = found->values.find(Trim(key));
    if (entry == found->values.end()) {
        return std::nullopt;
    }
    std::string_view value = Trim(entry->second);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

std::vector<std::string> CIniText::Sections() const {
    std::vector<std::string_view> names;
    names.reserve(sections.size());
    for (const Section& section : sections) {
        names.push_back(section.name);
    }
    return ListNames(names);
}

std::vector<std::string> CIniText::Keys(std::string_view section) const {
    const Section* found = Find(section);
    return found == nullptr ? std::vector<std::string>() : ListNames(found->keyOrder);
}

namespace {

// What a batch of writes does to one section, worked out before the text is written out.
struct SectionEdit {
    std::string name;        // as the first write spelled it, for a new section
    bool exists = false;     // the text has the section
    bool isNew = false;      // appended at the end of the text
    std::size_t anchor = 0;  // line after which new keys go: its last key line, else its header
    // The key lines of the section that the writes name, by line number (kNone: no such line).
    std::unordered_map<std::string, std::size_t> keyLines;
    // New keys in the order they are added, each with its last value.
    std::vector<std::pair<std::string, std::string>> added;
    std::unordered_map<std::string, std::size_t> addedIndex;
};

constexpr std::size_t kNone = SIZE_MAX;

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = static_cast<char>(FoldCase(static_cast<uint8_t>(c)));
    }
    return folded;
}

}  // namespace

std::string CIniText::Edited(std::string_view content, const std::vector<CIniEntry>& entries) {
    // The sections and keys the writes name, found in one pass over the lines.
    std::unordered_map<std::string, SectionEdit> edits;
    for (const CIniEntry& entry : entries) {
        edits[Folded(Trim(entry.section))].keyLines.try_emplace(Folded(Trim(entry.key)), kNone);
    }
    SectionEdit* current = nullptr;  // while in the first section of a name a write names
    std::size_t number = 0;
    ForEachLine(content, [&](std::string_view line, std::string_view) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section) {
            const auto edit = edits.find(Folded(info.name));
            current = edit != edits.end() && !edit->second.exists ? &edit->second : nullptr;
            if (current != nullptr) {
                current->exists = true;
                current->anchor = number;
            }
        } else if (info.kind == LineKind::Key && current != nullptr) {
            current->anchor = number;
            const auto key = current->keyLines.find(Folded(info.name));
            if (key != current->keyLines.end() && key->second == kNone) {
                key->second = number;
            }
        }
        ++number;
    });

    // The writes in order; a later write of the same key wins.
    std::unordered_map<std::size_t, std::string> replaced;  // line number to its new value
    std::vector<const SectionEdit*> newSections;
    for (const CIniEntry& entry : entries) {
        SectionEdit& edit = edits[Folded(Trim(entry.section))];
        std::string key = Folded(Trim(entry.key));
        if (const std::size_t line = edit.keyLines[key]; line != kNone) {
            replaced[line] = entry.value;
            continue;
        }
        if (!edit.exists && !edit.isNew) {
            edit.isNew = true;
            edit.name = Trim(entry.section);
            newSections.push_back(&edit);
        }
        const auto [index, added] = edit.addedIndex.try_emplace(std::move(key), edit.added.size());
        if (added) {
            edit.added.emplace_back(Trim(entry.key), entry.value);
        } else {
            edit.added[index->second].second = entry.value;
        }
    }
    std::unordered_map<std::size_t, const SectionEdit*> anchors;
    for (const auto& [name, edit] : edits) {
        if (edit.exists && !edit.added.empty()) {
            anchors[edit.anchor] = &edit;
        }
    }

    const std::string_view eol = LineEndingOf(content);
    std::string result;
    result.reserve(content.size() + entries.size() * 32);
    bool lastBlank = true;  // the last line written holds no more than blanks
    bool lastEnded = true;  // the last line written has its line ending
    const auto putKeys = [&](const SectionEdit& edit) {
        for (const auto& [key, value] : edit.added) {
            result.append(key).append("=").append(value).append(eol);
            lastBlank = false;
            lastEnded = true;
        }
    };
    number = 0;
    ForEachLine(content, [&](std::string_view line, std::string_view lineEnd) {
        const auto anchor = anchors.find(number);
        if (const auto value = replaced.find(number); value != replaced.end()) {
            // Everything up to the "=" stays as the text has it (spelling, indentation).
            result.append(line.substr(0, Classify(line).valueStart)).append(value->second);
            lastBlank = false;
        } else {
            result.append(line);
            lastBlank = Trim(line).empty();
        }
        // A last line without an ending gets one when lines follow it.
        result.append(anchor != anchors.end() && lineEnd.empty() ? eol : lineEnd);
        lastEnded = !lineEnd.empty() || anchor != anchors.end();
        if (anchor != anchors.end()) {
            putKeys(*anchor->second);
        }
        ++number;
    });
    for (const SectionEdit* edit : newSections) {
        if (!result.empty()) {
            if (!lastEnded) {
                result.append(eol);
            }
            if (!lastBlank) {
                result.append(eol);
            }
        }
        result.append("[").append(edit->name).append("]").append(eol);
        lastBlank = false;
        putKeys(*edit);
    }
    return result;
}
