#include "param/CtrlSel.h"

#include "param/Catalogue.h"

namespace rv8::param {

TCtrlSel CTRL_SEL;

int ModelListPositionOfCode(std::int32_t code)
{
  return ModelPositionOfCode(code, 1) - 1;
}

CatalogueRebuild ProgramCatalogueRebuild()
{
  return [] { return BuildCatalogue(false); };
}

void TCtrlSel::FormShow(const TSelectionState& selection, bool standardSoftware)
{
  SelectionCancelled = true;
  FlashNoIndex = selection.CurrentFlashIndex;
  DriveTypeIndex = ModelListPositionOfCode(selection.CurrentModelCode);
  ShownModelPosition = DriveTypeIndex;
  ShownFlashPosition = FlashNoIndex;
  FlashNoEnabled = !standardSoftware;
  if (standardSoftware) FlashNoIndex = 0;
}

ScanMatch TCtrlSel::MatchScan(std::int32_t firmware, std::int32_t modelCode, bool standardSoftware, bool silent)
{
  ScannedFirmwareVersion = firmware;
  ScannedModelCode = modelCode;
  if (firmware < 0 || modelCode < 0) return ScanMatch::NotIdentified;

  int flashPosition = -1;
  if (standardSoftware) {
    flashPosition = 0;
    ScannedFirmwareVersion = 0;
  } else {
    const auto& flash = FLASH_TABLE();
    for (int p = 0; p < kFlashCount; ++p) {
      if (flash[static_cast<std::size_t>(p)].FlashNum == firmware) {
        flashPosition = p;
        break;
      }
    }
  }
  if (flashPosition < 0) return ScanMatch::FirmwareUnsupported;
  ScannedFlashPosition = flashPosition;
  FlashNoIndex = flashPosition;

  const int modelPosition = ModelPositionOfCode(modelCode, 0);
  if (modelPosition == 0) return ScanMatch::ModelUnsupported;
  ScannedModelPosition = modelPosition - 1;
  if (!silent) DriveTypeIndex = ScannedModelPosition;
  return ScanMatch::Ok;
}

bool TCtrlSel::ListsChanged() const
{
  return DriveTypeIndex != ShownModelPosition || FlashNoIndex != ShownFlashPosition;
}

AcceptQuestion TCtrlSel::QuestionForAccept() const
{
  if (!ListsChanged()) return AcceptQuestion::None;
  return FlashNoIndex == ShownFlashPosition ? AcceptQuestion::ModelChanged : AcceptQuestion::FirmwareChanged;
}

std::string_view TCtrlSel::QuestionText(AcceptQuestion question)
{
  switch (question) {
  case AcceptQuestion::ModelChanged: return kModelChangedQuestion;
  case AcceptQuestion::FirmwareChanged: return kFirmwareChangedQuestion;
  case AcceptQuestion::None: break;
  }
  return {};
}

void TCtrlSel::Cancel(TSelectionState& selection)
{
  SelectionCancelled = true;
  DriveTypeIndex = ShownModelPosition;
  FlashNoIndex = ShownFlashPosition;
  selection.CurrentFlashIndex = ShownFlashPosition;
}

std::string TCtrlSel::Update_Control_Table_and_Default_settings(TSelectionState& selection, TModifiedFlags& flags,
                                                                const CatalogueRebuild& rebuild, bool* rebuilt)
{
  if (rebuilt) *rebuilt = false;
  const int flashIndex = FlashNoIndex >= 0 && FlashNoIndex < kFlashCount ? FlashNoIndex : 0;
  const std::uint16_t flashNum = FLASH_TABLE()[static_cast<std::size_t>(flashIndex)].FlashNum;
  // The product has a single control mode, so only the two lists can have changed.
  if (DriveTypeIndex == ShownModelPosition && FlashNoIndex == ShownFlashPosition) {
    selection.CurrentFlashIndex = flashIndex;
    selection.CurrentFirmwareVersion = flashNum;
    return {};
  }
  const int modelPosition = DriveTypeIndex >= 0 && DriveTypeIndex < kModelCount ? DriveTypeIndex + 1 : 1;
  selection.CurrentModelCode = MODEL_TABLE()[static_cast<std::size_t>(modelPosition)].InvNum.Maximum;
  selection.CurrentFirmwareVersion = flashNum;
  flags.ProjectModified = false;
  selection.CurrentFlashIndex = flashIndex;
  if (rebuilt) *rebuilt = true;
  return rebuild ? rebuild() : std::string();
}

std::string TCtrlSel::Transfer_ScanData_to_Table(TSelectionState& selection, TModifiedFlags& flags,
                                                 const CatalogueRebuild& rebuild, bool* rebuilt)
{
  std::string error = Update_Control_Table_and_Default_settings(selection, flags, rebuild, rebuilt);
  ShownModelPosition = DriveTypeIndex;
  ShownFlashPosition = FlashNoIndex;
  DriveTypeIndex = ScannedModelPosition;
  FlashNoIndex = ScannedFlashPosition;
  return error;
}

FirmwareCheck CompareFirmware(std::int32_t scannedFirmware, std::int32_t currentFirmware, bool standardSoftware)
{
  if (standardSoftware || scannedFirmware == currentFirmware) return FirmwareCheck::Match;
  if (scannedFirmware >= 0 && scannedFirmware <= 499 && scannedFirmware > currentFirmware)
    return FirmwareCheck::AskProceed;
  return FirmwareCheck::Refuse;
}

}  // namespace rv8::param
