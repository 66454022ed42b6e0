#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

class CConfigurationModel;
class CIniText;
class IGuiHelper;

// The eleven setting presenters in the main window's order: active time, active relay, SMS
// acknowledge, access control, input behaviour, then the delay/block times of inputs 1 to 6.
// A null entry is left out of saving and loading.
using CProfilePresenters = std::array<IGuiHelper*, 11>;

// A file chosen for loading that is no profile this tool can read: it cannot be read, is no
// text file, is far too large to be one, or holds none of a profile's sections. The message
// names the file and the reason.
class EInvalidProfile : public std::runtime_error {
public:
    EInvalidProfile(const std::string& fileName, const std::string& reason);
};

// A profile: one complete set of unit values in an INI file, so a configuration made once can
// be written into other units. Saving takes either the new or the current side of the window;
// loading always fills the new side (the editable columns and the presenters' new values) and
// never touches what was read from the unit.
//
// The file is read with one parse and written with one replacement through CIniFile, which
// keeps profiles interchangeable with the Windows installations of the tool: Windows-1252 text,
// CR LF or LF, keys in any order, keys of other sections or rows ignored, and keys this save
// does not write left as they are.
class CProfileFile {
public:
    // The save choice: which side of the window a profile is saved from. Any other number
    // saves the current values.
    static constexpr int32_t kSaveNewValues = 1;
    static constexpr int32_t kSaveCurrentValues = 2;

    // Sections, in the order a new file receives them. Keys are table rows in plain decimal.
    static constexpr const char* kSmsTextSection = "cmg text";
    static constexpr const char* kSmsNumberSection = "cmg num";
    static constexpr const char* kSmsCallSection = "cmg call";
    static constexpr const char* kSmsDeleteSection = "cmg del";
    static constexpr const char* kPhoneBookNumberSection = "cpb num";
    static constexpr const char* kPhoneBookWriteSection = "cpb write";

    // A genuine profile stays far below these even with a store of 1000 positions and every
    // value at its longest, and has six sections; a larger file was chosen by mistake or made
    // to harm, and is refused before it can cost time or memory.
    static constexpr std::uintmax_t kMaxProfileSize = 4 * 1024 * 1024;
    static constexpr std::size_t kMaxProfileSections = 1000;

    explicit CProfileFile(std::string fileName);

    const std::string& FileName() const { return fileName; }

    // Writes every alarm message with its marks, every phonebook row from 0 to the phonebook
    // size (both included) with its write mark, and then the eleven settings over their rows.
    // New values take the write marks as the table holds them; current values mark exactly the
    // rows that hold a current number, so loading them prepares a write of what the unit had.
    // Throws EIniWriteError when the file cannot be written, and then writes nothing: a file
    // beyond the limits above is not written over either.
    void Save(int32_t choice, const CConfigurationModel& model,
              const CProfilePresenters& presenters) const;

    // Fills the new side: the alarm messages and their marks, the phonebook rows from 0 to the
    // phonebook size (both included) and the presenters' new values, which normalise what they
    // are given. The settings and call marks become the user's choice, which later reads of a
    // unit keep. Missing keys load as empty texts and settings as 0.
    // Throws EInvalidProfile before anything is changed when the file is no readable profile;
    // anything that fails while values are applied propagates, and what was applied stays.
    void Load(CConfigurationModel& model, const CProfilePresenters& presenters) const;

private:
    // The file's contents, once they are known to be a profile; throws EInvalidProfile else.
    std::shared_ptr<const CIniText> LoadableContents() const;

    std::string fileName;
};
