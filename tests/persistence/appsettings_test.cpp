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

    struct Case {
        const char* key;
        const char* defaultValue;
        const char* expected;
    };
    const Case cases[] = {{kSettingLanguage, kSettingLanguageDefault, "English"},
                          {kSettingPort, kSettingPortDefault, "COM1"},
                          {kSettingValidateSmsGsm, kSettingValidateSmsGsmDefault, "1"},
                          {kSettingSaveProfileChoice, kSettingSaveProfileChoiceDefault, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(settings.ReadValue(kSettingsSection, c.key, c.defaultValue), c.expected);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(AppSettingsTest, WritesReachTheFileAtOnceInCallOrder) {
    const std::string path = PathOf(kSettingsFileName);
    CAppSettings settings;
    settings.SetFileName(path);

    settings.WriteValue(kSettingsSection, kSettingLanguage, "Svenska");
    // Another reader sees the value while the writer is still alive.
    EXPECT_EQ(CIniFile(path).ReadString("settings", "language", ""), "Svenska");

    settings.WriteValue(kSettingsSection, kSettingPort, "ttyUSB0");
    settings.WriteValue(kSettingsSection, kSettingValidateSmsGsm, "0");
    EXPECT_EQ(Contents(path),
              "[Settings]\r\nLANGUAGE=Svenska\r\nPORT=ttyUSB0\r\nVALIDATE_SMS_GSM=0\r\n");

    settings.WriteValue(kSettingsSection, kSettingLanguage, "English");
    EXPECT_EQ(Contents(path),
              "[Settings]\r\nLANGUAGE=English\r\nPORT=ttyUSB0\r\nVALIDATE_SMS_GSM=0\r\n");
}

TEST_F(AppSettingsTest, ReadsAreNotCachedAndKeepTheFilesOwnLines) {
    const std::string path = Put(kSettingsFileName, "; mine\n[Settings]\nPORT = ttyS1 \n");
    CAppSettings settings;
    settings.SetFileName(path);
    EXPECT_EQ(settings.ReadValue(kSettingsSection, kSettingPort, "COM1"), "ttyS1");

    Put(kSettingsFileName, "[Settings]\nPORT=/tmp/unit-link\n");
    EXPECT_EQ(settings.ReadValue(kSettingsSection, kSettingPort, "COM1"), "/tmp/unit-link");

    settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, "2");
    EXPECT_EQ(Contents(path), "[Settings]\nPORT=/tmp/unit-link\nSAVE_PROFILE_CHOICE=2\n");
}

TEST_F(AppSettingsTest, UnwritableFileIsReportedToTheCallerAndNeverEscapesTryWrite) {
    // A parent that is a regular file cannot hold a file, whoever runs the test.
    const std::string blocker = Put("not-a-folder", "x");
    const std::string path = blocker + "/" + kSettingsFileName;
    CAppSettings settings;
    settings.SetFileName(path);

    try {
        settings.WriteValue(kSettingsSection, kSettingLanguage, "English");
        FAIL() << "no error raised";
    } catch (const EIniWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_FALSE(settings.TryWriteValue(kSettingsSection, kSettingPort, "COM1"));
    EXPECT_EQ(settings.ReadValue(kSettingsSection, kSettingPort, "COM1"), "COM1");

    // The object stays usable for a good path afterwards.
    settings.SetFileName(PathOf(kSettingsFileName));
    EXPECT_TRUE(settings.TryWriteValue(kSettingsSection, kSettingPort, "COM3"));
    EXPECT_EQ(CIniFile(PathOf(kSettingsFileName)).ReadString("Settings", "PORT", ""), "COM3");
}

TEST_F(AppSettingsTest, NewFileNameAfterFirstUseIsTheOneWrittenTo) {
    CAppSettings settings;
    settings.SetFileName(PathOf("old.txt"));
    settings.WriteValue(kSettingsSection, kSettingPort, "COM2");
    settings.SetFileName(PathOf("new.txt"));
    settings.WriteValue(kSettingsSection, kSettingPort, "COM4");

    EXPECT_EQ(CIniFile(PathOf("old.txt")).ReadString("Settings", "PORT", ""), "COM2");
    EXPECT_EQ(CIniFile(PathOf("new.txt")).ReadString("Settings", "PORT", ""), "COM4");
    EXPECT_EQ(settings.GetFileName(), PathOf("new.txt"));
}

}  // namespace
