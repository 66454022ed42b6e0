#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

// A table kept as a CSV file that only ever grows: RFC 4180 (fields separated by commas, a
// field quoted when it holds a comma, a quote or a line break, quotes doubled, rows ending in
// CR LF), UTF-8 with a byte order mark so that a spreadsheet opens it with its letters intact,
// and a header row first.
//
// Appends are whole rows, each one write to a file opened for appending, under a lock of this
// object (for threads sharing it) and an exclusive lock on the file (for other programs, such as
// the window and the command line appending at the same time), so rows never mix and the
// header is written once. A lock another program keeps for more than two seconds counts as a
// failure, so that nobody waits on it.
class CRecordFile {
public:
    explicit CRecordFile(std::string path);

    const std::string& Path() const { return path; }

    // Appends one row, preceded by the byte order mark and `header` when the file is new or
    // empty. Fields are UTF-8. Throws std::runtime_error naming the file and the cause when
    // the row cannot be written whole.
    void Append(const std::vector<std::string>& header, const std::vector<std::string>& fields);

    // One row as it goes into the file, CR LF included. A field a spreadsheet would take for
    // a formula (one starting with "=", "+", "-", "@", a tab or a CR) gets a leading "'", so
    // that text that came from a device is never run as one.
    static std::string Row(const std::vector<std::string>& fields);

private:
    // A new file starts with the byte order mark.
    static constexpr char kFileStart[] = "\xEF\xBB\xBF";
    // How long an append waits for another program's lock, and how often it looks again.
    static constexpr auto kAppendLockBound = std::chrono::seconds(2);
    static constexpr auto kAppendLockRetry = std::chrono::milliseconds(5);

    const std::string path;
    std::mutex mutex;
};
