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
  return error;
}

std::string BuildCatalogue(bool firstBuild)
{
  return BuildCatalogue(PRM_TABLE, SIGNAL_TABLE, SELECTION, firstBuild, &SPECIAL_ADDRESSES, &MONITOR_BLOCKS);
}

}  // namespace rv8::param
