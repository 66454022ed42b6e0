// The language file shipped with the program: complete, in the file format Windows tools read.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "core/initext.h"
#include "persistence/builtinlanguage.h"
#include "persistence/languagekeys.h"
#include "persistence/languageloaderini.h"

namespace {

const std::string kLanguageFile = std::string(SENDIBOX_DATA_DIR) + "/languages.txt";

TEST(ShippedLanguageFile, EnglishThenSvenskaEachWithATextForEveryProgramKeyAndNoOther) {
    const std::set<std::string> programKeys(kLanguageKeys.begin(), kLanguageKeys.end());
    EXPECT_EQ(programKeys.size(), kLanguageKeys.size()) << "a key is listed twice";
    std::vector<std::string> columnKeys(kAlarmListColumnKeys.begin(), kAlarmListColumnKeys.end());
    columnKeys.insert(columnKeys.end(), kAccessListColumnKeys.begin(), kAccessListColumnKeys.end());
    for (const auto& key : columnKeys) {
        EXPECT_TRUE(programKeys.count(key)) << key;
    }

    const CIniFile file(kLanguageFile);
    EXPECT_EQ(file.ReadSections(), (std::vector<std::string>{"English", "Svenska"}));
    for (const char* language : {"English", "Svenska"}) {
        SCOPED_TRACE(language);
        for (const std::string& key : programKeys) {
            EXPECT_NE(file.ReadString(language, key, ""), "") << key;
        }
        const std::vector<std::string> fileKeys = file.ReadKeys(language);
        EXPECT_EQ(std::set<std::string>(fileKeys.begin(), fileKeys.end()), programKeys);
    }
}

// The program's own English, for when no language file can be used, is the shipped one.
TEST(ShippedLanguageFile, EnglishSectionIsTheBuiltInEnglish) {
    const CIniFile file(kLanguageFile);
    const CIniText builtIn{std::string(BuiltInEnglishSection())};
    EXPECT_EQ(builtIn.Sections(), std::vector<std::string>{"English"});
    const std::vector<std::string> keys = file.ReadKeys("English");
    ASSERT_EQ(builtIn.Keys("English"), keys);
    for (const std::string& key : keys) {
        EXPECT_EQ(builtIn.Value("English", key), file.ReadString("English", key, "")) << key;
    }
}

TEST(ShippedLanguageFile, IsWindows1252WithCrLfLineEnds) {
    std::ifstream in(kLanguageFile, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    CLanguageLoaderIni loader(kLanguageFile);
    loader.Load("English");
    // Group box captions keep their blanks.
    EXPECT_EQ(loader.GetText("ACCESS_NUMBERS"), " Access Numbers ");
    // Swedish letters are single bytes, not UTF-8 pairs.
    loader.Load("Svenska");
    EXPECT_EQ(loader.GetText("LANGUAGES"), "&Spr\xE5k");
    EXPECT_EQ(loader.GetText("ON"), "P\xC5");
}

}  // namespace
