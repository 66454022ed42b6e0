#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A folder of its own per test, removed afterwards, so tests may run side by side. Tests may
// take permissions away inside it; they are given back before the folder is removed.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        std::random_device random;
        std::error_code error;
        // A name nobody holds: creating an existing folder fails, and the next name is tried.
        for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() / ("sendibox-test-" + std::to_string(random()));
            if (fs::create_directory(candidate, error)) {
                folder = candidate;
            }
        }
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::string Put(const std::string& name, const std::string& content) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path folder;
};
