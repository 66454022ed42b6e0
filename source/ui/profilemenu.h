#pragma once

class TMainForm;

// The profile entries of the File menu, for the main window's SaveProfileMenuClick and
// LoadProfileMenuClick. Both run modally on the GUI thread and report every failure to the
// user themselves: nothing escapes them.

// Asks whether the new or the current values are saved (the answer is remembered in the
// settings, also when the user cancels), asks for the file in the profile folder (created when
// missing) with overwrite confirmation, and writes the profile. A file that cannot be written
// is reported with "Unable to write to" and its name, and is left as it was.
void SaveProfileFromMenu(TMainForm& form) noexcept;

// The unit's current values to a profile, without the choice: the file dialog and the write as
// above. A backup before the unit's configuration is erased.
void SaveUnitValuesToProfile(TMainForm& form) noexcept;

// Asks for an existing profile and loads it into the new side of the window: the editable grid
// columns and the presenters' new values. A file that is no readable profile shows the
// language's "INVALID_PROFILE" text, with the file's name and the reason below it; values
// applied before a failure stay. The grids are redrawn either way.
void LoadProfileFromMenu(TMainForm& form) noexcept;
