// The complete catalogue rebuild: parameters, their lists, signals and theirs. The windows
// refresh themselves (caption, parameter tree, overviews) after calling it.
#include "param/Catalogue.h"
#include "param/Signals.h"

namespace rv8::param {

std::string BuildCatalogue(PrmTable& parameters, PrmTable& signalTable, const TSelectionState& selection,
                           bool firstBuild, TSpecialAddresses* specialAddresses)
{
  return BuildCatalogue(parameters, signalTable, selection, firstBuild, specialAddresses, nullptr);
}

std::string BuildCatalogue(PrmTable& parameters, PrmTable& signalTable, const TSelectionState& selection,
                           bool firstBuild, TSpecialAddresses* specialAddresses, TMonitorBlocks* monitorBlocks)
{
  std::string error = BuildParameterCatalogue(parameters, selection, firstBuild, specialAddresses);
  if (error.empty()) error = BuildPrmLists(parameters, firstBuild);
  if (error.empty()) error = BuildSignalCatalogue(signalTable, firstBuild, monitorBlocks);
  if (error.empty()) error = BuildSignalLists(signalTable, firstBuild);
  if (error.empty()) {
    // Either table's map resolves every role, as the one program-wide map does: signal roles
    // give SIGNAL_TABLE numbers, parameter roles PRM_TABLE numbers.
    for (int role = kFirstSignalRole; role <= kLastSignalRole; ++role)
      parameters.DEPENDENCY_MAP.Set(role, signalTable.DEPENDENCY_MAP[role]);
    for (int role = kFirstParameterRole; role <= kLastParameterRole; ++role)
      signalTable.DEPENDENCY_MAP.Set(role, parameters.DEPENDENCY_MAP[role]);
  }
  return error;
}

std::string BuildCatalogue(bool firstBuild)
{
  return BuildCatalogue(PRM_TABLE, SIGNAL_TABLE, SELECTION, firstBuild, &SPECIAL_ADDRESSES, &MONITOR_BLOCKS);
}

}  // namespace rv8::param
