#include "cli/commandline.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "core/tempfolder.h"
#include "persistence/applanguage.h"

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
           (o.trace.empty() ? "" : "|trace " + o.trace) + (o.json ? "|json" : "") +
           (o.probe ? "|probe" : "");
}

using CliCommandLineTest = TempFolderTest;

TEST_F(CliCommandLineTest, AcceptedLinesGiveTheirOptions) {
    const CCodeSources codes{"1111", "4444"};
    // The first line only; blanks around the code and a Windows line end are not part of it.
    const std::string pinFile = Put("pin", " 2468\r\n9999\n");
    const struct {
        Strings args;
        const char* options;
        bool environment = false;
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
        // The environment's codes count where no option gives one, and only for a unit.
        {{"read", "--port", "a", "--profile", "-", "--pin", "5555"},
         "read|a |-|current|5555|4444",
         true},
        {{"diff", "--port", "a", "--profile", "p"}, "diff|a |p|current|1111|4444", true},
        {{"write", "--port", "a", "--profile", "p", "--pin-file", pinFile},
         "write|a |p|current|2468|4444",
         true},
        {{"ports", "--probe", "--json"}, "ports|||current|||json|probe", true},
        {{"check", "--profile", "-"}, "check||-|current||", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CParsedCommandLine parsed =
            ParseCommandLine(c.args, c.environment ? codes : CCodeSources{});
        ASSERT_EQ(parsed.action, Action::run) << parsed.error;
        EXPECT_EQ(Summary(parsed.options), c.options);
    }
}

TEST(CliCommandLine, RefusedLinesSayWhy) {
    struct Case {
        Strings args;
        const char* error;
        std::optional<std::string> pinVariable = std::nullopt;
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
        {{"ports", "--port", "a"}, "ports does not use --port"},
        {{"read", "--port", "a", "--profile", "p", "--probe"}, "read does not use --probe"},
        {{"check", "--profile", "p", "--pin", "1234"}, "check does not use --pin"},
        {{"check"}, "check needs --profile FILE"},
        {{"diff", "--port", "a"}, "diff needs --profile FILE"},
        {{"read", "--port", "a", "--port", "b", "--profile", "-"},
         "reading several units needs a file each, not standard output"},
        {{"write", "--port", "a", "--profile", "p", "--pin", "1234", "--pin-file", "f"},
         "give --pin or --pin-file, not both"},
        {{"write", "--port", "a", "--profile", "p", "--puk-file", "/nonexistent/puk"},
         "--puk-file: /nonexistent/puk cannot be read"},
        {{"reset", "--yes", "--port", "a"}, "SENDIBOX_PIN needs 4 to 8 digits", "12 34"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CParsedCommandLine parsed =
            ParseCommandLine(c.args, CCodeSources{c.pinVariable, std::nullopt});
        EXPECT_EQ(parsed.action, Action::usageError);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(CliCommandLine, HelpWinsOverEverythingElseAndTheVersionComesNext) {
    for (const Strings& args :
         {Strings{"--help"}, Strings{"reset", "-h"}, Strings{"erase", "--bogus", "--help"},
          Strings{"--version", "--help"}}) {
        EXPECT_EQ(ParseCommandLine(args).action, Action::help);
    }
    EXPECT_EQ(ParseCommandLine({"ports", "--bogus", "--version"}).action, Action::version);
    const std::string usage = UsageText();
    for (const char* word :
         {"read",    "write",      "reset",      "clear-sim",    "diff",         "ports",
          "check",   "--port",     "--profile",  "--values",     "--yes",        "--pin",
          "--puk",   "--pin-file", "--puk-file", "SENDIBOX_PIN", "SENDIBOX_PUK", "--record",
          "--trace", "--json",     "--probe",    "--version"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

// A language file or a device may hold anything; the terminal gets only what it shows.
TEST(CliOutput, TextsReachTheTerminalAsOneLineOfPrintableUtf8) {
    const std::string mark = "\xEF\xBF\xBD";  // U+FFFD
    const struct {
        bool win1252;
        std::string text;
        std::string shown;
    } cases[] = {
        {true, "F\xF6rs\xF6k kvar:\r\nnext\n", "F\xC3\xB6rs\xC3\xB6k kvar: next"},
        {true, "\x1B[2J\x1B]0;title\x07red", mark + "[2J" + mark + "]0;title" + mark + "red"},
        {true, "tab\tand\x7F del\x08", "tab and" + mark + " del" + mark},
        // 0x81 is no character of the code page: it stays the C1 control U+0081.
        {true, "\x80 \x81 \x9B \x9F", "\xE2\x82\xAC " + mark + " \xE2\x80\xBA \xC5\xB8"},
        // Text that is UTF-8 already is not converted a second time.
        {false, "/tmp/\xC3\xA5.pof\nsecond", "/tmp/\xC3\xA5.pof second"},
        {false, "C1 \xC2\x9B and \xC2\x85 end", "C1 " + mark + " and " + mark + " end"},
        {false, "raw \x9B, cut \xE2\x82, overlong \xC0\xAF",
         "raw " + mark + ", cut " + mark + mark + ", overlong " + mark + mark},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.win1252 ? CCliOutput::Text(c.text) : CCliOutput::OneLine(c.text), c.shown)
            << c.text;
    }
    // Whatever a line was made of, the streams get it printable.
    std::ostringstream results;
    std::ostringstream progress;
    CCliOutput output(results, progress);
    output.Result("port\x1B[31m: OK");
    output.Progress("a\nb");
    EXPECT_EQ(results.str(), "port" + mark + "[31m: OK\n");
    EXPECT_EQ(progress.str(), "a" + mark + "b\n");
}

// --- settings and language from the window's files -------------------------------------------

class CliEnvironmentTest : public TempFolderTest {};

TEST_F(CliEnvironmentTest, TakesTheWindowsStoredSettingsAndReportsFilesThatCannotBeUsed) {
    // A portable program folder keeps settings.txt and, in a build tree, languages.txt.
    const std::string program = folder.string() + "/";
    Put(kPortableMarkerName, "");
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

    // One line on standard error for each file that cannot be used; the texts are English then.
    Put("settings.txt", "[Settings]\r\nLANGUAGE=Svenska\r\n");
    Put("languages.txt", std::string("[Svenska]\r\nCANCEL=\x1B[2JAvbryt\0\r\n", 31));
    std::ostringstream results;
    std::ostringstream progress;
    CCliOutput output(results, progress);
    const auto language = CCliEnvironment::Read(program, env).OpenLanguage(output);
    EXPECT_EQ(language->GetText("CANCEL"), "Cancel");
    EXPECT_EQ(progress.str(), "sendibox-cli: " + program +
                                  "languages.txt cannot be used: it is not a text file. English "
                                  "is shown instead.\n");

    // A settings file that is not used is named too, and the language file is the next line.
    Put("settings.txt", std::string("[Settings]\r\nLANGUAGE=Svenska\0", 29));
    Put("languages.txt", "[English]\r\nCANCEL=Stop\r\n");
    progress.str("");
    EXPECT_EQ(CCliEnvironment::Read(program, env).OpenLanguage(output)->GetText("CANCEL"), "Stop");
    EXPECT_EQ(progress.str(), "sendibox-cli: " + program +
                                  "settings.txt is not a text file. The default settings are "
                                  "used, and the file is left as it is.\n");
    EXPECT_EQ(results.str(), "");
}

}  // namespace
