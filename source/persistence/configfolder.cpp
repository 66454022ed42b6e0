#include "persistence/configfolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kConfigFolderName = "sendibox-config";

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

CConfigEnvironment ReadConfigEnvironment() {
    return CConfigEnvironment{EnvValue("XDG_CONFIG_HOME"), EnvValue("HOME")};
}

bool HasPortableMarker(const std::string& folder) {
    std::error_code error;
    return !folder.empty() &&
           std::filesystem::is_regular_file(WithSlash(folder) + kPortableMarkerName, error);
}

std::string UserConfigFolder(const CConfigEnvironment& env) {
    if (!env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/') {
        return WithSlash(env.xdgConfigHome) + kConfigFolderName + "/";
    }
    if (!env.home.empty() && env.home.front() == '/') {
        return WithSlash(env.home) + ".config/" + kConfigFolderName + "/";
    }
    return {};
}

std::string ChooseConfigFolder(const std::string& programFolder, const CConfigEnvironment& env,
                               const std::function<bool(const std::string&)>& isPortable) {
    const std::string program = WithSlash(programFolder);
    if (isPortable && isPortable(program)) {
        return program;
    }
    std::string user = UserConfigFolder(env);
    return user.empty() ? program : user;
}

bool EnsureFolder(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::vector<std::string> DataFolders(const std::string& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    const std::string program = WithSlash(programFolder);
    // Lexically, not through the file system: the installed folder may not exist (a build
    // tree), and the program folder is already the resolved one the application reports.
    const std::filesystem::path share = std::filesystem::path(program) / ".." / "share";
    const std::filesystem::path installed = (share / kConfigFolderName).lexically_normal();
    const std::filesystem::path documents = (share / "doc" / kConfigFolderName).lexically_normal();
    return {program, WithSlash(installed.string()), WithSlash(documents.string())};
}

std::string LocateDataFile(const std::string& fileName, const std::vector<std::string>& folders,
                           const std::function<bool(const std::string&)>& fileExists) {
    for (const std::string& folder : folders) {
        std::string path = WithSlash(folder) + fileName;
        if (fileExists && fileExists(path)) {
            return path;
        }
    }
    return folders.empty() ? std::string() : WithSlash(folders.front()) + fileName;
}
