#include "core/inifile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tempfolder.h"

namespace {

namespace fs = std::filesystem;
using IniFileTest = TempFolderTest;

std::ptrdiff_t EntryCount(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

const std::string kLongValue(3000, 'v');
const std::string kDefault = "<default>";

const std::string kProfile =
    "; written by hand\r\n"
    "orphan=before any section\r\n"
    "[Settings]\r\n"
    "LANGUAGE=English\r\n"
    "  PORT =  ttyUSB0  \r\n"
    "cpb write = X \r\n"
    "ratio=a=b\r\n"
    ";LANGUAGE=Svenska\r\n"
    "LANGUAGE=Deutsch\r\n"  // the first of two equal keys counts
    "empty=\r\n"
    "no equals sign\r\n"
    "\r\n"
    "[Quotes]\r\n"
    "double=\"  kept  \"\r\n"
    "single= 'one' \r\n"
    "mixed=\"a'\r\n"
    "lone=\"\r\n"
    "pair=\"\"\r\n"
    "[settings]\r\n"
    "PORT=second section is never read\r\n"
    "\t[Sven]ska]  \r\n"    // the last "]" closes a section name
    "\xC5TER=tillbaka\r\n"  // Windows-1252 letters fold too
    "long=\"" +
    kLongValue + "\"";  // cut after the quotes are gone; no line ending

TEST_F(IniFileTest, ReadsAndListsWithPrivateProfileRules) {
    struct Case {
        std::string section;
        std::string key;
        std::string expected;
    };
    const std::vector<Case> cases{{"Settings", "LANGUAGE", "English"},
                                  {" settings ", " language ", "English"},
                                  {"Settings", "PORT", "ttyUSB0"},
                                  {"SETTINGS", "CPB WRITE", "X"},
                                  {"Settings", "ratio", "a=b"},
                                  {"Settings", "empty", ""},
                                  {"Settings", "no equals sign", kDefault},
                                  {"Settings", "orphan", kDefault},
                                  {"Missing", "LANGUAGE", kDefault},
                                  {"Quotes", "double", "  kept  "},
                                  {"Quotes", "single", "one"},
                                  {"Quotes", "mixed", "\"a'"},
                                  {"Quotes", "lone", "\""},
                                  {"Quotes", "pair", ""},
                                  {"sven]ska", "\xE5ter", "tillbaka"},
                                  {"Sven]ska", "long", kLongValue.substr(0, 2047)},
                                  {"Sven]ska", "PORT", kDefault}};
    std::string lfText = kProfile;
    for (auto at = lfText.find("\r\n"); at != std::string::npos; at = lfText.find("\r\n", at)) {
        lfText.erase(at, 1);
    }
    for (const std::string& text : {kProfile, lfText}) {
        SCOPED_TRACE(text == kProfile ? "CR LF" : "LF");
        const CIniFile ini(Put("read.ini", text));
        for (const auto& c : cases) {
            EXPECT_EQ(ini.ReadString(c.section, c.key, kDefault), c.expected)
                << c.section << "/" << c.key;
        }
        EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Settings", "Quotes", "Sven]ska"}));
        EXPECT_EQ(ini.ReadKeys("SETTINGS"),
                  (std::vector<std::string>{"LANGUAGE", "PORT", "cpb write", "ratio", "empty"}));
        EXPECT_TRUE(ini.ReadKeys("Missing").empty());
    }
    EXPECT_EQ(CIniFile(PathOf("none.ini")).ReadString("A", "k", " def "), " def ");
    EXPECT_TRUE(CIniFile(PathOf("none.ini")).ReadSections().empty());
    EXPECT_EQ(CIniFile(folder.string()).ReadString("A", "k", "def"), "def");
}

TEST_F(IniFileTest, WritesChangeOnlyWhatTheyMust) {
    struct Write {
        std::string section;
        std::string key;
        std::string value;
    };
    struct Case {
        const char* name;
        std::optional<std::string> before;  // none: the file does not exist
        std::vector<Write> writes;
        std::string after;
    };
    const std::vector<Case> cases{
        {"new file gets CR LF",
         std::nullopt,
         {{"Settings", "LANGUAGE", "English"},
          {"Settings", "PORT", "ttyUSB0"},
          {"Other", "x", "1"}},
         "[Settings]\r\nLANGUAGE=English\r\nPORT=ttyUSB0\r\n\r\n[Other]\r\nx=1\r\n"},
        {"replace in place keeps the rest byte for byte",
         "; c\n[A]\n  k1 = old\nk2=2\n\n[B]\nk1=b\n",
         {{"a", "K1", "new"}},
         "; c\n[A]\n  k1 =new\nk2=2\n\n[B]\nk1=b\n"},
        {"new key after the last key of its section",
         "[A]\r\nk1=1\r\n; note\r\n\r\n[B]\r\nx=1\r\n",
         {{"A", "k2", "2"}},
         "[A]\r\nk1=1\r\nk2=2\r\n; note\r\n\r\n[B]\r\nx=1\r\n"},
        {"section without keys", "[A]\n\n[B]\n", {{"A", "k", "v"}}, "[A]\nk=v\n\n[B]\n"},
        {"no blank line added after a blank line",
         "[A]\r\nk=1\r\n\r\n",
         {{"B", "j", "2"}},
         "[A]\r\nk=1\r\n\r\n[B]\r\nj=2\r\n"},
        {"unterminated last line gets the file's LF",
         "[A]\nk=1",
         {{"A", "j", "2"}, {"B", "i", "3"}},
         "[A]\nk=1\nj=2\n\n[B]\ni=3\n"},
        {"first of two equal keys", "[A]\nk=1\nk=2\n", {{"A", "k", "3"}}, "[A]\nk=3\nk=2\n"},
        {"mixed endings stay per line",
         "[A]\r\nk=1\nj=2\r\n",
         {{"A", "j", "5"}, {"A", "i", "6"}},
         "[A]\r\nk=1\nj=5\r\ni=6\r\n"},
        {"blanks in keys, bytes above 127 untouched",
         "[\xC5]\r\ncpb write=\r\n",
         {{"\xE5", "CPB WRITE", "X"}, {"\xC5", "t", "\xE5\xE4\xF6"}},
         "[\xC5]\r\ncpb write=X\r\nt=\xE5\xE4\xF6\r\n"},
        {"line breaks in a value cannot add lines",
         "[A]\n",
         {{"A", "k", "a\r\n[B]\nb=1"}},
         "[A]\nk=a  [B] b=1\n"},
        {"a key written twice, new keys in a new and an old section, the second [A] untouched",
         "[A]\r\nk=1\r\n[B]\r\n[a]\r\nk=9\r\n",
         {{"C", "x", "1"}, {"A", "j", "2"}, {"c", "X", "3"}, {"a", "J", "4"}, {"A", "k", "5"}},
         "[A]\r\nk=5\r\nj=4\r\n[B]\r\n[a]\r\nk=9\r\n\r\n[C]\r\nx=3\r\n"},
    };
    // Key by key, and all keys in one write: the same file either way.
    for (const bool batch : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (batch ? " (one write)" : " (key by key)"));
            const std::string path = PathOf("w.ini");
            fs::remove(path);
            if (c.before) {
                Put("w.ini", *c.before);
            }
            CIniFile writer(path);
            if (batch) {
                std::vector<CIniEntry> entries;
                for (const auto& w : c.writes) {
                    entries.push_back({w.section, w.key, w.value});
                }
                writer.WriteStrings(entries);
            } else {
                for (const auto& w : c.writes) {
                    writer.WriteString(w.section, w.key, w.value);
                }
            }
            EXPECT_EQ(Contents(path), c.after);
            EXPECT_EQ(EntryCount(folder), 1);  // no temporary file left behind
            // The writer answers from what it wrote, as a fresh reader of the file does.
            for (const auto& w : c.writes) {
                EXPECT_EQ(writer.ReadString(w.section, w.key, kDefault),
                          CIniFile(path).ReadString(w.section, w.key, kDefault));
            }
        }
    }
}

