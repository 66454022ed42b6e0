#include "persistence/configfolder.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Folders are handed on in the generic form ("C:/Users/..."), which Windows takes as well, so
// that the shared code can keep joining with "/".
std::string Generic(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path FromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string EnvValue(const wchar_t* name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), size));
    return Generic(std::filesystem::path(value));
}

}  // namespace

CConfigEnvironment ReadConfigEnvironment() {
    CConfigEnvironment env;
    env.xdgConfigHome = EnvValue(L"APPDATA");
    return env;
}

std::string RunningProgramFolder(const char* argv0) {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) {
            std::error_code error;
            return WithSlash(Generic(std::filesystem::absolute(argv0, error).parent_path()));
        }
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    return WithSlash(Generic(std::filesystem::path(program).parent_path()));
}

std::string UserConfigFolder(const CConfigEnvironment& env) {
    if (env.xdgConfigHome.empty() || !FromUtf8(env.xdgConfigHome).is_absolute()) {
        return {};
    }
    return WithSlash(env.xdgConfigHome) + kConfigFolderName + "/";
}

// Windows keeps each user's settings in the roaming application data, wherever the program
// is; the program folder is used only when there is no such folder.
std::string ChooseConfigFolder(const std::string& programFolder, const CConfigEnvironment& env,
                               const std::function<bool(const std::string&)>& /*isPortable*/) {
    std::string user = UserConfigFolder(env);
    return user.empty() ? WithSlash(programFolder) : user;
}
