#pragma once
// Starter selection: the state behind the "Selection" dialog and the rules that apply a chosen
// or scanned model and firmware to the selection state. Nothing here talks to the starter or to
// the user; the identification itself and the questions live with the communication code
// (comm/Selection.h) and the window (app/CtrlSelWindow.h) only shows this state.
//
// List positions are 0-based: item i of the model list (`DriveType`) is MODEL_TABLE position
// i + 1, item i of the firmware list (`FLASHNO`) is FLASH_TABLE position i.

#include "param/Models.h"
#include "param/VarDrive.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rv8::param {

inline constexpr std::string_view kNoFirmwareAvailable = "No Firmware Version Available!";
inline constexpr std::string_view kNoModelsAvailable = "No RV8 Models Available!";
inline constexpr std::string_view kFirmwareNotSupported = "Firmware Version not supported by program.";
inline constexpr std::string_view kModelNotSupported = "RV8 type not supported by program.";
inline constexpr std::string_view kModelChangedQuestion =
    "The RV8 model has been changed, the program will now setup the software to work with the selected model."
    "\n\nProceed?";
inline constexpr std::string_view kFirmwareChangedQuestion =
    "The RV8 firmware has been changed, the program will now setup the software to work with the selected "
    "firmware.\n\nProceed?";

// The model list position of a model code (a code no model holds shows the first model).
int ModelListPositionOfCode(std::int32_t code);

// What the identification scan found, after IdentifyStarter.
enum class ScanMatch {
  Ok,
  NotIdentified,        // firmware or model could not be read (IdentifyStarter gave -1)
  FirmwareUnsupported,  // kFirmwareNotSupported
  ModelUnsupported,     // kModelNotSupported
};

// Which question "&Accept" asks before applying.
enum class AcceptQuestion { None, ModelChanged, FirmwareChanged };

// Rebuilds the catalogue for the selection state; returns the defect message or "".
using CatalogueRebuild = std::function<std::string()>;
// BuildCatalogue(false) on the program-wide tables.
CatalogueRebuild ProgramCatalogueRebuild();

class TCtrlSel {
public:
  // The lists as the dialog shows them.
  int DriveTypeIndex = 0;
  int FlashNoIndex = 0;
  bool FlashNoEnabled = true;

  int ShownModelPosition = 0;
  int ShownFlashPosition = 0;
  std::int32_t ScannedFirmwareVersion = -1;
  std::int32_t ScannedModelCode = -1;
  int ScannedModelPosition = 0;
  int ScannedFlashPosition = 0;
  bool SelectionCancelled = true;

  // Showing the dialog: lists to the current selection (firmware to position 0 and disabled with
  // StandardSoftware), both positions remembered, SelectionCancelled set.
  void FormShow(const TSelectionState& selection, bool standardSoftware);

  // Steps 3 and 4 of the identification scan, with the identified firmware number and model
  // code (-1 when not read). Selects the firmware in the list (also when silent) and, unless
  // silent, the model. With StandardSoftware every firmware maps to position 0 and
  // ScannedFirmwareVersion becomes 0.
  ScanMatch MatchScan(std::int32_t firmware, std::int32_t modelCode, bool standardSoftware, bool silent);

  // Either list moved since the dialog was shown (or the scan data were taken over).
  bool ListsChanged() const;
  // None when nothing changed; the model question when only the model list moved; otherwise
  // the firmware question (also when both moved).
  AcceptQuestion QuestionForAccept() const;
  static std::string_view QuestionText(AcceptQuestion question);

  // "&Cancel": lists back to the shown positions, CurrentFlashIndex restored, SelectionCancelled.
  void Cancel(TSelectionState& selection);

  // Applies the lists to the selection. Unchanged lists only refresh the firmware fields (no
  // rebuild, edited values stay); otherwise the model code becomes the chosen model's highest
  // code, the firmware follows the list, ProjectModified is cleared and the catalogue rebuilt.
  // Returns the rebuild's defect message ("" when sound or not rebuilt); *rebuilt tells which.
  std::string Update_Control_Table_and_Default_settings(TSelectionState& selection, TModifiedFlags& flags,
                                                        const CatalogueRebuild& rebuild, bool* rebuilt = nullptr);

  // After a silent scan: applies (the firmware list carries the scanned firmware, the model list
  // the earlier choice), remembers the shown positions, then shows the scanned model and
  // firmware in the lists without applying them.
  std::string Transfer_ScanData_to_Table(TSelectionState& selection, TModifiedFlags& flags,
                                         const CatalogueRebuild& rebuild, bool* rebuilt = nullptr);
};

// The selection state of the program's "Selection" dialog.
extern TCtrlSel CTRL_SEL;

// The firmware comparison of the check before a transmission, without the questions.
enum class FirmwareCheck {
  Match,          // equal, or StandardSoftware: go on
  AskProceed,     // newer firmware the program may still talk to: ask "Proceed anyway?"
  Refuse,         // the refusal message and false
};
FirmwareCheck CompareFirmware(std::int32_t scannedFirmware, std::int32_t currentFirmware, bool standardSoftware);

}  // namespace rv8::param
