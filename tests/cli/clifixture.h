#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/jobrunner.h"
#include "core/tempfolder.h"
#include "support/sequencerfixture.h"

// Runs the command line's job runner in-process, as the program does after parsing, with the
// quick controllers and no pause before each write, so a whole job takes milliseconds.
class CliTest : public TempFolderTest {
protected:
    // The exit status; the command line must parse. `during` gets the runner on the test
    // thread while it runs.
    int RunCli(const Strings& args, const std::function<void(CJobRunner&)>& during = nullptr);

    std::string Results() const { return results.str(); }
    const std::vector<CUnitReport>& Reports() const { return reports; }

    // Settings of the next run.
    bool checkCountryCode = true;

private:
    std::ostringstream results;
    std::ostringstream progress;
    std::vector<CUnitReport> reports;
};
