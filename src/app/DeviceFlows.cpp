#include "app/DeviceFlows.h"

#include "comm/Selection.h"
#include "files/ProjectFile.h"
#include "param/AdoptValues.h"
#include "param/Catalogue.h"

#include <QFileInfo>

namespace rv8::app {

using comm::BusyBracket;
using comm::PromptAnswer;
using comm::PromptButtons;
using comm::PromptKind;

namespace {

void WorkingFlaRange(const files::StarterAccess& access)
{
    param::TSelectionState& selection = access.Selection();
    for (int pass = 0; pass < 2; ++pass)
        param::UpdateMotorFlaRange(access.Parameters(), selection.CurrentControlMode, selection);
}

}  // namespace

TDeviceFlows::TDeviceFlows(files::StarterAccess access, files::IFileDialogs& dialogs, FlowHooks hooks)
    : m_access(std::move(access)), m_dialogs(dialogs), m_hooks(std::move(hooks))
{
}

bool TDeviceFlows::IsNetwork() const
{
    // The settings decide, online or not: the toolbar and the status panel follow them too.
    return Session().ChosenInterfaceIdentifier() > 10;
}

void TDeviceFlows::updateStatusPanels() const
{
    if (m_hooks.updateStatusPanels)
        m_hooks.updateStatusPanels();
}

// ---- Going online ----------------------------------------------------------------------------

bool TDeviceFlows::ToggleOnline()
{
    BusyBracket busy(Shell());
    if (Shell().IsOnline)
        Session().Close_Communications();
    else
        CommunicationSetup();
    if (Shell().IsOnline && !Options().L3)
        AfterGoingOnline();
    updateStatusPanels();
    return Shell().IsOnline;
}

void TDeviceFlows::CommunicationSetup()
{
    BusyBracket busy(Shell());
    if (m_hooks.showCommunicationSetup)
        m_hooks.showCommunicationSetup();
    if (Shell().IsOnline && Options().L3) {
        if (IsNetwork()) {
            if (m_hooks.scanNetwork)
                m_hooks.scanNetwork();
        } else {
            // The selection window's "Scan" and "Accept", without showing it.
            param::TCtrlSel& sel = *m_access.SelectionDialog;
            sel.FormShow(m_access.Selection(), Options().StandardSoftware());
            if (comm::scandriveprocedure(*m_access.Scan, sel, false, m_access.ScanResults)) {
                const std::string defect = sel.Update_Control_Table_and_Default_settings(
                    m_access.Selection(), m_access.Flags(), [this] { return m_access.Workspace().Rebuild(); });
                if (!defect.empty())
                    Prompts().error({}, QString::fromStdString(defect));
            }
        }
    }
    updateStatusPanels();
}

void TDeviceFlows::AfterGoingOnline()
{
    if (IsNetwork())
        NetworkScanQuestion();
    else
        AfterOnlineIdentification();
}

void TDeviceFlows::AfterOnlineIdentification()
{
    const int answer = m_hooks.connectedQuestion ? m_hooks.connectedQuestion() : caNone;
    if (answer == caNone)
        return;
    if (answer == caNo) {
        m_access.SelectionAccepted();
        return;
    }
    BusyBracket busy(Shell());
    param::TCtrlSel& sel = *m_access.SelectionDialog;
    if (!comm::scandriveprocedure(*m_access.Scan, sel, true, m_access.ScanResults)) {
        m_access.SelectionAccepted();
        return;
    }
    const std::string defect = sel.Transfer_ScanData_to_Table(m_access.Selection(), m_access.Flags(),
                                                              [this] { return m_access.Workspace().Rebuild(); });
    if (!defect.empty()) {
        Prompts().error({}, QString::fromStdString(defect));
        return;
    }
    updateStatusPanels();
    if (Options().L26 && m_hooks.askForBackup && m_hooks.askForBackup()) {
        files::SaveDriveBackup(m_access, m_dialogs);
        updateStatusPanels();
    }
}

bool TDeviceFlows::NetworkScanQuestion()
{
    if (Shell().NetworkScanned)
        return true;
    if (Prompts().questionYesNo({}, flow_text::kScanQuestion, PromptKind::Information) && m_hooks.scanNetwork)
        m_hooks.scanNetwork();
    return Shell().NetworkScanned;
}

bool TDeviceFlows::ResolveTarget()
{
    if (!IsNetwork())
        return true;
    if (!NetworkScanQuestion())
        return false;
    const std::optional<int> picked = m_hooks.pickNode ? m_hooks.pickNode() : std::nullopt;
    if (!picked || *picked < 1 || *picked > comm::kNetworkNodeCount)
        return false;
    Shell().NodeAddress = static_cast<uint16_t>(*picked);
    return true;
}

// Offline: the communication set-up first; still offline: the message. True when online.
bool TDeviceFlows::offlineSetup(const QString& stillOfflineMessage)
{
    if (!Shell().IsOnline)
        CommunicationSetup();
    if (Shell().IsOnline)
        return true;
    Prompts().information({}, stillOfflineMessage);
    return false;
}

// "You are currently OFFLINE!, would you like to go ONLINE?": Yes opens the set-up. The command
// that asked ends either way.
bool TDeviceFlows::askGoOnline()
{
    if (Prompts().questionYesNo({}, flow_text::kGoOnlineQuestion))
        CommunicationSetup();
    return false;
}

// ---- Commands --------------------------------------------------------------------------------

bool TDeviceFlows::Read()
{
    BusyBracket busy(Shell());
    if (!offlineSetup(flow_text::kReadOffline))
        return false;
    if (!ResolveTarget())
        return false;
    if (!files::ReadStarterParameters(m_access)) {
        updateStatusPanels();
        return false;
    }
    // The values now are the starter's: nothing to save.
    m_access.Flags().ProjectModified = false;
    if (Shell().IsOnline && m_hooks.readFinished)
        m_hooks.readFinished(Options().L7);
    updateStatusPanels();
    return true;
}

bool TDeviceFlows::ReadStarterMemory()
{
    BusyBracket busy(Shell());
    if (!Shell().IsOnline) {
        Prompts().information({}, flow_text::kMemoryNotConnected);
        return false;
    }
    if (!ResolveTarget())
        return false;
    param::TCtrlSel& sel = *m_access.SelectionDialog;
    if (!comm::scandriveprocedure(*m_access.Scan, sel, true, m_access.ScanResults))
        return false;
    const param::TSelectionState& selection = m_access.Selection();
    if ((sel.ScannedFirmwareVersion != selection.CurrentFirmwareVersion
         || (sel.ScannedModelCode != selection.CurrentModelCode && selection.CurrentModelCode > 0))
        && !files::AdoptDriveSelection(m_access, sel.ScannedFirmwareVersion, sel.ScannedModelCode,
                                       files::SelectionSource::Starter))
        return false;
    if (!m_access.Transfer().ReceiveAll(m_access.Parameters(), param::vcDrive)) {
        updateStatusPanels();
        return false;
    }
    param::AdoptReceivedValues(m_access.Parameters(), m_access.Selection());
    m_access.Flags().ProjectModified = false;
    if (Options().L7 && Shell().IsOnline && m_hooks.showProgramMemory)
        m_hooks.showProgramMemory();
    updateStatusPanels();
    return true;
}

bool TDeviceFlows::Write()
{
    BusyBracket busy(Shell());
    if (!offlineSetup(flow_text::kWriteOffline))
        return false;
    if (!ResolveTarget())
        return false;
    const bool written = files::WriteStarterParameters(m_access);
    updateStatusPanels();
    return written;
}

bool TDeviceFlows::Compare()
{
    m_lastCompare = {};
    if (!offlineSetup(flow_text::kCompareOffline))
        return false;
    if (!ResolveTarget())
        return false;
    BusyBracket busy(Shell());
    m_lastCompare = files::CompareWithStarter(m_access);
    if (m_lastCompare.ok) {
        WorkingFlaRange(m_access);
        if (m_hooks.compareFinished)
            m_hooks.compareFinished();
    }
    updateStatusPanels();
    return m_lastCompare.ok;
}

bool TDeviceFlows::CompareFile()
{
    const std::optional<QString> chosen =
        m_dialogs.ChooseOpenFile({flow_text::kOpenTitle, flow_text::kCompareFileFilter, {}});
    if (!chosen || chosen->isEmpty())
        return false;
    files::OpenOptions options;
    options.kind = files::OpenKind::Project;
    const files::OpenResult opened = files::OpenProject(*chosen, m_access.Workspace(), Prompts(), options);
    if (!opened.ok) {
        updateStatusPanels();
        return false;
    }
    // The file is only the reference of the comparison: Save must ask for a name.
    Shell().CurrentProjectFile.clear();
    if (m_hooks.setCaption)
        m_hooks.setCaption(QString::fromLatin1(files::kBackupCaptionPrefix) + QFileInfo(*chosen).fileName());
    if (m_hooks.addRecentDocument)
        m_hooks.addRecentDocument(*chosen);
    updateStatusPanels();
    return Compare();
}

bool TDeviceFlows::Initialize()
{
    BusyBracket busy(Shell());
    if (!Shell().IsOnline)
        return askGoOnline();
    if (!ResolveTarget())
        return false;
    const int choice = m_hooks.chooseReset ? m_hooks.chooseReset() : comm::rcNone;
    if (choice == comm::rcNone)
        return false;
    const bool sent = comm::SendSystemReset(m_access.Transfer(), choice);
    updateStatusPanels();
    return sent;
}

bool TDeviceFlows::SetTime()
{
    BusyBracket busy(Shell());
    if (!Shell().IsOnline)
        return askGoOnline();
    if (!ResolveTarget())
        return false;
    const std::optional<comm::TClockValues> values = m_hooks.chooseClock ? m_hooks.chooseClock() : std::nullopt;
    if (!values)
        return false;
    if (!comm::SetStarterClock(m_access.Device(), *values))
        return false;
    Prompts().information({}, flow_text::kTimeSet);
    return true;
}

bool TDeviceFlows::StarterSelection()
{
    if (Shell().IsOnline && IsNetwork()) {
        if (!NetworkScanQuestion())
            return false;
        const std::optional<int> picked = m_hooks.pickNode ? m_hooks.pickNode() : std::nullopt;
        if (!picked || *picked < 1 || *picked > comm::kNetworkNodeCount)
            return false;
        Shell().NodeAddress = static_cast<uint16_t>(*picked);
    }
    const bool accepted = m_access.SelectionAccepted();
    updateStatusPanels();
    return accepted;
}

bool TDeviceFlows::StartupWizard()
{
    if (!Shell().IsOnline) {
        if (Prompts().ask({PromptKind::Information, PromptButtons::OkCancel, {}, flow_text::kWizardFirmware})
            != PromptAnswer::Ok)
            return false;
        if (!m_access.SelectionAccepted())
            return false;
    } else if (!ResolveTarget()) {
        return false;
    }
    if (m_hooks.showWizard)
        m_hooks.showWizard();
    if (m_hooks.refreshOverview)
        m_hooks.refreshOverview();
    updateStatusPanels();
    return true;
}

bool TDeviceFlows::NetworkGo(const QString& entryText)
{
    bool number = false;
    const int address = entryText.left(3).toInt(&number);
    if (!number || address < 1 || address > comm::kNetworkNodeCount)
        return false;
    Shell().NodeAddress = static_cast<uint16_t>(address);
    if (entryText.endsWith(QStringLiteral(": Parameters"))) {
        BusyBracket busy(Shell());
        param::TCtrlSel& sel = *m_access.SelectionDialog;
        if (!comm::scandriveprocedure(*m_access.Scan, sel, true, m_access.ScanResults))
            return false;
        if (!files::AdoptDriveSelection(m_access, sel.ScannedFirmwareVersion, sel.ScannedModelCode,
                                        files::SelectionSource::Starter))
            return false;
        updateStatusPanels();
        if (!m_access.Transfer().ReceiveAll(m_access.Parameters(), param::vcDrive))
            return false;
        param::AdoptReceivedValues(m_access.Parameters(), m_access.Selection());
        m_access.Flags().ProjectModified = false;
        if (m_hooks.showProgramMemory)
            m_hooks.showProgramMemory();
        return true;
    }
    for (const char* which : {": Monitor Panel", ": Trend Recorder", ": Diagnostics"}) {
        if (entryText.endsWith(QLatin1String(which))) {
            if (m_hooks.openNodeWindow)
                m_hooks.openNodeWindow(QLatin1String(which).mid(2));
            return true;
        }
    }
    // ": Operator Keypad" and the firmware entry only choose the node.
    return true;
}

}  // namespace rv8::app
