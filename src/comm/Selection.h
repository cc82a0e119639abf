#pragma once
// The starter-selection flows that talk to the starter: the identification scan behind the
// "Selection" dialog's "&Scan" and the silent scan on going online, and the check the group
// editor runs before it transmits. The selection state and its rules are param/CtrlSel.h.

#include "NetScan.h"
#include "param/CtrlSel.h"

#include <QString>

namespace rv8::comm {

namespace selection_text {
inline const QString kNotConnected = QStringLiteral(
    "You are currently not connected to a RV8.\n\nWould you like to setup and establish communication with the RV8?");
inline const QString kFirmwareProceed =
    QStringLiteral("Firmware Version does not match Firmware Version selected in program. Proceed anyway?");
inline const QString kFirmwareRefused = QStringLiteral(
    "Firmware Version does not match Firmware Version selected in Program. Use RV8 setup to change Firmware Version.");
inline const QString kControlModeProceed =
    QStringLiteral("Control mode does not match control mode selected in program. Proceed anyway?");
inline const QString kModelMismatch = QStringLiteral(
    "The RV8 model connected does not match the model selected in program.\rTransmit non-KVA dependent parameters only?");
inline const QString kModelDependent = QStringLiteral(
    "Please take into account that certain parameters (e.g. motor related parameters are RV8 dependent.\rOnce the RV8 "
    "has been programmed, download and save the parameters to a file.\r\rContinue?");
}  // namespace selection_text

// `scandriveprocedure`: identifies the starter (IdentifyStarter, with its own messages and the
// results view, which may be null) and matches firmware and model against the tables in `sel`.
// Unsupported firmware or model gets its warning. True when both matched.
bool scandriveprocedure(TNetScan& scan, param::TCtrlSel& sel, bool silent, IScanResultsView* results = nullptr);

// What CheckBeforeTransmit leaves for its caller (the group editor picks variant 5 or 4 by it).
struct TransmitCheck {
    bool passed = false;
    bool modelMismatch = false;
    bool sameVoltageClass = false;
};

// Before the group editor transmits: opens the channel from the stored settings when offline,
// runs the silent identification scan, compares firmware (unless L1A), control mode (when asked)
// and model, asking where the rules allow going on.
TransmitCheck CheckBeforeTransmit(TNetScan& scan, param::TCtrlSel& sel, bool askControlMode,
                                  IScanResultsView* results = nullptr);

}  // namespace rv8::comm
