#pragma once

#include <memory>
#include <string>

#include "persistence/configfolder.h"

class CAppLanguage;
class CCliOutput;

// What the command line takes over from the window's files: the language file it finds among
// the same data folders, and the language and country-code check stored in the same
// settings.txt. The command line only reads them; the window is the one that writes them. Both
// append to the same records file.
struct CCliEnvironment {
    // languages.txt; when it cannot be used, the texts are English.
    std::string languageFile;
    std::string languageName;
    bool checkCountryCode = true;
    // Why settings.txt is ignored, for the user; empty when it is read or does not exist.
    std::string settingsProblem;
    // records.csv in the window's settings folder, where the records go unless --record names
    // another file.
    std::string recordFile;

    // As the window decides them for a program in `programFolder`.
    static CCliEnvironment Read(const std::string& programFolder, const CConfigEnvironment& env);

    // The stored language, loaded; English when it cannot be had. Each file that cannot be used
    // as it is (settings.txt, languages.txt) is reported in one line of `output`'s progress
    // stream (standard error).
    std::unique_ptr<CAppLanguage> OpenLanguage(CCliOutput& output) const;
};
