#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// Raised when a value cannot be written; the message is "Unable to write to " and the file
// name as the INI file was opened with.
class EIniWriteError : public std::runtime_error {
public:
    explicit EIniWriteError(const std::string& fileName);
};

// Single-key access to an INI file (settings, languages, profiles) with the behaviour of the
// Windows private-profile functions, so files move between this tool and Windows unchanged.
//
// The file is Windows-1252 text and is never converted. Lines end in CR LF or LF; a write keeps
// the file's own line ending (the first one in the file) and gives a new file CR LF. A section
// line is "[name]"; a key line is the key, "=" and the value; lines whose first non-blank byte
// is ";" are comments. Section and key names are compared without regard to letter case (the
// letters of Windows-1252 included) and with blanks at both ends ignored; keys may hold inner
// blanks ("cpb write"). When a section or key occurs twice, the first one counts, for reading
// and for writing alike.
//
// Nothing is cached: every call reads the file afresh and every write reaches the file before
// it returns, so two objects on the same file always agree.
class CIniFile {
public:
    // The longest value a read returns; longer values are cut.
    static constexpr std::size_t kMaxValueLength = 2047;
    // Listings pass through a buffer of this size, each name followed by a zero byte and the
    // list closed by one more. Names that do not fit whole are left out, together with all that
    // follow them: a name cut short would be a name that does not exist.
    static constexpr std::size_t kListBufferSize = 16384;

    explicit CIniFile(std::string fileName);

    const std::string& FileName() const { return fileName; }

    // The text after the key's first "=", with blanks at both ends and then one pair of
    // enclosing double or single quotes removed, at most kMaxValueLength bytes; `defaultValue`
    // unchanged when the file, section or key is missing or the file cannot be read.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Creates the file if needed, appends a missing section at the end of the file (after a
    // blank line), replaces what follows "=" on an existing key's line, adds a new key after the
    // last key line of its section, and keeps every other byte. CR and LF in the value are
    // written as blanks, since a line break would split the value into lines of its own.
    // The new contents go to a temporary file beside the target that then replaces it, with the
    // target's permissions, so a failure never leaves half a file. Throws EIniWriteError when the
    // file cannot be written (including a section or key name that cannot be stored: empty,
    // holding a line break, or a key holding "=" or starting with "[" or ";").
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Section names, then the key names of one section, in file order, without duplicates.
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadKeys(const std::string& section) const;

private:
    std::string fileName;
};
