#include "cli/clienvironment.h"

#include <filesystem>
#include <system_error>

#include "cli/clioutput.h"
#include "core/parseint.h"
#include "operations/unitrecords.h"
#include "persistence/applanguage.h"
#include "persistence/appsettings.h"
#include "persistence/languageloaderini.h"

namespace {

constexpr char kLanguageFileName[] = "languages.txt";
constexpr char kWarningPrefix[] = "sendibox-cli: ";

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
    result.settingsProblem = settings.Problem();
    return result;
}

std::unique_ptr<CAppLanguage> CCliEnvironment::OpenLanguage(CCliOutput& output) const {
    if (!settingsProblem.empty()) {
        output.Progress(kWarningPrefix + CCliOutput::OneLine(settingsProblem));
    }
    auto language =
        std::make_unique<CAppLanguage>(std::make_unique<CLanguageLoaderIni>(languageFile));
    if (const std::string problem = language->SetStoredLanguage(languageName); !problem.empty()) {
        output.Progress(kWarningPrefix + CCliOutput::OneLine(problem));
    }
    return language;
}
