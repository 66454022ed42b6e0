#pragma once

#include <string>

#include "persistence/configfolder.h"

// What the command line takes over from the window's files: the language file it finds among
// the same data folders, and the language and country-code check stored in the same
// settings.txt. The command line only reads them; the window is the one that writes them. Both
// append to the same records file.
struct CCliEnvironment {
    // languages.txt; it may be missing, and then every text reads as its key.
    std::string languageFile;
    std::string languageName;
    bool checkCountryCode = true;
    // records.csv in the window's settings folder, where the records go unless --record names
    // another file.
    std::string recordFile;

    // As the window decides them for a program in `programFolder`.
    static CCliEnvironment Read(const std::string& programFolder, const CConfigEnvironment& env);
};
