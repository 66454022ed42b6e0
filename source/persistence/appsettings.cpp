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

CIniFile& CAppSettings::Ini() {
    if (!ini) {
        ini = std::make_unique<CIniFile>(fileName);
    }
    return *ini;
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
