#pragma once

#include <functional>
#include <string>
#include <vector>

// Where the program's files live. Settings, profiles and records go to the user's configuration
// folder, unless the program folder holds the portable marker file: the build tree and an
// unpacked portable copy have one, an installation does not. Write access alone never decides
// it, since root installing to /usr/local or a user installing to ~/.local can write bin/.
// Every input is a parameter, so the decision can be tested without touching the process
// environment or the file system.

// The file whose presence in the program folder keeps settings and profiles beside the program.
inline constexpr char kPortableMarkerName[] = "portable.txt";

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

// True when `folder` holds the portable marker file.
bool HasPortableMarker(const std::string& folder);

// The folder that holds the running program, with a trailing "/", wherever it was started
// from; `argv0` is used when the system cannot tell.
std::string RunningProgramFolder(const char* argv0);

// `folder` with a trailing "/" (unless empty).
std::string WithSlash(std::string folder);

// The user's configuration folder of this tool, with a trailing "/":
// $XDG_CONFIG_HOME/sendibox-config/, or $HOME/.config/sendibox-config/ when XDG_CONFIG_HOME
// is unset, empty or relative (such values are to be ignored); on Windows
// %APPDATA%\sendibox-config\. Empty when none gives an absolute path.
std::string UserConfigFolder(const CConfigEnvironment& env);

// The folder for settings.txt, Profiles/ and records.csv, with a trailing "/": `programFolder`
// when `isPortable` says it holds the marker, else UserConfigFolder(env); `programFolder` again
// when there is no user configuration folder either (writes will then fail and be reported,
// but reads work).
// On Windows the settings and records always go to UserConfigFolder(env) when there is one.
std::string ChooseConfigFolder(
    const std::string& programFolder, const CConfigEnvironment& env,
    const std::function<bool(const std::string&)>& isPortable = HasPortableMarker);

// Creates `folder` and its missing parents; true when it exists afterwards.
bool EnsureFolder(const std::string& folder);

// The folders searched for read-only data, in order, each with a trailing "/": the program
// folder, then the data folder of an installation, <prefix>/share/sendibox-config/, then its
// documentation folder, <prefix>/share/doc/sendibox-config/ (the manuals), both found from
// <prefix>/bin/ so that an installation works under any prefix and can be moved. Empty when
// `programFolder` is empty.
std::vector<std::string> DataFolders(const std::string& programFolder);

// Read-only data (languages.txt, manuals): the first of `folders` that holds `fileName`,
// joined with it; the first folder joined with it when none does (a path that reads as
// missing), empty when `folders` is empty.
std::string LocateDataFile(const std::string& fileName, const std::vector<std::string>& folders,
                           const std::function<bool(const std::string&)>& fileExists);
