#pragma once

#include <istream>
#include <ostream>
#include <string>

// A profile read from standard input or written to standard output. Profiles are read and
// written by file name, so the stream passes through a temporary file of this process's own
// (mode 0600, removed when this object goes).
class CStreamProfile {
public:
    // Throws std::runtime_error when no temporary file can be made.
    CStreamProfile();
    ~CStreamProfile();
    CStreamProfile(const CStreamProfile&) = delete;
    CStreamProfile& operator=(const CStreamProfile&) = delete;

    const std::string& Path() const { return path; }
    // The whole of `in` into the file; false when reading or writing failed.
    bool Fill(std::istream& in) const;
    // The whole file into `out`; false when reading or writing failed.
    bool CopyTo(std::ostream& out) const;

private:
    std::string path;
};
