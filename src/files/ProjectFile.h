#pragma once
// Project files (".RV8Proj", and recovery backups ".RV8TOOLB" in the same layout): the writer,
// the two-pass reader and the open sequence.
//
// A project file is 8-bit Windows-1252 text with CR LF line ends, in sections introduced by a
// header line in square brackets. The writer produces ("" is an empty line):
//
//     [FILE INFO]  ""  FILE TYPE  : RV Series FILE 1.2.0.3  DATE       : <short date>  ""
//     [STARTER TYPE]  ""  RV8-150  ""
//     [FLASH NO.]  ""  401  ""
//     [PARAMETERS RV8 TOOL]  ""
//     F001=75;                 A.     Motor FLA
//     F010=1;                         Ramp Select                    - VR1-VR2
//     ...
//     and, when the user confirmed the project information:
//     ""  [PROJECT NAME]  <name>  [USER NAME]  <user>  ""  [INFO]  <information lines>
//
// The reader accepts blanks around lines and before a key's "=", any padding after the ";",
// lower-case keys and headers, LF line ends and the older [CONTROL MODE] section; everything
// after the ";" of a parameter line is ignored. A value itself is digits, "-" and "." only.
//
// Every operation works on a ProjectWorkspace (the program's tables and selection by default)
// and talks to the user only through the UserPrompts it is handed, so the window, the command
// line and the tests run the same code. The outcome comes back as a result with the last
// message shown, so a caller without a window can report it.

#include "comm/UserPrompts.h"
#include "files/UserInfo.h"
#include "param/VarDrive.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <functional>
#include <string>

namespace rv8::files {

// Texts of the file.
inline constexpr char kFileTypeLine[] = "FILE TYPE  : RV Series FILE 1.2.0.3";
inline constexpr char kDateLinePrefix[] = "DATE       : ";
inline constexpr char kSectionFileInfo[] = "[FILE INFO]";
inline constexpr char kSectionStarterType[] = "[STARTER TYPE]";
inline constexpr char kSectionFlashNo[] = "[FLASH NO.]";
inline constexpr char kSectionControlMode[] = "[CONTROL MODE]";
inline constexpr char kSectionParameters[] = "[PARAMETERS RV8 TOOL]";
inline constexpr char kSectionProjectName[] = "[PROJECT NAME]";
inline constexpr char kSectionUserName[] = "[USER NAME]";
inline constexpr char kSectionInfo[] = "[INFO]";
inline constexpr char kUnknownSetting[] = "Unknown setting";

// Messages.
inline constexpr char kAskInformationBeforeSave[] =
    "Would you like to change or view the project information before saving this file?";
inline constexpr char kUnableToWrite[] = "Unable to open file for write access.";
inline constexpr char kUnableToRead[] = "Unable to open file for read access.";
inline constexpr char kStarterTypeLineError[] = "RV8 type line error. File read aborted.";
inline constexpr char kFirmwareLineError[] = "Software version line error. File read aborted.";
inline constexpr char kControlModeLineError[] = "Control mode line error. File read aborted.";
inline constexpr char kFirmwareBeforeParameters[] =
    "Firmware Version information must be set before parameter section. File read aborted.";
inline constexpr char kStarterTypeBeforeParameters[] =
    "RV8 type information must be set before parameter section. File read aborted.";
inline constexpr char kStarterTypeMissing[] = "RV8 TYPE INFORMATION MISSING!";
inline constexpr char kFirmwareMissing[] = " Firmware Version MISSING!";
inline constexpr char kFirmwareNotSupported[] = "Firmware Version not supported by program.";
inline constexpr char kModelNotSupported[] = "RV8 model not supported by program.";
inline constexpr char kProjectCaptionPrefix[] = "RV8 Series Tool Software: ";
inline constexpr char kBackupCaptionPrefix[] = "RV8 Software: ";

// "Error in line: 17."
QString LineErrorMessage(int lineNumber);
// "Parameter \"Voltage Input\" out of range.\n\nParameter will be skipped."
QString OutOfRangeMessage(const QString& title);
// "Parameter Setting Disabled: F010, #10"
QString SettingDisabledMessage(const param::PRM_REC& record);
// "Parameter setting 7 not found for Ramp Select"
QString SettingNotFoundMessage(const param::PRM_REC& record, std::int64_t value);

// Where the file operations find the parameter tables, the selection and the project
// information. Default-constructed, it is the program's own state (PRM_TABLE, SIGNAL_TABLE,
// SELECTION, PROJECT_INFORMATION, rebuilt with BuildCatalogue(false)); tests and the simulated
// starter's side may hand their own. ProjectModified lives at parameters->ModifiedFlags.
struct ProjectWorkspace {
    param::PrmTable* parameters = &param::PRM_TABLE;
    param::PrmTable* signalTable = &param::SIGNAL_TABLE;
    param::TSelectionState* selection = &param::SELECTION;
    ProjectInformation* info = &PROJECT_INFORMATION;
    // Rebuilds the catalogue for *selection (firstBuild false) and returns the defect message, ""
    // when sound. Unset: the program's full rebuild when this is the program's state, otherwise
    // BuildCatalogue on the two tables.
    std::function<std::string()> rebuild {};

