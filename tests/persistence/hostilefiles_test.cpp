// Files made to hurt, or chosen by mistake: each one ends in seconds, with the file named and
// the reason given, or is read when it is within the limits after all.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/tempfolder.h"
#include "model/configurationmodel.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "persistence/appsettings.h"
#include "persistence/languageloaderini.h"
#include "persistence/profilefile.h"

namespace {

using Clock = std::chrono::steady_clock;
using HostileFileTest = TempFolderTest;

// `line` repeated to `size` bytes, after `head` and before `tail`.
std::string Repeat(const std::string& head, const std::string& line, std::size_t size,
                   const std::string& tail = {}) {
    std::string text = head;
    while (text.size() + line.size() + tail.size() <= size) {
        text += line;
    }
    return text + tail;
}

// What loading the profile tells the user; empty when it loaded.
std::string LoadProfile(const std::string& path) {
    CConfigurationModel model;
    try {
        CProfileFile(path).Load(model, CProfilePresenters{});
    } catch (const EInvalidProfile& error) {
        return error.what();
    }
    return model.SmsTable().getData(0, CUnitLayout::kSmsNewTextColumn) == "loaded" ? ""
                                                                                   : "not loaded";
}

std::string StartLanguage(const std::string& path) {
    CAppLanguage language(std::make_unique<CLanguageLoaderIni>(path));
    return language.SetStoredLanguage("Svenska");
}

TEST_F(HostileFileTest, EndsInSecondsWithTheFileAndTheReason) {
    constexpr std::size_t k4MiB = 4 * 1024 * 1024;
    const std::string profile = "[cmg text]\r\n0=loaded\r\n";
    std::string tenThousandSections;
    for (int i = 0; i < 10000; ++i) {
        tenThousandSections += "[s" + std::to_string(i) + "]\r\n";
    }
    std::string manyKeys = "[Svenska]\r\n";
    for (int i = 0; i < 200000; ++i) {
        manyKeys += "K" + std::to_string(i) + "=x\r\n";
    }
    const std::string hugeSettings = Repeat("[Settings]\r\n", "x=1\r\n", 2 * 1024 * 1024);

    struct Case {
        const char* name;
        std::string file;
        std::string content;
        std::function<std::string(const std::string& path)> open;
        std::string told;  // after the file's name; empty: read as usual
    };
    const std::vector<Case> cases{
        {"4 MiB profile of x=1 lines", "lines.pof", Repeat("", "x=1\r\n", k4MiB), LoadProfile,
         " is not a profile that can be read: it holds none of a profile's sections"},
        {"4 MiB of x=1 lines before a profile", "before.pof",
         Repeat("[notes]\r\n", "x=1\r\n", k4MiB, profile), LoadProfile, ""},
        {"4 MiB of empty lines", "empty.pof", Repeat("", "\r\n", k4MiB), LoadProfile,
         " is not a profile that can be read: it holds none of a profile's sections"},
        {"profile of 10 000 sections", "sections.pof", tenThousandSections + profile, LoadProfile,
         " is not a profile that can be read: it has more than 1000 sections"},
        {"language of 200 000 keys", "languages.txt", manyKeys, StartLanguage,
         " cannot be used: it has a section with more than 2000 keys. English is shown instead."},
        {"10 000 languages", "languages.txt", tenThousandSections, StartLanguage,
         " cannot be used: it has more than 100 sections. English is shown instead."},
        {"2 MiB settings", "settings.txt", hugeSettings,
         // Once a write has been tried and has left the file alone.
         [&hugeSettings](const std::string& path) {
             CAppSettings settings;
             settings.SetFileName(path);
             if (settings.ReadValue(kSettingsSection, kSettingPort, "default") != "default" ||
                 settings.TryWriteValue(kSettingsSection, kSettingPort, "ttyUSB0") ||
                 Contents(path) != hugeSettings) {
                 return std::string("settings file used or changed");
             }
             return settings.Problem();
         },
         " is larger than 1 MiB. The default settings are used, and the file is left as it is."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Put(c.file, c.content);
        const auto start = Clock::now();
        const std::string told = c.open(path);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(told, c.told.empty() ? "" : path + c.told);
    }
}

}  // namespace
