#include "files/BackupTransfer.h"

#include "comm/Selection.h"
#include "param/AdoptValues.h"
#include "param/Catalogue.h"
#include "param/Models.h"

namespace rv8::files {

namespace {

using comm::PromptAnswer;
using comm::PromptButtons;
using comm::PromptKind;
using namespace rv8::param;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A question with Yes and Abort buttons (the transfer's Yes/Cancel pair).
bool AskYesAbort(comm::UserPrompts& prompts, PromptKind kind, const QString& text)
{
    return prompts.ask({kind, PromptButtons::YesCancel, {}, text}) == PromptAnswer::Yes;
}

void WorkingFlaRange(const StarterAccess& access)
{
    TSelectionState& selection = access.Selection();
    for (int pass = 0; pass < 2; ++pass)
        UpdateMotorFlaRange(access.Parameters(), selection.CurrentControlMode, selection);
}

}  // namespace

TModifiedFlags& StarterAccess::Flags() const
{
    TModifiedFlags* flags = Parameters().ModifiedFlags;
    return flags != nullptr ? *flags : MODIFIED_FLAGS;
}

ProjectWorkspace StarterAccess::Workspace() const
{
    ProjectWorkspace workspace;
    workspace.parameters = Device().Parameters;
    workspace.signalTable = Device().Signals;
    workspace.selection = Device().Selection;
    workspace.info = Info;
    workspace.rebuild = Rebuild;
    return workspace;
}

bool AdoptDriveSelection(const StarterAccess& access, std::int32_t firmware, std::int32_t modelCode,
                         SelectionSource source)
{
    comm::UserPrompts& prompts = access.Prompts();
    if (source == SelectionSource::Starter && access.Device().Options->StandardSoftware())
        firmware = 0;
    int flashIndex = -1;
    if (firmware == 0) {
        flashIndex = 0;
    } else {
        const auto& flash = FLASH_TABLE();
        for (int p = 0; p < kFlashCount; ++p)
            if (flash[static_cast<std::size_t>(p)].FlashNum == firmware)
                flashIndex = p;  // the last match wins
    }
    if (flashIndex < 0) {
        prompts.warning({}, QString::fromLatin1(kFirmwareNotSupported));
        return false;
    }
    const int modelPosition = ModelPositionOfCode(modelCode, 0);
    if (modelPosition == 0) {
        prompts.warning({}, QString::fromLatin1(kModelNotSupported));
        return false;
    }

    TSelectionState& selection = access.Selection();
    selection.CurrentFirmwareVersion = FLASH_TABLE()[static_cast<std::size_t>(flashIndex)].FlashNum;
    selection.CurrentFlashIndex = flashIndex;
    selection.CurrentModelCode = modelCode;
    // The lists of the "Selection" window show the new selection as their unchanged state, so a
    // later take-over of scan data does not rebuild (and reset) the values again.
    if (access.SelectionDialog != nullptr) {
        TCtrlSel& sel = *access.SelectionDialog;
        sel.DriveTypeIndex = sel.ShownModelPosition = modelPosition - 1;
        sel.FlashNoIndex = sel.ShownFlashPosition = flashIndex;
    }
    if (source != SelectionSource::Backup)
        access.Flags().ProjectModified = false;
    const std::string defect = access.Workspace().Rebuild();
    if (!defect.empty()) {
        prompts.error({}, Q(defect));
        return false;
    }
    return true;
}

bool IdentifyAndSelect(const StarterAccess& access, bool followGenericModel)
{
    TCtrlSel& sel = *access.SelectionDialog;
    if (!comm::scandriveprocedure(*access.Scan, sel, true, access.ScanResults)) {
        access.Prompts().information({}, device_text::kUnableToCommunicate);
        return false;
    }
    const TSelectionState& selection = access.Selection();
    const bool firmwareDiffers = sel.ScannedFirmwareVersion != selection.CurrentFirmwareVersion;
    const bool modelDiffers = sel.ScannedModelCode != selection.CurrentModelCode
                              && (selection.CurrentModelCode > 0 || followGenericModel);
    if (!firmwareDiffers && !modelDiffers)
        return true;
    return AdoptDriveSelection(access, sel.ScannedFirmwareVersion, sel.ScannedModelCode, SelectionSource::Starter);
}

bool ReadStarterParameters(const StarterAccess& access, bool followGenericModel)
{
    comm::BusyBracket busy(access.Device().Shell());
    if (!IdentifyAndSelect(access, followGenericModel))
        return false;
    if (!access.Transfer().ReceiveAll(access.Parameters(), vcDrive))
        return false;
    AdoptReceivedValues(access.Parameters(), access.Selection());
    WorkingFlaRange(access);
    return true;
}

bool WriteStarterParameters(const StarterAccess& access)
{
    comm::BusyBracket busy(access.Device().Shell());
    comm::UserPrompts& prompts = access.Prompts();
    const comm::ProgramOptions& options = *access.Device().Options;
    WorkingFlaRange(access);
    if (!AskYesAbort(prompts, PromptKind::Confirmation, device_text::kOverwriteSettings))
        return false;
    TCtrlSel& sel = *access.SelectionDialog;
    if (!comm::scandriveprocedure(*access.Scan, sel, true, access.ScanResults)) {
        prompts.information({}, device_text::kUnableToCommunicate);
        return false;
    }

    const TSelectionState& selection = access.Selection();
    const std::int32_t scanned = sel.ScannedFirmwareVersion;
    const std::int32_t current = selection.CurrentFirmwareVersion;
    if (!options.StandardSoftware() && scanned != current && current != 0) {
        if (scanned < 0 || scanned >= 500 || current >= scanned) {
            prompts.information({}, device_text::kWriteFirmwareRefused);
            return false;
        }
        if (!prompts.questionYesNo({}, device_text::kWriteFirmwareProceed, PromptKind::Warning)) {
            access.SelectionAccepted();
            return false;
        }
    }

    int variant = 0;
    if (sel.ScannedModelCode != selection.CurrentModelCode && selection.CurrentModelCode > 0) {
        if (!AskYesAbort(prompts, PromptKind::Confirmation, device_text::kWriteModelMismatch))
            return false;
        if (!AskYesAbort(prompts, PromptKind::Warning, device_text::kWriteModelDependent))
            return false;
        variant = SameVoltageClass(selection.CurrentModelCode, sel.ScannedModelCode) ? 5 : 4;
    }
    return access.Transfer().TransmitAll(access.Parameters(), selection.CurrentControlMode, variant);
}

QString ParameterValueText(const PrmTable& table, int number, int column)
{
    const PRM_REC& r = table[number];
    const Fixed value = GetPrmValue(table, number, column);
    if (IsListEditType(r.EDIT_TYPE)) {
        const int item = ListIndexOfValue(table, number, value);
        const QString text = item >= 0 ? Q(r.ValueSTR.STRARRAY[static_cast<std::size_t>(item)])
                                       : QString::fromLatin1(kUnknownSetting);
        return QStringLiteral("%1 (%2)").arg(text).arg(value.Round());
    }
    if (IsPrmOff(table, number, column))
        return Q(r.DisabledText);
    QString text = Q(FormatPrmValue(table, number, column));
    const QString units = Q(GetPrmUnits(table, number, column)).trimmed();
    if (!units.isEmpty())
        text += QLatin1Char(' ') + units;
    return text;
}

CompareOutcome CompareWithStarter(const StarterAccess& access)
{
    CompareOutcome outcome;
    comm::BusyBracket busy(access.Device().Shell());
    comm::UserPrompts& prompts = access.Prompts();
    TCtrlSel& sel = *access.SelectionDialog;
    if (!comm::scandriveprocedure(*access.Scan, sel, true, access.ScanResults)) {
        prompts.information({}, device_text::kUnableToCommunicate);
        return outcome;
    }

    const TSelectionState& selection = access.Selection();
    const std::int32_t scanned = sel.ScannedFirmwareVersion;
    const std::int32_t current = selection.CurrentFirmwareVersion;
    if (!access.Device().Options->StandardSoftware() && scanned != current) {
        if (scanned < 0 || scanned >= 500) {
            prompts.warning({}, device_text::kCompareFirmwareRefused);
            return outcome;
        }
        if (current < scanned) {
            if (!prompts.questionYesNo({}, device_text::kCompareFirmwareProceed, PromptKind::Warning)
                && !access.SelectionAccepted())
                return outcome;
        } else {
            prompts.warning({}, device_text::kCompareFirmwareNewer);
            if (!access.SelectionAccepted())
                return outcome;
        }
    }
    if (sel.ScannedModelCode != selection.CurrentModelCode && selection.CurrentModelCode > 0
        && !AskYesAbort(prompts, PromptKind::Confirmation, device_text::kCompareModelMismatch))
        return outcome;

    PrmTable& table = access.Parameters();
    if (!access.Transfer().ReceiveAll(table, vcDrive))
        return outcome;
    WorkingFlaRange(access);

    outcome.ok = true;
    const int working = selection.CurrentControlMode;
    for (int n = 1; n <= table.Count(); ++n) {
        if (!IsSavedParameter(table, n, selection))
            continue;
        ++outcome.compared;
        if (GetPrmValue(table, n, working) == GetPrmValue(table, n, vcDrive))
            continue;
        ParameterDifference d;
        d.number = n;
        d.parameterId = Q(table[n].PARAMETER_ID);
        d.title = Q(table[n].Title);
        d.workingText = ParameterValueText(table, n, working);
        d.starterText = ParameterValueText(table, n, vcDrive);
        outcome.differences.push_back(d);
    }
    return outcome;
}

}  // namespace rv8::files
