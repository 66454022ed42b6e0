// The language file shipped with the program: complete, in the file format Windows tools read.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "persistence/languagekeys.h"
#include "persistence/languageloaderini.h"

namespace {

const std::string kLanguageFile = std::string(SENDIBOX_DATA_DIR) + "/languages.txt";

TEST(ShippedLanguageFile, OffersEnglishThenSvenska) {
    CLanguageLoaderIni loader(kLanguageFile);
    std::vector<std::string> list;
    loader.GetLanguages(list);
    EXPECT_EQ(list, (std::vector<std::string>{"English", "Svenska"}));
}

TEST(ShippedLanguageFile, EveryProgramKeyHasTextInBothLanguagesAndNoOtherKeyExists) {
    const std::set<std::string> programKeys(kLanguageKeys.begin(), kLanguageKeys.end());
    EXPECT_EQ(programKeys.size(), kLanguageKeys.size()) << "a key is listed twice";
    for (const auto& columns :
         {std::vector<std::string_view>(kAlarmListColumnKeys.begin(), kAlarmListColumnKeys.end()),
          std::vector<std::string_view>(kAccessListColumnKeys.begin(),
                                        kAccessListColumnKeys.end())}) {
        for (std::string_view key : columns) {
            EXPECT_TRUE(programKeys.count(std::string(key))) << key;
        }
    }

    const CIniFile file(kLanguageFile);
    for (const char* language : {"English", "Svenska"}) {
        SCOPED_TRACE(language);
        for (const std::string& key : programKeys) {
            EXPECT_NE(file.ReadString(language, key, ""), "") << key;
        }
        const std::vector<std::string> fileKeys = file.ReadKeys(language);
        const std::set<std::string> uniqueFileKeys(fileKeys.begin(), fileKeys.end());
        EXPECT_EQ(uniqueFileKeys, programKeys);
    }
}

TEST(ShippedLanguageFile, EnglishControlTextsAreTheWindowsCaptions) {
    CLanguageLoaderIni loader(kLanguageFile);
    loader.Load("English");
    struct Case {
        const char* key;
        const char* caption;
    };
    const Case cases[] = {
        {"CURRENT_TEXT", "Current Text"},
        {"ACCESS_NUMBERS", " Access Numbers "},
        {"CALL_ACTIVATED_RELAYS_GROUP", " Call Activated Relay(s) "},
        {"SAVE_PROFILE", "Save Profile..."},
        {"CONNECT_TO_UNIT", "Connect to Unit"},
        {"NET_STATUS", "Net Status:"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loader.GetText(c.key), c.caption) << c.key;
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
    // Swedish letters are single bytes, not UTF-8 pairs.
    CLanguageLoaderIni loader(kLanguageFile);
    loader.Load("Svenska");
    EXPECT_EQ(loader.GetText("LANGUAGES"), "Spr\xE5k");
    EXPECT_EQ(loader.GetText("ON"), "P\xC5");
}

}  // namespace
