#include "core/inifile.h"

#include "core/filestore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace {

std::string SizeText(std::uintmax_t bytes) {
    constexpr std::uintmax_t kMiB = 1024 * 1024;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                             : std::to_string(bytes) + " bytes";
}

bool IsStorableSection(std::string_view name) {
    return !name.empty() && name.find_first_of("\r\n") == std::string_view::npos;
}

bool IsStorableKey(std::string_view name) {
    return !name.empty() && name.find_first_of("\r\n=") == std::string_view::npos &&
           name.front() != '[' && name.front() != ';';
}

std::string Trimmed(const std::string& text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

EIniWriteError::EIniWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

CIniFile::CIniFile(std::string fileName, CIniLimits limits)
    : fileName(std::move(fileName)), limits(limits) {}

CIniFile::~CIniFile() = default;

EIniFileState CIniFile::Check(std::string content, std::unique_ptr<CIniText>& result) const {
    if (content.size() > limits.maxBytes) {
        return EIniFileState::TooLarge;
    }
    if (content.find('\0') != std::string::npos) {
        return EIniFileState::NotText;
    }
    result = std::make_unique<CIniText>(std::move(content));
    if (result->SectionLineCount() > limits.maxSections) {
        result.reset();
        return EIniFileState::TooManySections;
    }
    if (result->LargestSectionKeyCount() > limits.maxKeysPerSection) {
        result.reset();
        return EIniFileState::TooManyKeys;
    }
    return EIniFileState::Read;
}

void CIniFile::Refuse(EIniFileState newState, std::string newProblem) const {
    state = newState;
    problem = std::move(newProblem);
    parsed.reset();
}

void CIniFile::Refresh() const {
    if (looked && RegularFileStamp(fileName) == stamp) {
        return;
    }
    looked = true;
    CBoundedRead file = ReadBounded(fileName, limits.maxBytes);
    // What was read is this version of the file; a later change shows in the next look.
    stamp = file.stamp;
    switch (file.result) {
        case CBoundedRead::EResult::read:
            break;
        case CBoundedRead::EResult::missing:
            // Looked at again each time, so a file created later is read.
            looked = false;
            return Refuse(EIniFileState::Missing, "does not exist");
        case CBoundedRead::EResult::notAFile:
            looked = false;
            return Refuse(EIniFileState::NotAFile,
                          file.isFolder ? "is a folder" : "is not a regular file");
        case CBoundedRead::EResult::unreadable:
            looked = false;
            return Refuse(EIniFileState::Unreadable, "cannot be read (" + file.reason + ")");
        default:
            return Refuse(EIniFileState::TooLarge, "is larger than " + SizeText(limits.maxBytes));
    }
    std::unique_ptr<CIniText> text;
    switch (Check(std::move(file.content), text)) {
        case EIniFileState::NotText:
            return Refuse(EIniFileState::NotText, "is not a text file");
        case EIniFileState::TooManySections:
            return Refuse(EIniFileState::TooManySections,
                          "has more than " + std::to_string(limits.maxSections) + " sections");
        case EIniFileState::TooManyKeys:
            return Refuse(EIniFileState::TooManyKeys, "has a section with more than " +
                                                          std::to_string(limits.maxKeysPerSection) +
                                                          " keys");
        default:
            state = EIniFileState::Read;
            problem.clear();
            parsed = std::move(text);
    }
}

EIniFileState CIniFile::State() const {
    Refresh();
    return state;
}

std::string CIniFile::Problem() const {
    Refresh();
    return problem;
}

std::string CIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    Refresh();
    if (!parsed) {
        return defaultValue;
    }
    return parsed->Value(section, key).value_or(defaultValue);
}

std::vector<std::string> CIniFile::ReadSections() const {
    Refresh();
    return parsed ? parsed->Sections() : std::vector<std::string>();
}

std::vector<std::string> CIniFile::ReadKeys(const std::string& section) const {
    Refresh();
    return parsed ? parsed->Keys(section) : std::vector<std::string>();
}

std::shared_ptr<const CIniText> CIniFile::Snapshot() const {
    Refresh();
    return parsed;
}

void CIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    WriteStrings({{section, key, value}});
}

void CIniFile::WriteStrings(const std::vector<CIniEntry>& entries) {
    std::vector<CIniEntry> stored;
    stored.reserve(entries.size());
    for (const CIniEntry& entry : entries) {
        CIniEntry put{Trimmed(entry.section), Trimmed(entry.key), entry.value};
        if (!IsStorableSection(put.section) || !IsStorableKey(put.key)) {
            throw EIniWriteError(fileName);
        }
        for (char& c : put.value) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        stored.push_back(std::move(put));
    }

    const auto target = PrepareTarget(fileName);
    if (!target) {
        throw EIniWriteError(fileName);
    }
    // A file this object would refuse to read is not the user's to lose: it is left as it is.
    // So is one that the write would make too large to be read back.
    std::unique_ptr<CIniText> before;
    std::unique_ptr<CIniText> after;
    std::optional<CFileStamp> written;
    if (!target->created) {
        CBoundedRead file = ReadBounded(target->path, limits.maxBytes);
        if (file.result == CBoundedRead::EResult::read) {
            Check(std::move(file.content), before);
        }
    }
    if ((before || target->created) &&
        Check(CIniText::Edited(before ? before->Text() : std::string(), stored), after) ==
            EIniFileState::Read) {
        written = ReplaceContent(*target, after->Text());
    }
    if (!written) {
        if (target->created) {
            RemoveCreated(*target);
        }
        throw EIniWriteError(fileName);
    }
    // The reads that follow are answered from what was just written.
    looked = true;
    stamp = *written;
    state = EIniFileState::Read;
    problem.clear();
    parsed = std::move(after);
}
