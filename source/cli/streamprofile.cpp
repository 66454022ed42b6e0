#include "cli/streamprofile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

CStreamProfile::CStreamProfile() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        folder = "/tmp";
    }
    std::string pattern = (folder / "sendibox-profile-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw std::runtime_error("no temporary file for the profile can be made in " +
                                 folder.string() + ": " + std::strerror(errno));
    }
    ::close(fd);
    path = name.data();
}

CStreamProfile::~CStreamProfile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

bool CStreamProfile::Fill(std::istream& in) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    // Inserting nothing would count as a failure; an empty input is not one.
    if (in.peek() != std::istream::traits_type::eof()) {
        file << in.rdbuf();
    }
    return !in.bad() && file.flush().good();
}

bool CStreamProfile::CopyTo(std::ostream& out) const {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    if (file.peek() != std::ifstream::traits_type::eof()) {
        out << file.rdbuf();
    }
    return !file.bad() && out.flush().good();
}
