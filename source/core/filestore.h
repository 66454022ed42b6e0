#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The few file-system calls behind an INI file's reads and its whole-file replacement, one
// implementation file per platform; what to read and write is decided by CIniFile.

// What identifies one version of a file on disk.
struct CFileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const CFileStamp&) const = default;
};

// A file's contents, at most a given size of them.
struct CBoundedRead {
    enum class EResult { read, missing, unreadable, notAFile, tooLarge };
    EResult result = EResult::read;
    // Why an unreadable file cannot be read, in the system's words.
    std::string reason;
    bool isFolder = false;
    CFileStamp stamp;
    std::string content;
};

// The file's contents when it is a regular file of at most `maxBytes`; one byte more is
// enough to refuse it, even when the file grows while it is read.
CBoundedRead ReadBounded(const std::string& path, std::uintmax_t maxBytes);

// The stamp of a regular file; nothing for anything else, or when it cannot be looked at.
std::optional<CFileStamp> RegularFileStamp(const std::string& path);

// A file about to be replaced, as found before the write.
struct CReplaceTarget {
    std::string path;  // a symbolic link resolved, so the link itself survives
    bool created = false;
    // The owner and permissions a replacement takes over, where the platform has them.
    uint32_t mode = 0;
    uint32_t owner = 0;
    uint32_t group = 0;
};

// Opening the file itself for writing is the test that counts: the folder may allow a new
// file while the file is read-only, is a folder, or is a device, and then the write must fail.
// A missing file is created empty (and `created` set).
std::optional<CReplaceTarget> PrepareTarget(const std::string& fileName);

// Replaces the target's contents as a whole, through a temporary file beside it, so that a
// failure never leaves half a file; the file's stamp afterwards, or nothing when it failed.
std::optional<CFileStamp> ReplaceContent(const CReplaceTarget& target, const std::string& content);

// Removes a file that PrepareTarget created, when the write that wanted it failed.
void RemoveCreated(const CReplaceTarget& target);
