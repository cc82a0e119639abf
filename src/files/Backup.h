#pragma once
// Recovery backups (".RV8TOOLB"): a project file holding the parameters read from the starter at
// the moment of the backup. SaveDriveBackup reads the starter and saves the backup under a name
// the user chooses; LoadBackup opens one as the working parameter set (not as the current
// project file) and offers to write it back to the starter.
//
// The file dialogs are behind IFileDialogs: the window shows the system's dialogs, the command
// line and the tests hand the names over with FixedFileDialogs.

#include "comm/ShellState.h"
#include "files/BackupTransfer.h"
#include "files/ProjectFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace rv8::files {

inline constexpr char kBackupExtension[] = ".RV8TOOLB";
inline constexpr char kBackupSaveFilter[] = "RV8 TOOL Project Files (*.RV8TOOLB)|*.RV8TOOLB|";
inline constexpr char kBackupSaveTitle[] = "Save RV8 TOOL Project Files";
inline constexpr char kBackupProposedName[] = "BACKUP";
inline constexpr char kBackupOpenFilter[] = "RV8 Recovery Backup Files (*.RV8TOOLB)|*.RV8TOOLB|";
inline constexpr char kBackupOpenTitle[] = "Open RV8 Backup File";

// The texts of the "Backup Parameters" view.
inline constexpr char kBackupViewCaption[] = "Backup Parameters";
inline constexpr char kBackupViewQuestion[] =
    "Would you like to make a backup copy of the RV8 parameters before continuing?";
inline constexpr char kBackupViewHint[] = "A backup can help you recover your setup in case of system failure.";

inline constexpr char kBackupFirmwareMismatch[] =
    "Firmware Version does not match Firmware Version selected in Program!, use RV8 Setup to change Firmware "
    "Version.";
inline constexpr char kFileExistsOverwrite[] = "File Already Exists!, Overwrite";
inline constexpr char kDownloadBackupQuestion[] = "Would you like to download the backup parameters to the RV8?";

// What a file dialog is asked to show. The filter is in the form "Text (*.EXT)|*.EXT|".
struct FileDialogRequest {
    QString title;
    QString filter;
    QString proposedName;  // the name in the name field, without folder (may be empty)

    // The filter as Qt's dialogs take it: "Text (*.EXT)" entries joined with ";;".
    QString QtFilter() const;
};

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // The chosen file's full path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> ChooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseOpenFile(const FileDialogRequest& request) = 0;
};

// Dialogs that answer with names given beforehand: the command line's --out, a test's script.
// An empty queue answers Cancel. Every request is recorded.
class FixedFileDialogs final : public IFileDialogs {
public:
    FixedFileDialogs& then(const QString& fileName)
    {
        m_names.push_back(fileName);
        return *this;
    }
    std::optional<QString> ChooseSaveFile(const FileDialogRequest& request) override { return take(request); }
    std::optional<QString> ChooseOpenFile(const FileDialogRequest& request) override { return take(request); }
    const std::vector<FileDialogRequest>& requests() const { return m_requests; }

private:
    std::optional<QString> take(const FileDialogRequest& request)
    {
        m_requests.push_back(request);
        if (m_names.isEmpty())
            return std::nullopt;
        return m_names.takeFirst();
    }

    QStringList m_names;
    std::vector<FileDialogRequest> m_requests;
};

// The backup's name for a chosen name: ".RV8TOOLB" is appended unless the name already ends in it
// (compared without regard to case). "BACKUP" -> "BACKUP.RV8TOOLB", "a.txt" -> "a.txt.RV8TOOLB".
QString BackupFileName(const QString& chosen);

// The "Backup Parameters" view without its window: BackupRequested is the answer of one showing.
class BackupView {
public:
    void FormShow() { BackupRequested = false; }
    void YesClick() { BackupRequested = true; }  // and the window closes
    void NoClick() {}                            // the window closes (Esc as well)
    bool BackupRequested = false;
};

struct BackupSaveResult : FileResult {
    QString fileName;  // the file written (empty when none)
};

// SaveDriveBackup: the identification scan (its failure stops silently after its own messages);
// a starter firmware other than the selected one warns, shows the "Selection" window and stops;
// ReceiveAll into vcDrive; the scan data are taken over into the selection and the received
// values become the working values; the save dialog (title "Save RV8 TOOL Project Files",
// proposed name "BACKUP"), the ".RV8TOOLB" rule and, for an existing file, "File Already
// Exists!, Overwrite" (warning, OK/Cancel); then SaveProjectFile with its information question.
// ok only when the file was written; a cancelled dialog or question gives ok false without a
// message.
BackupSaveResult SaveDriveBackup(const StarterAccess& access, IFileDialogs& dialogs, const SaveOptions& options = {});

// What LoadBackup hands to the main window.
struct LoadBackupHooks {
    // The main window's after-open display (project information, parameter overview).
    std::function<void()> afterOpen {};
    // The communication set-up, shown when the program is offline; afterwards IsOnline tells.
    std::function<void()> openCommunicationSetup {};
    // The main window's write command. Unset: WriteStarterParameters(access).
    std::function<bool()> writeToStarter {};
    std::function<void()> beep {};
};

struct BackupLoadResult : OpenResult {
    QString fileName;      // the backup opened (empty when none)
    bool written = false;  // the backup was written to the starter
};

// LoadBackup: the open dialog ("Open RV8 Backup File"), OpenProject as a backup (ProjectModified
// keeps its value; the caption is "RV8 Software: " + name), the current project file name is
// cleared so that Save asks for a name, the after-open display, then "Would you like to download
// the backup parameters to the RV8?" (Yes/No). Yes: offline, the communication set-up first
// (still offline: stop); then the write command.
BackupLoadResult LoadBackup(const StarterAccess& access, IFileDialogs& dialogs, const LoadBackupHooks& hooks = {});

}  // namespace rv8::files
