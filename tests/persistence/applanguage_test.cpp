#include "persistence/applanguage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/refobject.h"
#include "core/tempfolder.h"
#include "persistence/languageloaderini.h"

namespace {

namespace fs = std::filesystem;

const std::string kTwoLanguages =
    "[Svenska]\r\n"
    "receiver=Mottagare\r\n"
    "TOGGLE=\r\n"
    "ACCESS_NUMBERS=\" Beh\xF6riga nummer \"\r\n"
    "\r\n"
    "[English]\r\n"
    "RECEIVER=Receiver\r\n"
    "DELETE=Delete\r\n";

using LanguageLoaderTest = TempFolderTest;

// The file's own reading (order, quotes, blanks, the first of two keys) is the INI reader's, and
// the corpus replay of the language harness holds every text to it.
TEST_F(LanguageLoaderTest, TextsOfTheLoadedLanguageOnlyInAnyLetterCase) {
    CLanguageLoaderIni loader(Put("languages.txt", kTwoLanguages));
    loader.Load("English");
    EXPECT_EQ(loader.GetText("DELETE"), "Delete");
    loader.Load("svenska");
    const std::pair<const char*, const char*> cases[] = {
        {"Receiver", "Mottagare"},                   // written in lower case in the file
        {"toggle", "toggle"},                        // empty value shows the key as asked for
        {"DELETE", "DELETE"},                        // only in the language loaded before
        {"ACCESS_NUMBERS", " Beh\xF6riga nummer "},  // bytes unchanged
    };
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(loader.GetText(key), expected) << key;
    }
    loader.Load("Deutsch");
    EXPECT_EQ(loader.GetText("RECEIVER"), "RECEIVER");
}

// The stored language, or English with one sentence that names the file and says why: the
// file's English when it has one, else the program's own.
TEST_F(LanguageLoaderTest, AStoredLanguageThatCannotBeHadFallsBackToEnglish) {
    fs::create_directory(folder / "folder.txt");
    const std::string huge = Put("huge.txt", kTwoLanguages);
    fs::resize_file(huge, CLanguageLoaderIni::kLimits.maxBytes + 1);
    const std::vector<std::string> both{"Svenska", "English"};
    const std::vector<std::string> builtIn{"English"};
    const std::string unusable = " cannot be used: it ";
    struct Case {
        std::string file;
        std::string stored;
        std::string warning;  // after the file's name, before " English is shown instead."
        std::vector<std::string> offered;
    };
    const std::vector<Case> cases{
        {Put("two.txt", kTwoLanguages), "svenska", "", both},
        {PathOf("two.txt"), "Klingon", " has no language \"Klingon\".", both},
        {Put("svenska.txt", "[Svenska]\r\nCALL=Ring\r\n"),
         "English",
         " has no language \"English\".",
         {"Svenska"}},
        {PathOf("missing.txt"), "Svenska", unusable + "does not exist.", builtIn},
        {PathOf("folder.txt"), "English", unusable + "is a folder.", builtIn},
        {Put("empty.txt", ""), "Svenska", unusable + "holds no language.", builtIn},
        {Put("binary.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR[Svenska]\n", 26)), "Svenska",
         unusable + "is not a text file.", builtIn},
        {huge, "Svenska", unusable + "is larger than 4 MiB.", builtIn},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.stored);
        CAppLanguage language(std::make_unique<CLanguageLoaderIni>(c.file));
        const std::string warning = language.SetStoredLanguage(c.stored);
        EXPECT_EQ(warning,
                  c.warning.empty() ? "" : c.file + c.warning + " English is shown instead.");
        EXPECT_EQ(language.GetLanguage(), c.warning.empty() ? c.stored : "English");
        // The file's English, where it has one, lacks the key; the program's own has it.
        EXPECT_EQ(language.GetText("CONNECT_TO_UNIT"),
                  c.offered == both ? "CONNECT_TO_UNIT" : "C&onnect to Unit");
        std::vector<std::string> offered;
        language.GetLanguages(offered);
        EXPECT_EQ(offered, c.offered);
    }
}

}  // namespace