// Reads are answered from one parse, made again when the file on disk is another one.
TEST_F(IniFileTest, ReadsFollowTheFileOnDisk) {
    const std::string path = Put("c.ini", "[A]\nk=1\n");
    const CIniFile reader(path);
    EXPECT_EQ(reader.ReadString("A", "k", kDefault), "1");
    const std::shared_ptr<const CIniText> first = reader.Snapshot();
    Put("c.ini", "[A]\nk=22\n");
    EXPECT_EQ(reader.ReadString("A", "k", kDefault), "22");
    // A load that read through a snapshot still sees the version it started with.
    EXPECT_EQ(first->Value("a", "K"), "1");
    // Replaced by a file of the same size, as another program's save does.
    fs::rename(Put("other.ini", "[A]\nk=33\n"), path);
    EXPECT_EQ(reader.ReadString("A", "k", kDefault), "33");
    CIniFile(path).WriteString("A", "k", "4");
    EXPECT_EQ(reader.ReadKeys("a"), std::vector<std::string>{"k"});
    EXPECT_EQ(reader.ReadString("A", "k", kDefault), "4");
    fs::remove(path);
    EXPECT_EQ(reader.ReadString("A", "k", kDefault), kDefault);
    EXPECT_EQ(reader.State(), EIniFileState::Missing);
    EXPECT_EQ(reader.Problem(), "does not exist");
}