    std::string Rebuild() const;
};

// How a file operation ended. `message` is the last message shown to the user for a failure
// (empty when the user cancelled without a message); `line` is the file line it names, 0 when
// none.
struct FileResult {
    bool ok = false;
    QString message;
    int line = 0;
};

struct SaveOptions {
    // Shows the project information dialog on the information; true when it was closed with
    // Accept or Close. Unset: answering Yes to the information question writes the information
    // as it is (the command line fills it from its flags beforehand).
    std::function<bool(ProjectInformation&)> editInformation {};
    // The date written on line 4. Unset: today.
    std::function<QDate()> today {};
    // Its short date format gives the date text. Default: the user's locale.
    QLocale locale = QLocale::system();
    // The beep that goes with the list warnings. Unset: silent.
    std::function<void()> beep {};
};

// Writes the selection, the working values of every saved parameter and, when the user confirms
// the project information, the information sections. The file is written to a temporary file
// in the same folder, flushed to disk and then renamed over `fileName`, so a failed or
// interrupted save leaves the previous file as it was.
FileResult SaveProjectFile(const QString& fileName, const ProjectWorkspace& workspace, comm::UserPrompts& prompts,
                           const SaveOptions& options = {});

// The text of a project file (CR LF line ends, Windows-1252) without the information question:
// the lines SaveProjectFile writes when `withInformation` tells whether the information
// sections follow. The list warnings go to `prompts`.
QByteArray ProjectFileText(const ProjectWorkspace& workspace, bool withInformation, const QString& dateText,
                           comm::UserPrompts& prompts, const std::function<void()>& beep = {});

// The line of one saved parameter, without the line end ("F001=75;" padded ... "Motor FLA").
QString ParameterLine(const param::PrmTable& table, int number, comm::UserPrompts& prompts,
                      const param::TSelectionState& selection, const std::function<void()>& beep = {});

// True when the parameter goes into a project file: it has a SaveId, is not MONITOR_ONLY and
// exists in the selected firmware.
bool IsSavedParameter(const param::PrmTable& table, int number, const param::TSelectionState& selection);

enum LoadMode : int {
    lmHeader = 0,  // check the file, read model, firmware and information; values untouched
    lmValues = 1,  // also store the values into vcDrive and check them
    lmBackup = 2,  // the same as lmValues (the backup and compare reads)
};

struct LoadResult : FileResult {
    bool starterTypePresent = false;
    bool firmwarePresent = false;
    std::int32_t modelCode = 0;       // the file's model code (0 until a [STARTER TYPE] line)
    std::int32_t firmwareNumber = 0;  // the file's firmware number (0 until a [FLASH NO.] line)
    bool aborted = false;             // a section error or a Cancel ended the read
};

struct LoadOptions {
    // The beep before each "Error in line" question. Unset: silent.
    std::function<void()> beep {};
};

// Reads a project file. The project information (workspace.info) is cleared and refilled. With
// lmValues or lmBackup every parameter line is stored into the vcDrive column of the record
// whose SaveId equals the key (case-insensitive; unknown keys are skipped), then the Motor FLA
// range follows the loaded values and values out of range are replaced by the working value
// with a warning. The result is ok when the file named a starter type and a firmware version and
// the read was not aborted.
LoadResult LoadProjectFile(const QString& fileName, int loadMode, const ProjectWorkspace& workspace,
                           comm::UserPrompts& prompts, const LoadOptions& options = {});

enum class OpenKind {
    Project,  // the main window's Open: ProjectModified is cleared
    Backup,   // a recovery backup: ProjectModified keeps its value, the caption is the short one
};

struct OpenResult : FileResult {
    // The main window's caption after a successful open: "RV8 Series Tool Software: " (or
    // "RV8 Software: " for a backup) followed by the file name without folder.
    QString caption;
    bool selectionChanged = false;  // the catalogue was rebuilt for the file's model and firmware
};

struct OpenOptions {
    OpenKind kind = OpenKind::Project;
    std::function<void()> beep {};
    // Called after the file's model and firmware became the selection and the catalogue was
    // rebuilt (the selection dialog's shown positions follow it there).
    std::function<void(const param::TSelectionState&)> selectionApplied {};
};

// The complete open sequence: the header pass, the firmware and model checks (an unknown one
// stops before any value changes), the file's model and firmware become the selection and the
// catalogue is rebuilt, the value pass, and the values become the working values
// (AdoptReceivedValues). The information (workspace.info) holds the file's afterwards.
OpenResult OpenProject(const QString& fileName, const ProjectWorkspace& workspace, comm::UserPrompts& prompts,
                       const OpenOptions& options = {});

}  // namespace rv8::files
