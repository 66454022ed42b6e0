#include "persistence/configfolder.h"

#include <filesystem>
#include <system_error>

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool HasPortableMarker(const std::string& folder) {
    std::error_code error;
    return !folder.empty() &&
           std::filesystem::is_regular_file(WithSlash(folder) + kPortableMarkerName, error);
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