// A file outside its limits is nobody's INI file: reads give their defaults, and a write
// leaves it as it is rather than replacing what it could not read.
TEST_F(IniFileTest, FilesOutsideTheLimitsAreRefusedForReadingAndWriting) {
    const CIniLimits limits{64, 2, 3};
    struct Case {
        const char* name;
        std::string content;
        EIniFileState state;
        std::string problem;
    };
    const std::vector<Case> cases{
        {"at every limit", "[A]\na=1\nb=1\nc=1\n[B]\nd=1\n", EIniFileState::Read, ""},
        {"too large", "[A]\na=" + std::string(58, 'x') + "\n", EIniFileState::TooLarge,
         "is larger than 64 bytes"},
        {"zero byte", std::string("[A]\na=\0\n", 8), EIniFileState::NotText, "is not a text file"},
        {"sections", "[A]\n[B]\n[a]\n", EIniFileState::TooManySections, "has more than 2 sections"},
        {"keys, repeated ones too", "[A]\na=1\nb=1\n[B]\nc=1\nc=1\nc=1\nc=1\n",
         EIniFileState::TooManyKeys, "has a section with more than 3 keys"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Put("l.ini", c.content);
        CIniFile ini(path, limits);
        EXPECT_EQ(ini.State(), c.state);
        EXPECT_EQ(ini.Problem(), c.problem);
        if (c.state == EIniFileState::Read) {
            EXPECT_EQ(ini.ReadString("A", "c", kDefault), "1");
            // Nor may a write make it a file that would be refused.
            EXPECT_THROW(ini.WriteString("A", "d", std::string(20, 'v')), EIniWriteError);
        } else {
            EXPECT_EQ(ini.ReadString("A", "a", kDefault), kDefault);
            EXPECT_TRUE(ini.ReadSections().empty());
            EXPECT_THROW(ini.WriteString("A", "a", "2"), EIniWriteError);
        }
        EXPECT_EQ(Contents(path), c.content);
    }
    fs::create_directory(folder / "adir");
    EXPECT_EQ(CIniFile(PathOf("adir")).Problem(), "is a folder");
}

TEST_F(IniFileTest, FailedWritesRaiseTheFixedMessageAndChangeNothing) {
    fs::create_directory(folder / "adir");
    Put("plain", "not a folder");
    const std::string keep = Put("keep.ini", "[A]\nk=1\n");
    struct Case {
        std::string path;
        std::string section;
        std::string key;
    };
    // Each of these fails for every user, root included.
    const std::vector<Case> cases{{PathOf("adir"), "A", "k"},
                                  {PathOf("nofolder/x.ini"), "A", "k"},
                                  {PathOf("plain/x.ini"), "A", "k"},
                                  {keep, "A", "bad=key"},
                                  {keep, "A", "[k"},
                                  {keep, "A", ";k"},
                                  {keep, "A", "  "},
                                  {keep, "", "k"},
                                  {keep, "A\nB", "k"}};
    for (const auto& c : cases) {
        try {
            CIniFile(c.path).WriteString(c.section, c.key, "v");
            ADD_FAILURE() << "no error for " << c.path << " " << c.key;
        } catch (const EIniWriteError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + c.path);
        }
    }
    EXPECT_EQ(Contents(keep), "[A]\nk=1\n");
    EXPECT_EQ(EntryCount(folder), 3);  // no temporary file left behind
}

// A write replaces the file the link points to, keeping its permissions; a read-only file is
// not replaced, while a writable file in a folder that takes no new files (a shared install) is.
TEST_F(IniFileTest, WritesKeepLinksAndFollowTheFilesPermissionNotTheFolders) {
    const std::string real = Put("real.ini", "[A]\nk=1\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, perms);
    fs::create_symlink(real, PathOf("link.ini"));
    CIniFile(PathOf("link.ini")).WriteString("A", "k", "2");
    EXPECT_TRUE(fs::is_symlink(PathOf("link.ini")));
    EXPECT_EQ(Contents(real), "[A]\nk=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask, perms);
    if (::geteuid() == 0) {
        return;  // root may write any file and into any folder
    }
    const std::string readOnly = Put("ro.ini", "[A]\nk=1\n");
    fs::permissions(readOnly, fs::perms::owner_read);
    EXPECT_THROW(CIniFile(readOnly).WriteString("A", "k", "2"), EIniWriteError);
    EXPECT_EQ(Contents(readOnly), "[A]\nk=1\n");

    fs::create_directory(folder / "shared");
    const std::string path = Put("shared/settings.txt", "[Settings]\r\nPORT=ttyS0\r\n");
    fs::permissions(folder / "shared", fs::perms::owner_read | fs::perms::owner_exec);
    CIniFile(path).WriteString("Settings", "PORT", "ttyUSB0");
    EXPECT_EQ(Contents(path), "[Settings]\r\nPORT=ttyUSB0\r\n");
    EXPECT_THROW(CIniFile(PathOf("shared/new.txt")).WriteString("A", "k", "v"), EIniWriteError);
}

}  // namespace
