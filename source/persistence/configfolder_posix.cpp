#include "persistence/configfolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

CConfigEnvironment ReadConfigEnvironment() {
    return CConfigEnvironment{EnvValue("XDG_CONFIG_HOME"), EnvValue("HOME")};
}

std::string RunningProgramFolder(const char* argv0) {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        program = std::filesystem::absolute(argv0, error);
    }
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
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
