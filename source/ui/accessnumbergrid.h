#pragma once

#include <functional>

class CConfigurationModel;
class QWidget;
class TVTList;

// The access-number grid of the settings page: the phone book's numbers that are no settings,
// by position, the unit's number beside the new one and the mark that has it written.

// The grid with its columns, before the model is there.
TVTList* MakeAccessNumberGrid(QWidget* parent);

// Shows `model`'s phone book in the grid and takes what is typed or clicked into it. Only a
// changed New Number is marked for writing: looking at a cell and leaving it must not erase
// the unit's number at the next write. `changed` follows every change.
void WireAccessNumberGrid(TVTList& grid, CConfigurationModel& model, std::function<void()> changed);

// "Copy current values to new": through the grid, as typing does, so every number that changes
// gets its Write mark.
void CopyAccessNumbersToNew(TVTList& grid);

// The fixed columns as wide as their captions and contents need, the number columns sharing
// the rest; the width the grid needs.
int FitAccessNumberColumns(TVTList& grid);
