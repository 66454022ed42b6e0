#include "persistence/appsettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/inifile.h"
#include "core/tempfolder.h"

namespace {

using AppSettingsTest = TempFolderTest;

TEST_F(AppSettingsTest, FirstRunWithoutFileGivesEveryDefaultAndCreatesNothing) {
    const std::string path = PathOf(kSettingsFileName);
    CAppSettings settings;
    settings.SetFileName(path);
    const auto read = [&settings](const char* key, const char* defaultValue) {
        return settings.ReadValue(kSettingsSection, key, defaultValue);
    };
    EXPECT_EQ(read(kSettingLanguage, kSettingLanguageDefault), "English");
    EXPECT_EQ(read(kSettingPort, kSettingPortDefault), "COM1");
    EXPECT_EQ(read(kSettingValidateSmsGsm, kSettingValidateSmsGsmDefault), "1");
    EXPECT_EQ(read(kSettingSaveProfileChoice, kSettingSaveProfileChoiceDefault), "");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(AppSettingsTest, UnwritableFileIsReportedAndNeverEscapesTryWrite) {
    // A parent that is a regular file cannot hold a file, whoever runs the test.
    const std::string path = Put("not-a-folder", "x") + "/" + kSettingsFileName;
    CAppSettings settings;
    settings.SetFileName(path);
    EXPECT_THROW(settings.WriteValue(kSettingsSection, kSettingLanguage, "English"),
                 EIniWriteError);
    EXPECT_FALSE(settings.TryWriteValue(kSettingsSection, kSettingPort, "COM1"));

    // A new file name after first use is the one written to.
    settings.SetFileName(PathOf(kSettingsFileName));
    EXPECT_TRUE(settings.TryWriteValue(kSettingsSection, kSettingPort, "COM3"));
    EXPECT_EQ(CIniFile(PathOf(kSettingsFileName)).ReadString("Settings", "PORT", ""), "COM3");
}

}  // namespace
