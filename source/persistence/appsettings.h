#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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
// "0" once the user asked not to see the green-LED hint before a connect again.
inline constexpr const char* kSettingLedHint = "LED_HINT";
inline constexpr const char* kSettingLedHintDefault = "1";

// The user's choices that survive between runs (language, port, country-code check, profile
// choice), kept in one INI file. Every read sees the file as it is on disk (it is parsed again
// whenever it has changed) and every write reaches it before the call returns.
//
// A settings file beyond kMaxFileSize, or one that is no text file or cannot be read, is the
// user's, not ours: it is ignored (every value reads as its default), never written over, and
// Problem() says so, so that the user can repair or remove it.
class CAppSettings {
public:
    // A settings file holds a handful of short lines.
    static constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

    // Touches no file.
    CAppSettings();
    virtual ~CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    // The full path of the settings file. A new path drops the INI access of the old one, so
    // later calls never reach a file the caller has moved away from.
    void SetFileName(const std::string& path);
    const std::string& GetFileName() const { return fileName; }

    // One English sentence (UTF-8) naming the file, when it exists but is ignored; empty when
    // it is read or does not exist yet.
    std::string Problem() const;

    // `defaultValue` when the file, the section or the key is missing, or the file is ignored.
    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue);

    // Writes at once, creating file, section or key as needed. Throws EIniWriteError
    // ("Unable to write to " and the file name) when the value cannot be stored.
    void WriteValue(const std::string& section, const std::string& key, const std::string& value);

    // WriteValue for the places that must carry on whatever happens (a window being destroyed):
    // false instead of an exception when the value could not be stored.
    bool TryWriteValue(const std::string& section, const std::string& key,
                       const std::string& value) noexcept;
    // The keys and values of one section in one write: all of them or, on failure, none.
    bool TryWriteValues(const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& values) noexcept;

private:
    CIniFile& Ini() const;

    std::string fileName;
    // Made on first use and kept, so that reads share one parse of the file.
    mutable std::unique_ptr<CIniFile> ini;
};
