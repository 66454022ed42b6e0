#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// What every harness shares. A broken invariant ends the run as a crash does, so the fuzzer
// keeps the input and the corpus replay in the test suite fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

inline std::string FuzzText(const uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input as a file of its own, for the readers that take a file name; removed again when
// the harness is done with it.
class FuzzFile {
public:
    explicit FuzzFile(const std::string& contents) {
        std::string pattern = (std::filesystem::temp_directory_path() / "sendibox-fuzz-XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        FUZZ_CHECK(fd >= 0);
        ::close(fd);
        path = pattern;
        std::ofstream(path, std::ios::binary) << contents;
        FUZZ_CHECK(std::filesystem::file_size(path) == contents.size());
    }
    ~FuzzFile() { ::unlink(path.c_str()); }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
};
