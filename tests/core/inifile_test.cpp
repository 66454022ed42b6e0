#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/inifile.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own per test, so tests may run side by side.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sendibox-core-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
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

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder;
};

const std::string kLongValue(3000, 'v');

const std::string kProfile =
    "; written by hand\r\n"
    "orphan=before any section\r\n"
    "[Settings]\r\n"
    "LANGUAGE=English\r\n"
    "  PORT =  ttyUSB0  \r\n"
    "cpb write = X \r\n"
    "ratio=a=b\r\n"
    ";LANGUAGE=Svenska\r\n"
    "LANGUAGE=Deutsch\r\n"
    "empty=\r\n"
    "no equals sign\r\n"
    "\r\n"
    "[Quotes]\r\n"
    "double=\"  kept  \"\r\n"
    "single= 'one' \r\n"
    "mixed=\"a'\r\n"
    "inner=\"a\"b\"\r\n"
    "lone=\"\r\n"
    "pair=\"\"\r\n"
    "\t[Svenska]  \r\n"
    "\xC5TER=tillbaka\r\n"
    "long=" +
    kLongValue +
    "\r\n"
    "longquoted=\"" +
    kLongValue +
    "\"\r\n"
    "[settings]\r\n"
    "PORT=second section is never read\r\n"
    "last=no line ending";

TEST_F(IniFileTest, ReadsWithPrivateProfileRules) {
    struct Case {
        std::string section;
        std::string key;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"Settings", "LANGUAGE", "English"},  // the first of two equal keys
        {"settings", "language", "English"},
        {" Settings ", " Language ", "English"},
        {"Settings", "PORT", "ttyUSB0"},
        {"Settings", "cpb write", "X"},
        {"SETTINGS", "CPB WRITE", "X"},
        {"Settings", "ratio", "a=b"},
        {"Settings", "empty", ""},
        {"Settings", "no equals sign", "<default>"},
        {"Settings", "orphan", "<default>"},
        {"Settings", "missing", "<default>"},
        {"Missing", "LANGUAGE", "<default>"},
        {"Quotes", "double", "  kept  "},
        {"Quotes", "single", "one"},
        {"Quotes", "mixed", "\"a'"},
        {"Quotes", "inner", "a\"b"},
        {"Quotes", "lone", "\""},
        {"Quotes", "pair", ""},
        {"svenska", "\xE5ter", "tillbaka"},  // Windows-1252 letters fold too
        {"Svenska", "long", kLongValue.substr(0, 2047)},
        {"Svenska", "longquoted", kLongValue.substr(0, 2047)},
        {"Svenska", "PORT", "<default>"},
    };
    const CIniFile crlf(Put("crlf.ini", kProfile));
    std::string lfText = kProfile;
    for (auto at = lfText.find("\r\n"); at != std::string::npos; at = lfText.find("\r\n", at)) {
        lfText.erase(at, 1);
    }
    const CIniFile lf(Put("lf.ini", lfText));
    for (const auto& c : cases) {
        EXPECT_EQ(crlf.ReadString(c.section, c.key, "<default>"), c.expected)
            << c.section << "/" << c.key;
        EXPECT_EQ(lf.ReadString(c.section, c.key, "<default>"), c.expected)
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(crlf.ReadString("settings", "last", "<default>"), "<default>");
    EXPECT_EQ(CIniFile(Put("tail.ini", "[A]\nlast=no line ending")).ReadString("a", "last", ""),
              "no line ending");
    EXPECT_EQ(CIniFile(PathOf("none.ini")).ReadString("A", "k", " def "), " def ");
    EXPECT_EQ(CIniFile(folder.string()).ReadString("A", "k", "def"), "def");
}

TEST_F(IniFileTest, ListsSectionsAndKeysInFileOrder) {
    const CIniFile ini(Put("list.ini", kProfile));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Settings", "Quotes", "Svenska"}));
    EXPECT_EQ(ini.ReadKeys("SETTINGS"),
              (std::vector<std::string>{"LANGUAGE", "PORT", "cpb write", "ratio", "empty"}));
    EXPECT_EQ(ini.ReadKeys("Svenska"), (std::vector<std::string>{"\xC5TER", "long", "longquoted"}));
    EXPECT_TRUE(ini.ReadKeys("Missing").empty());
    EXPECT_TRUE(CIniFile(PathOf("none.ini")).ReadSections().empty());
}

