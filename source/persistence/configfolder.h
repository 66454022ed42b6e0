#pragma once

#include <functional>
#include <string>
#include <vector>

// Where the program's files live. The program folder comes first, as on Windows, so a copy of
// the tool unpacked anywhere writable keeps its settings and profiles beside itself; an
// installed copy whose folder the user cannot write falls back to the user's configuration
// folder. Every input is a parameter, so the decision can be tested without touching the
// process environment or the file system's permissions.

// The environment values the decision depends on.
struct CConfigEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
    std::string home;           // $HOME, empty when unset
};

// Reads $XDG_CONFIG_HOME and $HOME of this process.
CConfigEnvironment ReadConfigEnvironment();

// True when this process may create files in `folder` (an existing folder on a file system
// mounted for writing).
bool IsFolderWritable(const std::string& folder);

// The user's configuration folder of this tool, with a trailing "/":
// $XDG_CONFIG_HOME/sendibox-config/, or $HOME/.config/sendibox-config/ when XDG_CONFIG_HOME
// is unset, empty or relative (such values are to be ignored). Empty when neither gives an
// absolute path.
std::string UserConfigFolder(const CConfigEnvironment& env);

// The folder for settings.txt and Profiles/, with a trailing "/": `programFolder` when
// `isWritable` says so, else UserConfigFolder(env); `programFolder` again when there is no
// user configuration folder either (writes will then fail and be reported, but reads work).
std::string ChooseConfigFolder(
    const std::string& programFolder, const CConfigEnvironment& env,
    const std::function<bool(const std::string&)>& isWritable = IsFolderWritable);

// Creates `folder` and its missing parents; true when it exists afterwards.
bool EnsureFolder(const std::string& folder);

// The folders searched for read-only data, in order, each with a trailing "/": the program
// folder, then the data folder of an installation, <prefix>/share/sendibox-config/, found from
// <prefix>/bin/ so that an installation works under any prefix and can be moved. Empty when
// `programFolder` is empty.
std::vector<std::string> DataFolders(const std::string& programFolder);

// Read-only data (languages.txt, manuals): the first of `folders` that holds `fileName`,
// joined with it; the first folder joined with it when none does (a path that reads as
// missing), empty when `folders` is empty.
std::string LocateDataFile(const std::string& fileName, const std::vector<std::string>& folders,
                           const std::function<bool(const std::string&)>& fileExists);
