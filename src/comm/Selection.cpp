#include "Selection.h"

namespace rv8::comm {

bool scandriveprocedure(TNetScan& scan, param::TCtrlSel& sel, bool silent, IScanResultsView* results)
{
    const DeviceContext& ctx = scan.Transfer().Context();
    int32_t firmware = -1;
    int32_t model = -1;
    scan.IdentifyStarter(firmware, model, results);
    switch (sel.MatchScan(firmware, model, ctx.Options->StandardSoftware(), silent)) {
    case param::ScanMatch::Ok: return true;
    case param::ScanMatch::NotIdentified: return false;
    case param::ScanMatch::FirmwareUnsupported:
        ctx.Prompts->warning({}, QString::fromUtf8(param::kFirmwareNotSupported.data(),
                                                   static_cast<qsizetype>(param::kFirmwareNotSupported.size())));
        return false;
    case param::ScanMatch::ModelUnsupported:
        ctx.Prompts->warning({}, QString::fromUtf8(param::kModelNotSupported.data(),
                                                   static_cast<qsizetype>(param::kModelNotSupported.size())));
        return false;
    }
    return false;
}

TransmitCheck CheckBeforeTransmit(TNetScan& scan, param::TCtrlSel& sel, bool askControlMode, IScanResultsView* results)
{
    TransmitCheck check;
    const DeviceContext& ctx = scan.Transfer().Context();
    if (!ctx.Shell().IsOnline) {
        // The set-up window's show handler loads the stored settings; it is never shown here.
        ctx.Session->BeginSetup();
        ctx.Session->open_communications();
        ctx.Session->EndSetup();
    }
    if (!scandriveprocedure(scan, sel, true, results))
        return check;

    const param::TSelectionState& selection = *ctx.Selection;
    switch (param::CompareFirmware(sel.ScannedFirmwareVersion, selection.CurrentFirmwareVersion,
                                   ctx.Options->StandardSoftware())) {
    case param::FirmwareCheck::Match: break;
    case param::FirmwareCheck::AskProceed:
        if (!ctx.Prompts->questionYesNo({}, selection_text::kFirmwareProceed, PromptKind::Warning))
            return check;
        break;
    case param::FirmwareCheck::Refuse: ctx.Prompts->warning({}, selection_text::kFirmwareRefused); return check;
    }

    // The starter reports no control mode of its own: this product has the single mode 0.
    constexpr int scannedControlMode = 0;
    if (askControlMode && scannedControlMode != selection.CurrentControlMode
        && !ctx.Prompts->questionYesNo({}, selection_text::kControlModeProceed, PromptKind::Warning))
        return check;

    if (sel.ScannedModelCode == selection.CurrentModelCode || selection.CurrentModelCode <= 0) {
        check.passed = true;
        return check;
    }
    if (ctx.Prompts->ask({PromptKind::Confirmation, PromptButtons::YesCancel, {}, selection_text::kModelMismatch})
        != PromptAnswer::Yes)
        return check;
    const bool go =
        ctx.Prompts->ask({PromptKind::Warning, PromptButtons::YesCancel, {}, selection_text::kModelDependent})
        == PromptAnswer::Yes;
    check.modelMismatch = true;
    check.sameVoltageClass = param::SameVoltageClass(selection.CurrentModelCode, sel.ScannedModelCode);
    check.passed = go;
    return check;
}

}  // namespace rv8::comm