TEST_F(IniFileTest, ListingsStopAtTheBufferSize) {
    // 163 names of 99 bytes take 16300 bytes with their zero bytes; one more name of 82 bytes
    // fills the 16384 bytes exactly (with the closing zero byte), one of 83 does not fit.
    for (const std::size_t lastLength : {82u, 83u}) {
        std::string sections;
        std::string keys = "[Keys]\n";
        std::vector<std::string> expected;
        for (int i = 0; i < 163; ++i) {
            std::string name = std::to_string(1000 + i) + std::string(95, 'n');
            sections += "[" + name + "]\n";
            keys += name + "=1\n";
            expected.push_back(name);
        }
        const std::string last(lastLength, 'z');
        sections += "[" + last + "]\n[after]\n";
        keys += last + "=1\nafter=1\n";
        if (lastLength == 82) {
            expected.push_back(last);
        }
        EXPECT_EQ(CIniFile(Put("s.ini", sections)).ReadSections(), expected) << lastLength;
        EXPECT_EQ(CIniFile(Put("k.ini", keys)).ReadKeys("keys"), expected) << lastLength;
    }
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
        {"empty file gets CR LF", "", {{"A", "k", "v"}}, "[A]\r\nk=v\r\n"},
        {"replace in place keeps the rest byte for byte",
         "; c\n[A]\n  k1 = old\nk2=2\n\n[B]\nk1=b\n",
         {{"a", "K1", "new"}},
         "; c\n[A]\n  k1 =new\nk2=2\n\n[B]\nk1=b\n"},
        {"new key after the last key of its section",
         "[A]\r\nk1=1\r\n; note\r\n\r\n[B]\r\nx=1\r\n",
         {{"A", "k2", "2"}},
         "[A]\r\nk1=1\r\nk2=2\r\n; note\r\n\r\n[B]\r\nx=1\r\n"},
        {"section without keys", "[A]\n\n[B]\n", {{"A", "k", "v"}}, "[A]\nk=v\n\n[B]\n"},
        {"LF file keeps LF for a new section",
         "[A]\nk=1\n",
         {{"B", "j", "2"}},
         "[A]\nk=1\n\n[B]\nj=2\n"},
        {"no blank line added after a blank line",
         "[A]\r\nk=1\r\n\r\n",
         {{"B", "j", "2"}},
         "[A]\r\nk=1\r\n\r\n[B]\r\nj=2\r\n"},
        {"unterminated last line gets an ending",
         "[A]\nk=1",
         {{"A", "j", "2"}, {"B", "i", "3"}},
         "[A]\nk=1\nj=2\n\n[B]\ni=3\n"},
        {"case-insensitive match keeps the file's spelling",
         "[Settings]\r\nLanguage=English\r\n",
         {{"SETTINGS", "LANGUAGE", "Svenska"}},
         "[Settings]\r\nLanguage=Svenska\r\n"},
        {"first of two equal keys is replaced",
         "[A]\nk=1\nk=2\n",
         {{"A", "k", "3"}},
         "[A]\nk=3\nk=2\n"},
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
    };
    for (const auto& c : cases) {
        const std::string path = PathOf("w.ini");
        fs::remove(path);
        if (c.before) {
            Put("w.ini", *c.before);
        }
        CIniFile writer(path);
        for (const auto& w : c.writes) {
            writer.WriteString(w.section, w.key, w.value);
        }
        EXPECT_EQ(Contents(path), c.after) << c.name;
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"w.ini"}) << c.name;
    }
}

TEST_F(IniFileTest, WrittenValuesReadBackThroughAnotherObject) {
    const std::string path = PathOf("both.ini");
    CIniFile writer(path);
    const CIniFile reader(path);
    writer.WriteString("cmg text", "0", "Alarm 1");
    writer.WriteString("cmg text", "1", "  padded  ");
    writer.WriteString("cmg text", "0", "Alarm one");
    EXPECT_EQ(reader.ReadString("CMG TEXT", "0", ""), "Alarm one");
    EXPECT_EQ(reader.ReadString("cmg text", "1", ""), "padded");
    EXPECT_EQ(reader.ReadKeys("cmg text"), (std::vector<std::string>{"0", "1"}));
    writer.WriteString("x]y", "k", "bracket");  // the last "]" closes a section name
    EXPECT_EQ(reader.ReadString("X]Y", "k", ""), "bracket");
    EXPECT_EQ(reader.ReadSections(), (std::vector<std::string>{"cmg text", "x]y"}));
}

TEST_F(IniFileTest, WriteKeepsPermissionsAndLinks) {
    const std::string real = Put("real.ini", "[A]\nk=1\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string link = PathOf("link.ini");
    fs::create_symlink(real, link);

    CIniFile(link).WriteString("A", "k", "2");

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(real), "[A]\nk=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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
    const std::vector<Case> cases{
        {PathOf("adir"), "A", "k"},
        {PathOf("nofolder/x.ini"), "A", "k"},
        {PathOf("plain/x.ini"), "A", "k"},
        {keep, "A", "bad=key"},
        {keep, "A", "[k"},
        {keep, "A", ";k"},
        {keep, "A", "  "},
        {keep, "", "k"},
        {keep, "A\nB", "k"},
    };
    for (const auto& c : cases) {
        try {
            CIniFile(c.path).WriteString(c.section, c.key, "v");
            ADD_FAILURE() << "no error for " << c.path << " " << c.key;
        } catch (const EIniWriteError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + c.path);
        }
    }
    EXPECT_EQ(Contents(keep), "[A]\nk=1\n");
    EXPECT_EQ(FolderEntries().size(), 3u);  // no temporary file left behind
}

TEST_F(IniFileTest, ReadOnlyFileInAWritableFolderIsNotReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    const std::string path = Put("ro.ini", "[A]\nk=1\n");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_THROW(CIniFile(path).WriteString("A", "k", "2"), EIniWriteError);
    EXPECT_EQ(Contents(path), "[A]\nk=1\n");
}

TEST_F(IniFileTest, WritableFileInAFolderThatTakesNoNewFiles) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write into any folder";
    }
    fs::create_directory(folder / "shared");
    const std::string path = PathOf("shared/settings.txt");
    std::ofstream(path, std::ios::binary) << "[Settings]\r\nPORT=ttyS0\r\n";
    fs::permissions(folder / "shared", fs::perms::owner_read | fs::perms::owner_exec);
    CIniFile(path).WriteString("Settings", "PORT", "ttyUSB0");
    EXPECT_EQ(Contents(path), "[Settings]\r\nPORT=ttyUSB0\r\n");
    EXPECT_THROW(CIniFile(PathOf("shared/new.txt")).WriteString("A", "k", "v"), EIniWriteError);
}

}  // namespace
