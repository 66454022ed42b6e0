#pragma once

#include <array>
#include <string>

class CAppLanguage;
class CAppSettings;
class CConfigurationModel;
class IGuiHelper;
class QWidget;

// What the profile entries need of the window they run in: its values, its words, the folder
// the dialogs start in, and the two things a load changes in it.
class IProfileWindow {
public:
    // The dialogs' owner; its title is theirs.
    virtual QWidget& DialogOwner() = 0;
    virtual CAppSettings& Settings() = 0;
    virtual CAppLanguage& Language() = 0;
    virtual CConfigurationModel& Model() = 0;
    // In profile order: active time, active relay, SMS acknowledge, access control, input
    // behaviour, delays 1 to 6.
    virtual const std::array<IGuiHelper*, 11>& Presenters() const = 0;
    virtual const std::string& GetProfileFolder() const = 0;
    // Counts what Write would send again and redraws the grids.
    virtual void RefreshChanges() = 0;
    // The profile whose values the new side now holds.
    virtual void ShowLoadedProfile(const std::string& fileName) = 0;

protected:
    ~IProfileWindow() = default;
};

// The profile entries of the File menu, for the main window's SaveProfileMenuClick and
// LoadProfileMenuClick. Both run modally on the GUI thread and report every failure to the
// user themselves: nothing escapes them.

// Asks whether the new or the current values are saved (the answer is remembered in the
// settings, also when the user cancels), asks for the file in the profile folder (created when
// missing) with overwrite confirmation, and writes the profile. A file that cannot be written
// is reported with "Unable to write to" and its name, and is left as it was.
void SaveProfileFromMenu(IProfileWindow& form) noexcept;

// The unit's current values to a profile, without the choice: the file dialog and the write as
// above. A backup before the unit's configuration is erased.
void SaveUnitValuesToProfile(IProfileWindow& form) noexcept;

// Asks for an existing profile and loads it into the new side of the window: the editable grid
// columns and the presenters' new values. A file that is no readable profile shows the
// language's "INVALID_PROFILE" text, with the file's name and the reason below it; values
// applied before a failure stay. The grids are redrawn either way.
void LoadProfileFromMenu(IProfileWindow& form) noexcept;
