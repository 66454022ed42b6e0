#include "cli/cliview.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/clifixture.h"
#include "cli/clioutput.h"

// The job tests open real SIMs with --pin and --puk; here the texts and the kinds of code they
// do not reach.
namespace {

class CliViewTest : public ::testing::Test {
protected:
    CCliView MakeView(const std::string& pin, const std::string& puk) {
        return CCliView("ttyUSB0", *language, output, pin, puk);
    }

    const std::unique_ptr<CAppLanguage> language = ShippedLanguage();
    std::ostringstream results;
    std::ostringstream progress;
    CCliOutput output{results, progress};
};

TEST_F(CliViewTest, TheSimGetsOnlyTheCodeItAsksForAndNeverTheLockSwitchedOff) {
    const struct {
        const char* name;
        std::string pin, puk;
        EPinKind type;
        std::string sentPin, sentPuk;
        std::string failure;  // empty when the code is given
    } cases[] = {
        {"PIN given", "1234", "", EPinKind::SimPin, "1234", "", ""},
        {"PIN missing", "", "12345678", EPinKind::SimPin, "", "",
         "The SIM card is locked. Enter its PIN code. Tries left: 2 (give it with --pin)"},
        {"PUK and new PIN", "4321", "12345678", EPinKind::SimPuk, "4321", "12345678", ""},
        {"PUK without new PIN", "", "12345678", EPinKind::SimPuk, "", "",
         "The SIM card is blocked. Enter its PUK code and a new PIN code. Tries left: 2 (give it "
         "with --puk, and a new PIN with --pin)"},
        {"PUK missing", "1234", "", EPinKind::SimPuk, "", "",
         "The SIM card is blocked. Enter its PUK code and a new PIN code. Tries left: 2 (give it "
         "with --puk, and a new PIN with --pin)"},
        {"PIN2 from --pin", "5678", "", EPinKind::SimPin2, "5678", "", ""},
        {"PUK2 missing", "5678", "", EPinKind::SimPuk2, "", "",
         "The PIN2 code is blocked. Enter the PUK2 code and a new PIN2 code. Tries left: 2 (give "
         "it with --puk, and a new PIN with --pin)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCliView view = MakeView(c.pin, c.puk);
        std::string pin;
        std::string puk;
        bool disableCodeCheck = true;
        bool aborted = false;
        view.RequestCode(c.type, 2, pin, puk, disableCodeCheck, false, aborted);
        EXPECT_EQ(aborted, !c.failure.empty());
        EXPECT_EQ(pin, c.sentPin);
        EXPECT_EQ(puk, c.sentPuk);
        EXPECT_FALSE(disableCodeCheck);
        EXPECT_EQ(view.FailureText(), c.failure);
    }
}

// Steps and failures each on one line of UTF-8.
TEST_F(CliViewTest, ReportsAStepOnceAndAFailureOnOneLine) {
    CCliView view = MakeView("", "");
    CProgressInfo info;
    for (const char* description : {"Reading...", "Reading...", "Writing \xE5...", "Reading..."}) {
        info.SetDescription(description);
        view.ShowProgressInfo("C", info);
    }
    EXPECT_EQ(progress.str(),
              "ttyUSB0: Reading...\nttyUSB0: Writing \xC3\xA5...\nttyUSB0: Reading...\n");
    view.ShowError("Failed.\nCControllerReadSms\nport gone");
    EXPECT_EQ(view.FailureText(), "Failed. (CControllerReadSms: port gone)");
}

}  // namespace
