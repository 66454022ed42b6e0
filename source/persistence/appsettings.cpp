#include "persistence/appsettings.h"

#include <exception>

#include "core/inifile.h"

CAppSettings::CAppSettings() = default;

CAppSettings::~CAppSettings() = default;

void CAppSettings::SetFileName(const std::string& path) {
    if (path != fileName) {
        ini.reset();
    }
    fileName = path;
}

CIniFile& CAppSettings::Ini() const {
    if (!ini) {
        ini = std::make_unique<CIniFile>(fileName, CIniLimits{kMaxFileSize});
    }
    return *ini;
}

std::string CAppSettings::Problem() const {
    const EIniFileState state = Ini().State();
    if (state == EIniFileState::Read || state == EIniFileState::Missing) {
        return {};
    }
    return fileName + " " + Ini().Problem() +
           ". The default settings are used, and the file is left as it is.";
}

std::string CAppSettings::ReadValue(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) {
    return Ini().ReadString(section, key, defaultValue);
}

void CAppSettings::WriteValue(const std::string& section, const std::string& key,
                              const std::string& value) {
    Ini().WriteString(section, key, value);
}

bool CAppSettings::TryWriteValue(const std::string& section, const std::string& key,
                                 const std::string& value) noexcept {
    try {
        WriteValue(section, key, value);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CAppSettings::TryWriteValues(
    const std::string& section,
    const std::vector<std::pair<std::string, std::string>>& values) noexcept {
    try {
        std::vector<CIniEntry> entries;
        for (const auto& [key, value] : values) {
            entries.push_back({section, key, value});
        }
        Ini().WriteStrings(entries);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
