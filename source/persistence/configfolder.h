#pragma once

#include <functional>
#include <string>
#include <vector>

// Where the program's files live. The program folder comes first, as on Windows, so a copy of
// the tool unpacked anywhere writable keeps its settings and profiles beside itself; an
// installed copy whose folder the user cannot write falls back to the user's configuration
// folder. Every input is a parameter, so the decision can be tested without touching the
// process environment or the file system's permissions.

// The decision, the environment and the program's own folder are the platform's (one file per
// platform); the data folders are the same everywhere.

// The name of the tool's folder among the user's configuration folders.
inline constexpr const char* kConfigFolderName = "sendibox-config";

// The environment values the decision depends on.
// On Windows %APPDATA% plays the part of $XDG_CONFIG_HOME, and $HOME has none.
struct CConfigEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
    std::string home;           // $HOME, empty when unset
};

// Reads the values of this process.
CConfigEnvironment ReadConfigEnvironment();

// The folder that holds the running program, with a trailing "/", wherever it was started
// from; `argv0` is used when the system cannot tell.
std::string RunningProgramFolder(const char* argv0);

// `folder` with a trailing "/" (unless empty).
std::string WithSlash(std::string folder);

// True when this process may create files in `folder` (an existing folder on a file system
// mounted for writing).
bool IsFolderWritable(const std::string& folder);

// The user's configuration folder of this tool, with a trailing "/":
// $XDG_CONFIG_HOME/sendibox-config/, or $HOME/.config/sendibox-config/ when XDG_CONFIG_HOME
// is unset, empty or relative (such values are to be ignored); on Windows
// %APPDATA%\sendibox-config\. Empty when none gives an absolute path.
std::string UserConfigFolder(const CConfigEnvironment& env);

// The folder for settings.txt and Profiles/, with a trailing "/": `programFolder` when
// `isWritable` says so, else UserConfigFolder(env); `programFolder` again when there is no
// user configuration folder either (writes will then fail and be reported, but reads work).
// On Windows the settings and records always go to UserConfigFolder(env) when there is one.
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
