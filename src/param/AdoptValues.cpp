#include "param/AdoptValues.h"

#include "param/Catalogue.h"

namespace rv8::param {

void AdoptReceivedValues(PrmTable& table, const TSelectionState& selection)
{
  const int working = selection.CurrentControlMode;
  for (int n = 1; n <= table.Count(); ++n) {
    if (!IsInFirmware(table, n, selection)) continue;
    SetPrmValue(table, n, working, true, GetPrmValue(table, n, vcDrive), selection);
  }
  UpdateMotorFlaRange(table, working, selection);
}

}  // namespace rv8::param
