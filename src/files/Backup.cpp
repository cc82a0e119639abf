#include "files/Backup.h"

#include "comm/Selection.h"
#include "param/AdoptValues.h"

#include <QFileInfo>

namespace rv8::files {

using comm::PromptKind;
using namespace rv8::param;

QString FileDialogRequest::QtFilter() const
{
    // "Text (*.EXT)|*.EXT|Other (*.O)|*.O|": every second part is the pattern of the one before.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty())
            entries << parts[i];
    return entries.join(QStringLiteral(";;"));
}

QString BackupFileName(const QString& chosen)
{
    const QString extension = QString::fromLatin1(kBackupExtension);
    if (chosen.endsWith(extension, Qt::CaseInsensitive))
        return chosen;
    return chosen + extension;
}

BackupSaveResult SaveDriveBackup(const StarterAccess& access, IFileDialogs& dialogs, const SaveOptions& options)
{
    BackupSaveResult result;
    comm::BusyBracket busy(access.Device().Shell());
    comm::UserPrompts& prompts = access.Prompts();
    TCtrlSel& sel = *access.SelectionDialog;
    TSelectionState& selection = access.Selection();
    PrmTable& table = access.Parameters();

    if (!comm::scandriveprocedure(*access.Scan, sel, true, access.ScanResults))
        return result;
    if (sel.ScannedFirmwareVersion != selection.CurrentFirmwareVersion) {
        result.message = QString::fromLatin1(kBackupFirmwareMismatch);
        prompts.warning({}, result.message);
        access.SelectionAccepted();
        return result;
    }
    if (!access.Transfer().ReceiveAll(table, vcDrive))
        return result;

    const ProjectWorkspace workspace = access.Workspace();
    bool rebuilt = false;
    const std::string defect = sel.Transfer_ScanData_to_Table(
        selection, access.Flags(), [&workspace] { return workspace.Rebuild(); }, &rebuilt);
    if (!defect.empty()) {
        result.message = QString::fromStdString(defect);
        prompts.error({}, result.message);
        return result;
    }
    // A take-over that rebuilt the catalogue has reset every value column, the received values
    // included: a backup must hold the starter's values, so they are read again.
    if (rebuilt && !access.Transfer().ReceiveAll(table, vcDrive))
        return result;
    AdoptReceivedValues(table, selection);

    const std::optional<QString> chosen = dialogs.ChooseSaveFile(
        {QString::fromLatin1(kBackupSaveTitle), QString::fromLatin1(kBackupSaveFilter),
         QString::fromLatin1(kBackupProposedName)});
    if (!chosen || chosen->isEmpty())
        return result;
    const QString fileName = BackupFileName(*chosen);
    if (QFileInfo::exists(fileName)
        && !prompts.questionOkCancel({}, QString::fromLatin1(kFileExistsOverwrite), PromptKind::Warning))
        return result;

    const FileResult saved = SaveProjectFile(fileName, workspace, prompts, options);
    result.ok = saved.ok;
    result.message = saved.message;
    result.line = saved.line;
    if (saved.ok)
        result.fileName = fileName;
    return result;
}

BackupLoadResult LoadBackup(const StarterAccess& access, IFileDialogs& dialogs, const LoadBackupHooks& hooks)
{
    BackupLoadResult result;
    comm::UserPrompts& prompts = access.Prompts();
    comm::ShellState& shell = access.Device().Shell();

    const std::optional<QString> chosen = dialogs.ChooseOpenFile(
        {QString::fromLatin1(kBackupOpenTitle), QString::fromLatin1(kBackupOpenFilter), QString()});
    if (!chosen || chosen->isEmpty())
        return result;

    OpenOptions open;
    open.kind = OpenKind::Backup;
    open.beep = hooks.beep;
    if (access.SelectionDialog != nullptr) {
        // The "Selection" window shows the backup's model and firmware as its unchanged state.
        open.selectionApplied = [&access](const TSelectionState& selection) {
            TCtrlSel& sel = *access.SelectionDialog;
            sel.DriveTypeIndex = sel.ShownModelPosition = ModelListPositionOfCode(selection.CurrentModelCode);
            sel.FlashNoIndex = sel.ShownFlashPosition = selection.CurrentFlashIndex;
        };
    }
    static_cast<OpenResult&>(result) = OpenProject(*chosen, access.Workspace(), prompts, open);
    if (!result.ok)
        return result;
    result.fileName = *chosen;
    // A loaded backup is the working parameter set, not the project: Save asks for a name.
    shell.CurrentProjectFile.clear();
    if (hooks.afterOpen)
        hooks.afterOpen();

    if (!prompts.questionYesNo({}, QString::fromLatin1(kDownloadBackupQuestion)))
        return result;
    if (!shell.IsOnline && hooks.openCommunicationSetup)
        hooks.openCommunicationSetup();
    if (!shell.IsOnline)
        return result;
    result.written = hooks.writeToStarter ? hooks.writeToStarter() : WriteStarterParameters(access);
    return result;
}

}  // namespace rv8::files
