#include "cli/clienvironment.h"

#include <filesystem>
#include <system_error>

#include "core/parseint.h"
#include "operations/unitrecords.h"
#include "persistence/appsettings.h"

namespace {

constexpr char kLanguageFileName[] = "languages.txt";

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

CCliEnvironment CCliEnvironment::Read(const std::string& programFolder,
                                      const CConfigEnvironment& env) {
    CCliEnvironment result;
    result.languageFile = LocateDataFile(kLanguageFileName, DataFolders(programFolder), FileExists);

    const std::string configFolder = ChooseConfigFolder(programFolder, env);
    result.recordFile = configFolder + CUnitRecords::kFileName;
    CAppSettings settings;
    settings.SetFileName(configFolder + kSettingsFileName);
    result.languageName =
        settings.ReadValue(kSettingsSection, kSettingLanguage, kSettingLanguageDefault);
    // Anything but a number counts as on, as in the window.
    result.checkCountryCode = ParseInt(settings.ReadValue(kSettingsSection, kSettingValidateSmsGsm,
                                                          kSettingValidateSmsGsmDefault),
                                       1) != 0;
    return result;
}
