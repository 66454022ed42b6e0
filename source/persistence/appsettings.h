#pragma once

#include <memory>
#include <string>

class CIniFile;

// The settings file's name, its one section and its keys with their defaults.
inline constexpr const char* kSettingsFileName = "settings.txt";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kSettingLanguage = "LANGUAGE";
inline constexpr const char* kSettingLanguageDefault = "English";
inline constexpr const char* kSettingPort = "PORT";
inline constexpr const char* kSettingPortDefault = "COM1";
inline constexpr const char* kSettingValidateSmsGsm = "VALIDATE_SMS_GSM";
inline constexpr const char* kSettingValidateSmsGsmDefault = "1";
inline constexpr const char* kSettingVerifyAfterWrite = "VERIFY_AFTER_WRITE";
inline constexpr const char* kSettingSaveProfileChoice = "SAVE_PROFILE_CHOICE";
inline constexpr const char* kSettingSaveProfileChoiceDefault = "";

// The user's choices that survive between runs (language, port, country-code check, profile
// choice), kept in one INI file. Values are not cached: every read goes to the file and every
// write reaches it before the call returns.
class CAppSettings {
public:
    // Touches no file.
    CAppSettings();
    virtual ~CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    // The full path of the settings file. A new path drops the INI access of the old one, so
    // later calls never reach a file the caller has moved away from.
    void SetFileName(const std::string& path);
    const std::string& GetFileName() const { return fileName; }

    // `defaultValue` when the file, the section or the key is missing.
    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue);

    // Writes at once, creating file, section or key as needed. Throws EIniWriteError
    // ("Unable to write to " and the file name) when the value cannot be stored.
    void WriteValue(const std::string& section, const std::string& key, const std::string& value);

    // WriteValue for the places that must carry on whatever happens (a window being destroyed):
    // false instead of an exception when the value could not be stored.
    bool TryWriteValue(const std::string& section, const std::string& key,
                       const std::string& value) noexcept;

private:
    CIniFile& Ini();

    std::string fileName;
    std::unique_ptr<CIniFile> ini;
};
