#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/filestore.h"
#include "core/initext.h"

// Raised when a value cannot be written; the message is "Unable to write to " and the file
// name as the INI file was opened with.
class EIniWriteError : public std::runtime_error {
public:
    explicit EIniWriteError(const std::string& fileName);
};

// What a file may hold before it is refused as no file of its kind. Reading and writing cost
// time in proportion to the size; the other two keep a hostile file from filling a menu or
// the memory with names.
struct CIniLimits {
    std::uintmax_t maxBytes = 4 * 1024 * 1024;
    std::size_t maxSections = std::numeric_limits<std::size_t>::max();
    std::size_t maxKeysPerSection = std::numeric_limits<std::size_t>::max();
};

// What became of the last look at the file.
enum class EIniFileState {
    Read,             // its contents answer the reads
    Missing,          // there is no such file
    NotAFile,         // a folder, a device, a pipe
    Unreadable,       // it could not be opened or read
    TooLarge,         // over the limit of bytes
    NotText,          // it holds a zero byte, which no text file does
    TooManySections,  // over the limit of section lines
    TooManyKeys,      // a section over the limit of key lines
};

// Single-key access to an INI file (settings, languages, profiles) with the behaviour of the
// Windows private-profile functions, so files move between this tool and Windows unchanged;
// CIniText gives the rules of the format.
//
// The file is read and parsed once; every read is answered from that parse, which is made
// afresh only when the file has changed on disk (another size, modification time or file) or
// through this object's own writes. Writes reach the file before they return, so two objects
// on the same file agree. A file outside the limits, or one that is not a text file, is
// refused: reads give their defaults, writes fail and leave it as it is. One object serves one
// thread at a time; objects on the same file in different threads are independent.
class CIniFile {
public:
    static constexpr std::size_t kMaxValueLength = CIniText::kMaxValueLength;
    static constexpr std::size_t kListBufferSize = CIniText::kListBufferSize;

    explicit CIniFile(std::string fileName, CIniLimits limits = {});
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    const std::string& FileName() const { return fileName; }

    // The state of the file as it is now, and for any state but Read what is wrong with it,
    // to follow the file's name in a message: "does not exist", "is larger than 4 MiB", ...
    EIniFileState State() const;
    std::string Problem() const;

    // The value as CIniText::Value reads it; `defaultValue` unchanged when the file, section or
    // key is missing or the file is refused.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Section names, then the key names of one section, in file order, without duplicates,
    // through a buffer of kListBufferSize bytes; empty when the file is missing or refused.
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadKeys(const std::string& section) const;

    // The parse the reads answer from now, or null when the file is refused. It stays whole
    // whatever becomes of the file, so a caller that reads many keys through it sees one
    // version of the file, never keys of one and values of the next, and looks at the disk once.
    std::shared_ptr<const CIniText> Snapshot() const;

    // Writes one key, as WriteStrings does.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Writes the entries one after the other as CIniText::Edited does, with one read of the
    // file and one replacement of it: creates the file if needed and keeps every byte the
    // entries do not change. CR and LF in a value are written as blanks, since a line break
    // would split the value into lines of its own. The new contents go to a temporary file
    // beside the target that then replaces it, with the target's permissions, so a failure
    // never leaves half a file; a symbolic link stays and its target is written. Throws
    // EIniWriteError, having changed nothing, when the file cannot be written: it is refused or
    // would be after the write, it is read-only, or a section or key name cannot be stored
    // (empty, holding a line break, or a key holding "=" or starting with "[" or ";").
    void WriteStrings(const std::vector<CIniEntry>& entries);

private:
    // Looks at the file and parses it again when it is not the version parsed last.
    void Refresh() const;
    void Refuse(EIniFileState state, std::string problem) const;
    // The parse of `content`, or the state that refuses it.
    EIniFileState Check(std::string content, std::unique_ptr<CIniText>& parsed) const;

    std::string fileName;
    CIniLimits limits;
    mutable bool looked = false;
    mutable CFileStamp stamp;
    mutable EIniFileState state = EIniFileState::Missing;
    mutable std::string problem;
    mutable std::shared_ptr<const CIniText> parsed;
};
