#include "cli/commandline.h"

#include <gtest/gtest.h>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "core/tempfolder.h"

namespace {

using Action = CParsedCommandLine::EAction;
using Strings = std::vector<std::string>;

// The options of a parsed line in one text: command, ports, profile, values, PIN, PUK, then the
// record file, trace file and "json" when given.
std::string Summary(const CCliOptions& o) {
    std::string ports;
    for (const std::string& port : o.ports) {
        ports += port + " ";
    }
    return CommandName(o.command) + "|" + ports + "|" + o.profile + "|" +
           (o.saveChoice == CProfileFile::kSaveNewValues ? "new" : "current") + "|" + o.pin + "|" +
           o.puk + (o.record.empty() ? "" : "|record " + o.record) +
           (o.trace.empty() ? "" : "|trace " + o.trace) + (o.json ? "|json" : "");
}

TEST(CliCommandLine, AcceptedLinesGiveTheirOptions) {
    const struct {
        Strings args;
        const char* options;
    } cases[] = {
        {{"--port=ttyUSB0", "read", "--profile=a.pof", "--values=new"},
         "read|ttyUSB0 |a.pof|new||"},
        {{"read", "--values", "current", "--port", "a", "--port", "/dev/b", "--profile", "%p.pof"},
         "read|a /dev/b |%p.pof|current||"},
        {{"write", "--port", "a", "--port", "b", "--profile", "one.pof", "--pin", "1234"},
         "write|a b |one.pof|current|1234|"},
        {{"reset", "--yes", "--port", "a"}, "reset|a ||current||"},
        {{"reset", "--yes", "--json", "--port", "a", "--port", "b", "--trace=t-%p", "--record",
          "r.csv"},
         "reset|a b ||current|||record r.csv|trace t-%p|json"},
        {{"clear-sim", "--port", "a", "--yes", "--puk", "12345678", "--pin", "87654321"},
         "clear-sim|a ||current|87654321|12345678"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CParsedCommandLine parsed = ParseCommandLine(c.args);
        ASSERT_EQ(parsed.action, Action::run) << parsed.error;
        EXPECT_EQ(Summary(parsed.options), c.options);
    }
}

TEST(CliCommandLine, RefusedLinesSayWhy) {
    struct Case {
        Strings args;
        const char* error;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"erase", "--port", "a"}, "unknown command \"erase\""},
        {{"read", "write"}, "unexpected argument \"write\""},
        {{"read", "--port", "a", "--profile", "p", "--verbose"}, "unknown option --verbose"},
        {{"read", "--profile", "p"}, "read needs at least one --port"},
        {{"read", "--port"}, "--port needs a value"},
        {{"read", "--port="}, "--port needs a value"},
        {{"read", "--port", "a", "--port", "a", "--profile", "p"}, "a port is given twice"},
        {{"write", "--port", "a"}, "write needs --profile FILE"},
        {{"read", "--port", "a", "--profile", "p", "--profile", "q"}, "--profile given twice"},
        {{"reset", "--yes", "--port", "a", "--profile", "p"}, "reset does not use --profile"},
        {{"write", "--port", "a", "--profile", "p", "--values", "new"},
         "write does not use --values"},
        {{"read", "--port", "a", "--profile", "p", "--values", "old"},
         "--values is current or new, not \"old\""},
        {{"read", "--port", "a", "--port", "b", "--profile", "p"},
         "reading several units needs \"%p\" in --profile, for a file each"},
        {{"read", "--port", "/dev/x/a", "--port", "/dev/y/a", "--profile", "%p"},
         "two ports give the same --profile file"},
        {{"reset", "--port", "a"},
         "reset erases every access number and alarm message on the unit and sets its settings "
         "back to their defaults; add --yes to confirm"},
        {{"clear-sim", "--port", "a"},
         "clear-sim erases every entry of the SIM card's phonebook; add --yes to confirm"},
        {{"clear-sim", "--port", "a", "--yes=1"}, "--yes takes no value"},
        {{"write", "--port", "a", "--profile", "p", "--yes"}, "write does not use --yes"},
        {{"reset", "--yes", "--port", "a", "--pin", "12a4"}, "--pin needs 4 to 8 digits"},
        {{"reset", "--yes", "--port", "a", "--puk", "123456789"}, "--puk needs 4 to 8 digits"},
        {{"reset", "--yes", "--port", "a", "--port", "b", "--trace", "t"},
         "tracing several units needs \"%p\" in --trace, for a file each"},
        {{"reset", "--yes", "--port", "a", "--json=1"}, "--json takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CParsedCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.action, Action::usageError);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(CliCommandLine, HelpWinsOverEverythingElse) {
    for (const Strings& args :
         {Strings{"--help"}, Strings{"reset", "-h"}, Strings{"erase", "--bogus", "--help"}}) {
        EXPECT_EQ(ParseCommandLine(args).action, Action::help);
    }
    const std::string usage = UsageText();
    for (const char* word :
         {"read", "write", "reset", "clear-sim", "--port", "--profile", "--values", "--yes",
          "--pin", "--puk", "--record", "--trace", "--json"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

TEST(CliCommandLine, ThePortPlaceholderGivesAFileNamePerPort) {
    EXPECT_EQ(ProfileForPort("/p/unit-%p.pof", "ttyUSB0"), "/p/unit-ttyUSB0.pof");
    EXPECT_EQ(ProfileForPort("%p/%p.pof", "/dev/serial/by-id/usb-1"), "usb-1/usb-1.pof");
    EXPECT_EQ(ProfileForPort("plain.pof", "ttyUSB0"), "plain.pof");
}

TEST(CliOutput, LanguageTextsReachTheTerminalAsOneLineOfUtf8) {
    EXPECT_EQ(CCliOutput::Text("F\xF6rs\xF6k kvar:\r\nnext\n"), "F\xC3\xB6rs\xC3\xB6k kvar: next");
    // Text that is UTF-8 already is not converted a second time.
    EXPECT_EQ(CCliOutput::OneLine("/tmp/\xC3\xA5.pof\nsecond"), "/tmp/\xC3\xA5.pof second");
}

// --- settings and language from the window's files -------------------------------------------

class CliEnvironmentTest : public TempFolderTest {};

TEST_F(CliEnvironmentTest, TakesTheWindowsStoredLanguageAndCountryCodeCheck) {
    // A writable program folder keeps settings.txt and, in a build tree, languages.txt.
    const std::string program = folder.string() + "/";
    const CConfigEnvironment env{"", "/nonexistent-home"};

    CCliEnvironment defaults = CCliEnvironment::Read(program, env);
    EXPECT_EQ(defaults.languageName, "English");
    EXPECT_TRUE(defaults.checkCountryCode);
    EXPECT_EQ(defaults.languageFile, program + "languages.txt");
    EXPECT_FALSE(std::filesystem::exists(program + "settings.txt"));

    Put("settings.txt", "[Settings]\r\nLANGUAGE=Svenska\r\nVALIDATE_SMS_GSM=0\r\n");
    CCliEnvironment stored = CCliEnvironment::Read(program, env);
    EXPECT_EQ(stored.languageName, "Svenska");
    EXPECT_FALSE(stored.checkCountryCode);

    Put("settings.txt", "[Settings]\r\nVALIDATE_SMS_GSM=abc\r\n");
    EXPECT_TRUE(CCliEnvironment::Read(program, env).checkCountryCode);
}

}  // namespace
