#include "persistence/appsettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/inifile.h"
#include "tempfolder.h"

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

TEST_F(AppSettingsTest, WritesReachTheFileAtOnceAndReadsFollowTheFile) {
    const std::string path = Put(kSettingsFileName, "; mine\n[Settings]\nPORT = ttyS1 \n");
    CAppSettings settings;
    settings.SetFileName(path);
    EXPECT_EQ(settings.ReadValue(kSettingsSection, kSettingPort, "COM1"), "ttyS1");
    Put(kSettingsFileName, "[Settings]\r\nPORT=/tmp/unit-link\r\n");
    EXPECT_EQ(settings.ReadValue(kSettingsSection, kSettingPort, "COM1"), "/tmp/unit-link");

    settings.WriteValue(kSettingsSection, kSettingLanguage, "Svenska");
    // Another reader sees the value while the writer is still alive.
    EXPECT_EQ(CIniFile(path).ReadString("settings", "language", ""), "Svenska");
    settings.WriteValue(kSettingsSection, kSettingValidateSmsGsm, "0");
    settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, "2");
    settings.WriteValue(kSettingsSection, kSettingLanguage, "English");
    EXPECT_EQ(Contents(path),
              "[Settings]\r\nPORT=/tmp/unit-link\r\nLANGUAGE=English\r\nVALIDATE_SMS_GSM=0\r\n"
              "SAVE_PROFILE_CHOICE=2\r\n");
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
