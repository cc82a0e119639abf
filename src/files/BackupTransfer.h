#pragma once
// The device flows that recovery backups share with the main window's device commands and the
// command line: reconciling the selection with a starter or a file (AdoptDriveSelection),
// reading every parameter from the starter into the working values, writing the working values
// to the starter with the write command's checks, and comparing a parameter set with the
// starter. All of them run headless: the user is asked through the prompts of the device
// context, the "Selection" window is a callback.
//
//     files::StarterAccess access;
//     access.Scan = &scan;                      // its transfer's DeviceContext: session, prompts ...
//     if (files::ReadStarterParameters(access)) // identify, select, ReceiveAll, adopt
//         files::SaveProjectFile(name, access.Workspace(), prompts);

#include "comm/NetScan.h"
#include "comm/Transfer.h"
#include "files/ProjectFile.h"
#include "files/UserInfo.h"
#include "param/CtrlSel.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace rv8::files {

// Messages of the device command flows.
namespace device_text {
inline const QString kUnableToCommunicate = QStringLiteral("Unable to communicate with the RV8.");
inline const QString kOverwriteSettings = QStringLiteral("Overwrite RV8 settings?");
inline const QString kWriteFirmwareProceed = QStringLiteral(
    "Firmware Version does not match active Firmware Version selected in program.\r\rProceed anyway?");
inline const QString kWriteFirmwareRefused =
    QStringLiteral("Firmware Version does not match active Firmware Version selected in program.\r\rTo download "
                   "parameters to the RV8 the Firmware Version has to match.");
inline const QString kWriteModelMismatch = QStringLiteral(
    "RV8 model does not match RV8 model selected in this program.\r\rTransmit model independent parameters only? "
    "\r\r");
inline const QString kWriteModelDependent =
    QStringLiteral("Please take into account that some parameters are RV8 size dependent (e.g. motor "
                   "settings).\rOnce the RV8 has been programmed, download and save the settings to disk.\r\rContinue?");
inline const QString kCompareFirmwareRefused = QStringLiteral(
    "Firmware Version does not match Firmware Version selected in Program. Please use RV8 setup to change Firmware "
    "Version.");
inline const QString kCompareFirmwareProceed =
    QStringLiteral("Firmware Version does not match Firmware Version selected in Program! Proceed anyway?");
inline const QString kCompareFirmwareNewer = QStringLiteral(
    "Firmware Version does not match Firmware Version selected in program. Please use RV8 setup to change Firmware "
    "Version.");
inline const QString kCompareModelMismatch =
    QStringLiteral("The RV8 model connected does not match the model selected in program. Proceed?");
}  // namespace device_text

// What the flows talk to. Scan is required; its transfer's DeviceContext names the session, the
// prompts, the program options, the tables and the selection the flows work on.
struct StarterAccess {
    comm::TNetScan* Scan = nullptr;
    // The state of the "Selection" window that the identification scan fills.
    param::TCtrlSel* SelectionDialog = &param::CTRL_SEL;
    // The "Scan Results" window of the identification (null: none).
    comm::IScanResultsView* ScanResults = nullptr;
    // Shows the "Selection" window modally; true when it was accepted. Unset: nothing is shown
    // and the window counts as cancelled.
    std::function<bool()> ShowSelectionDialog {};
    // The project information that goes with the parameter set.
    ProjectInformation* Info = &PROJECT_INFORMATION;
    // Rebuilds the catalogue for the selection; "" when sound. Unset: as ProjectWorkspace does.
    std::function<std::string()> Rebuild {};

    comm::TParameterTransfer& Transfer() const { return Scan->Transfer(); }
    const comm::DeviceContext& Device() const { return Scan->Transfer().Context(); }
    comm::UserPrompts& Prompts() const { return *Device().Prompts; }
    param::PrmTable& Parameters() const { return *Device().Parameters; }
    param::TSelectionState& Selection() const { return *Device().Selection; }
    // Where ProjectModified lives for these tables.
    param::TModifiedFlags& Flags() const;
    // The same tables, selection and information as a file workspace.
    ProjectWorkspace Workspace() const;
    // Shows the selection window; false when it is unset or was cancelled.
    bool SelectionAccepted() const { return ShowSelectionDialog && ShowSelectionDialog(); }
};

// Where a firmware number and model code to adopt come from.
enum class SelectionSource {
    Starter,  // the identification scan: with option L1A the firmware counts as the standard one
    File,     // a project file's header
    Backup,   // a recovery backup's header: ProjectModified keeps its value
};

// AdoptDriveSelection: makes a firmware number and a model code the selection. The firmware is
// looked up in FLASH_TABLE (several matches: the last one; 0: the standard position 0), the
// model in MODEL_TABLE; an unknown one gets "Firmware Version not supported by program." or "RV8
// model not supported by program." (warning) and false, with the selection untouched.
// Otherwise the selection and the "Selection" window's lists follow, ProjectModified is cleared
// (not for a backup) and the catalogue is rebuilt, which resets every value column to the
// defaults. False also when the rebuild reports a catalogue defect.
bool AdoptDriveSelection(const StarterAccess& access, std::int32_t firmware, std::int32_t modelCode,
                         SelectionSource source);

// The identification scan (scandriveprocedure, silent) and, when the starter's firmware or
// model differs from the selection, AdoptDriveSelection with the scanned values. A failed scan
// says "Unable to communicate with the RV8.". With followGenericModel false (the Read command's
// rule) a selection of the generic model (code 0 or below) keeps its model; the command line
// passes true so that the selection always becomes the starter's model.
bool IdentifyAndSelect(const StarterAccess& access, bool followGenericModel = false);

// The Read command after going online: IdentifyAndSelect, ReceiveAll into vcDrive,
// AdoptReceivedValues and the Motor FLA range of the working values. False when any step failed
// (the failing step has said why).
bool ReadStarterParameters(const StarterAccess& access, bool followGenericModel = false);

// The Write command after going online: the Motor FLA range of the working values, "Overwrite
// RV8 settings?", the identification scan, the firmware check (skipped with L1A; an older,
// unknown or 500-and-above starter firmware is refused, a newer one asks), the model check
// (a mismatch asks and transmits the model-independent variant) and TransmitAll of the working
// values. True only when the parameters were written.
bool WriteStarterParameters(const StarterAccess& access);

// One parameter whose values differ between the working column and the starter.
struct ParameterDifference {
    int number = 0;
    QString parameterId;  // "F001"
    QString title;
    QString workingText;  // the value with its units, or the list item text
    QString starterText;
};

struct CompareOutcome {
    bool ok = false;  // the starter was read
    int compared = 0;  // parameters compared
    std::vector<ParameterDifference> differences;
};

// The value of a saved parameter in a column as a reader sees it: the number with its units
// ("1.5 Sec."), a list item's text with its value ("CR1-CR2 (2)"), or the Off text.
QString ParameterValueText(const param::PrmTable& table, int number, int column);

// The Compare command after going online: the identification scan, the firmware check of the
// compare (a newer selection or an unknown starter firmware stops, an older selection asks),
// the model question, and ReceiveAll into vcDrive only (the working values stay). The outcome
// lists every saved parameter (see IsSavedParameter) whose working and starter values differ.
CompareOutcome CompareWithStarter(const StarterAccess& access);

}  // namespace rv8::files
