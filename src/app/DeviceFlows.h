#pragma once
// The main window's device command flows without their windows: going online and offline, the
// identification after going online with its backup offer, Read, "Parameters (RV8 memory)",
// Write, Compare, Compare file, the factory reset, setting the clock, the starter and firmware
// selection, the start-up wizard command, the network-scan question, node picking and the
// network toolbar's "Go!".
//
// Every flow is a sequence of questions (through the UserPrompts of the starter access), checks
// and calls into the session, transfer, scan and file code. The windows a flow opens (the
// communication set-up, the selection, the node picker, the reset and clock windows ...) are
// reached through FlowHooks, which the main window fills with its windows and tests fill with
// scripted answers. An unset hook behaves like a window that was cancelled.
//
// Results: true when the command did its work; false when it stopped (after its message).

#include "comm/DeviceCommands.h"
#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "comm/UserPrompts.h"
#include "files/Backup.h"
#include "files/BackupTransfer.h"

#include <QString>

#include <functional>
#include <optional>

namespace rv8::app {

namespace flow_text {
inline const QString kConnectedQuestion = QStringLiteral(
    "Is your RV8 connected to this computer?\r\rMake sure the following has been done:\r\r* Serial cable connected "
    "to the RV8\r* Main power supply connected and turned ON\r* Communication parameters setup correctly?");
inline const QString kScanQuestion = QStringLiteral(
    "Network has not been scanned!, would you like to scan the RV8 Network now?\rNOTE: It is not possible to use "
    "this feature when the RV8 Network has not been scanned.");
inline const QString kReadOffline =
    QStringLiteral("You are currently offline, please go online to read all parameters from the RV8.");
inline const QString kMemoryNotConnected = QStringLiteral(
    "You are currently not connected to the RV8.\r\rPlease establish communication in order to read all parameters.");
inline const QString kWriteOffline =
    QStringLiteral("You are currently offline, please go online to write the parameters to the RV8.");
inline const QString kCompareOffline =
    QStringLiteral("You are currently offline, please go online to compare RV8 parameters.");
inline const QString kGoOnlineQuestion = QStringLiteral("You are currently OFFLINE!, would you like to go ONLINE?");
inline const QString kTimeSet = QStringLiteral("RV8 time and date successfully set.");
inline const QString kWizardFirmware = QStringLiteral(
    "Please select RV8 Firmware Version in the next screen to configure the basic start-up wizard.");
inline const QString kQuickSetupQuestion = QStringLiteral("Open the RV8 Quick setup?");
inline const QString kCompareFileFilter = QStringLiteral("RV8 TOOL Project Files (*.RV8Proj)|*.RV8Proj|");
inline const QString kOpenTitle = QStringLiteral("Open RV8 File");
}  // namespace flow_text

// Answers of the connected question window.
enum TConnectedAnswer : int { caNone = 0, caNo = 1, caYes = 2 };

// The windows and main-window refreshes the flows use.
struct FlowHooks {
    // "Communication Setup", shown modally (the session's flows open or close the channel).
    std::function<void()> showCommunicationSetup {};
    // The connected question window with kConnectedQuestion; a TConnectedAnswer.
    std::function<int()> connectedQuestion {};
    // "Backup Parameters" after identification: true when the user asked for a backup.
    std::function<bool()> askForBackup {};
    // The "Scan Network..." window: runs the network scan (it sets NetworkScanned).
    std::function<void()> scanNetwork {};
    // The "Network Tree" window in node-picking mode: the picked address, or nothing.
    std::function<std::optional<int>()> pickNode {};
    // The system clear / factory reset window: the confirmed choice (0 none).
    std::function<int()> chooseReset {};
    // The real-time clock window: the values to set, or nothing when cancelled.
    std::function<std::optional<comm::TClockValues>()> chooseClock {};
    // The start-up wizard, shown modally.
    std::function<void()> showWizard {};
    // The monitor panel, trend recorder and diagnosis window for the node of the network toolbar.
    std::function<void(const QString& which)> openNodeWindow {};
    // Main-window refreshes.
    std::function<void()> updateStatusPanels {};
    // After Read: the tree and program-memory view refresh, and (showPage) the parameter page.
    std::function<void(bool showPage)> readFinished {};
    // After Compare: the parameter page in the comparison view.
    std::function<void()> compareFinished {};
    // After "Parameters (RV8 memory)" and the network toolbar's read: the program-memory view.
    std::function<void()> showProgramMemory {};
    // The overview after the wizard or the selection changed values.
    std::function<void()> refreshOverview {};
    // A file went into the recent list; the window caption changed.
    std::function<void(const QString& path)> addRecentDocument {};
    std::function<void(const QString& caption)> setCaption {};
};

class TDeviceFlows {
public:
    // `access` names the scan (and through it transfer, session, prompts and options), the
    // selection window and the tables; `dialogs` the file dialogs of Compare file and the
    // backup. All must outlive the flows.
    TDeviceFlows(files::StarterAccess access, files::IFileDialogs& dialogs, FlowHooks hooks = {});

    void SetHooks(FlowHooks hooks) { m_hooks = std::move(hooks); }
    FlowHooks& Hooks() { return m_hooks; }
    const files::StarterAccess& Access() const { return m_access; }
    comm::TSerialSetup& Session() const { return *m_access.Device().Session; }
    comm::ShellState& Shell() const { return m_access.Device().Shell(); }
    const comm::ProgramOptions& Options() const { return *m_access.Device().Options; }
    comm::UserPrompts& Prompts() const { return m_access.Prompts(); }
    bool IsNetwork() const;

    // ---- Going online ----------------------------------------------------------------------
    // "OFFLINE" toggle and StatusPanel1: online closes the channel, offline opens the set-up;
    // then the after-online steps (unless L3). Returns IsOnline afterwards.
    bool ToggleOnline();
    // The "Communication Setup" command (also the first step of commands while offline), with
    // the automatic scan of option L3.
    void CommunicationSetup();
    // The steps after going online without L3: the scan question (network) or identification.
    void AfterGoingOnline();
    // After-online identification (single mode), with the backup offer of option L26.
    void AfterOnlineIdentification();
    // The network-scan question when the network has not been scanned; true when scanned.
    bool NetworkScanQuestion();
    // Single mode: true. Network mode: scan question, node picker, NodeAddress := the pick.
    bool ResolveTarget();

    // ---- Commands --------------------------------------------------------------------------
    bool Read();
    bool ReadStarterMemory();
    bool Write();
    bool Compare();
    bool CompareFile();
    bool Initialize();
    bool SetTime();
    // StatusPanel2, StatusPanel3 and "%p1% Version": true when the selection was accepted.
    bool StarterSelection();
    bool StartupWizard();
    // "Go!" of the network toolbar with the selected entry's text.
    bool NetworkGo(const QString& entryText);

    // The differences of the last Compare (empty when it did not run to the end).
    const files::CompareOutcome& LastCompare() const { return m_lastCompare; }

private:
    void updateStatusPanels() const;
    bool offlineSetup(const QString& stillOfflineMessage);
    bool askGoOnline();

    files::StarterAccess m_access;
    files::IFileDialogs& m_dialogs;
    FlowHooks m_hooks;
    files::CompareOutcome m_lastCompare;
};

}  // namespace rv8::app
