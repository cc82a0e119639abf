#pragma once
// Taking over the values received from the starter (or read from a project file) as the working
// values. The transfer stores what it reads in the starter column (vcDrive) only; callers decide
// when those values become the ones the user edits and saves.

#include "param/VarDrive.h"

namespace rv8::param {

// AdoptReceivedValues: for every parameter that exists in the selected firmware, copies vcDrive
// into the working column (CurrentControlMode) as a user change (markModified true, so the
// project counts as modified and the views redraw the rows), then recomputes the Motor FLA range
// on the working column. Parameters the firmware lacks keep their working value.
void AdoptReceivedValues(PrmTable& table, const TSelectionState& selection = SELECTION);
inline void AdoptReceivedValues() { AdoptReceivedValues(PRM_TABLE, SELECTION); }

}  // namespace rv8::param
