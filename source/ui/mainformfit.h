#pragma once

#include <string>

class QWidget;
class CAppLanguage;
class TMainForm;
class TVTList;

// Sizes of the main window's controls that follow its texts: the current-value edits as wide
// as the widest value they can show in the current language, the alarm grids' caption column
// as wide as its captions, and the grids' columns as their captions and contents need, the
// text columns sharing whatever width is left. Called after every language switch and resize.
void FitMainFormToTexts(TMainForm& form);
void ShareGridWidths(TMainForm& form);

// "Copy current values to new" of a grid of the window: an alarm input's texts, numbers and
// call flag, or every access number (each that changes marked for writing, as typed).
void CopyCurrentToNew(TMainForm& form, TVTList& grid);

// Tells the user that a document (a manual) could not be shown, and where it is or should be;
// the path can be selected and copied.
void ShowDocumentNotOpened(QWidget* parent, const CAppLanguage& language, const std::string& path,
                           bool exists);
