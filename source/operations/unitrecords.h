#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "operations/runsummary.h"
#include "persistence/recordfile.h"

// Where and against what a run was made, as the front end knows it. Texts are UTF-8.
struct CRecordContext {
    std::chrono::system_clock::time_point time = std::chrono::system_clock::now();
    std::string port;
    // The profile whose values were written or held as new values; empty when none.
    std::string profile;
};

// The record of every unit: one row per connect, write, reset and clear, appended to a CSV
// file (records.csv in the settings folder) by the window and the command line alike, so an
// installer can show afterwards which unit got what, when, and whether it worked.
//
// A record is a by-product: one that cannot be written never fails the operation it records.
class CUnitRecords {
public:
    static constexpr char kFileName[] = "records.csv";

    // `toolVersion` goes into every row.
    CUnitRecords(std::string path, std::string toolVersion);

    const std::string& Path() const { return file.Path(); }

    // Appends the row of `run`. When it cannot be written the reason is returned, the first
    // time only, so that a front end reports it once and not after every unit; safe from
    // several threads.
    std::optional<std::string> Append(const CRunSummary& run, const CRecordContext& context);

    static std::vector<std::string> Header();
    std::vector<std::string> Fields(const CRunSummary& run, const CRecordContext& context) const;

    // The words the records and the command line's results use for a run, in UTF-8.
    static std::string OperationName(CRunSummary::EOperation operation);
    // "OK", "FAILED" or "CANCELLED" (the user, or the front end, disconnected mid-run).
    static std::string ResultWord(const CRunSummary& run);
    // "", "verified", or "differs: " and the differences separated by "; ".
    static std::string VerificationText(const CRunSummary& run);
    // The failure's lines joined into one, separated by " - ".
    static std::string FailureLine(const CRunSummary& run);

private:
    CRecordFile file;
    const std::string toolVersion;
    std::atomic<bool> failureReported{false};
};
