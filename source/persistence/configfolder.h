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

// The environment values the decision depends on.
struct CConfigEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
    std::string home;           // $HOME, empty when unset
};

// Reads $XDG_CONFIG_HOME and $HOME of this process.
CConfigEnvironment ReadConfigEnvironment();

// True when `folder` holds the portable marker file.
bool HasPortableMarker(const std::string& folder);

// The user's configuration folder of this tool, with a trailing "/":
// $XDG_CONFIG_HOME/sendibox-config/, or $HOME/.config/sendibox-config/ when XDG_CONFIG_HOME
// is unset, empty or relative (such values are to be ignored). Empty when neither gives an
// absolute path.
std::string UserConfigFolder(const CConfigEnvironment& env);

// The folder for settings.txt, Profiles/ and records.csv, with a trailing "/": `programFolder`
// when `isPortable` says it holds the marker, else UserConfigFolder(env); `programFolder` again
// when there is no user configuration folder either (writes will then fail and be reported,
// but reads work).
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
