#pragma once
// TMainForm: the program's main window. A ribbon-like bar (tabs "HOME", "EDIT", "STARTUP AND
// DIAGNOSTICS", "HELP", the hidden "WARRANTY"; groups of large and small buttons; a quick access
// bar; the backstage behind "File"), a page control without tabs (0 "Welcome", 1 "Parameters",
// 2 "Visual", 3 "Help and Documentation"), the status bar with its panels, LEDs and heartbeat,
// and the "Network" toolbar shown exactly when the communication settings are multi-drop.
//
// The window owns the parameter transfer, the network scan and the device flows over the session
// it is handed; it talks to the user only through the UserPrompts and file dialogs it is handed,
// so tests drive it with scripted answers. The parameter page and the visual page are containers
// the parameter browser fills (ParametersPage(), VisualPage()); the window tells it what to show
// through overviewRequested().

#include "app/DeviceFlows.h"
#include "app/RecentDocuments.h"
#include "comm/NetScan.h"
#include "comm/ProgramOptions.h"
#include "comm/Serial.h"
#include "comm/Transfer.h"
#include "files/Backup.h"
#include "files/uReg.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QStackedWidget;
class QStandardItemModel;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace rv8::app {

class TWelcomePage;
class TStatusWin;
class TCtrlSelForm;
class TNetScanWindow;
class TNwT;
class TWinV;
class TInitMode;
class TInitMode2;
class TSerialSetupForm;
class TUserInformation;
class TPSetup;
class TLed;
class TParameterBrowser;
class TGroupPrm2;
class TVisualSetupPage;

// What the main window works with; everything must outlive the window.
struct MainServices {
    comm::UserPrompts* Prompts = nullptr;
    files::IFileDialogs* Dialogs = nullptr;
    comm::TSerialSetup* Session = nullptr;
    comm::ProgramOptions* Options = nullptr;
    files::SettingsLocation Location = files::SettingsLocation::Default();
    // The recent documents ini file (empty: TRecentDocumentsController::DefaultFilePath()).
    QString RecentDocumentsFile;
};

// Program name, version and window caption.
inline const QString kApplicationTitle = QStringLiteral("RV8 Tool Software");
inline const QString kProgramName = QStringLiteral("RV8 Series Tool Software");
inline const QString kProgramVersion = QStringLiteral("1.2.0.3");
inline const QString kMakerSite = QStringLiteral("https://www.vorneka.example/rv8");
inline const QString kProjectFilter =
    QStringLiteral("RV8 TOOL Project Files (*.RV8Proj;*.RV8TOOLO)|*.RV8Proj;*.RV8TOOLO|");
inline const QString kProjectSaveFilter = QStringLiteral("RV8 TOOL Project Files (*.RV8Proj)|*.RV8Proj|");
inline const QString kOpenTitle = QStringLiteral("Open RV8 File");
inline const QString kSaveTitle = QStringLiteral("Save RV8 File");
inline const QString kSaveQuestion = QStringLiteral("Save RV8 active parameter settings?");
inline const QString kEndQuestion = QStringLiteral("End Software?");
inline const QString kRestoreQuestion =
    QStringLiteral("Restore program parameters to factory default values, are you sure?");
inline const QString kRestoreDownloadQuestion = QStringLiteral("Would you like to download default parameters to the RV8?");
inline const QString kFileMissing = QStringLiteral("The file you are trying to load does not exist!");
inline const QString kExtensionMismatch = QStringLiteral(
    "The Extension specified does not match the program's file extension, the program will automatically update the "
    "specified extension to the correct extension.");
inline const QString kNotAvailableYet = QStringLiteral("This feature is not available in this version of the program.");

// The overview views of the parameter browser.
enum TOverviewMode : int { omProgramMemory = 0, omComparison = 2, omModified = 5, omSearch = 9 };

class TMainForm : public QMainWindow, public comm::INetworkTreeView {
    Q_OBJECT

public:
    enum Page { pgWelcome = 0, pgParameters = 1, pgVisual = 2, pgHelp = 3 };

    explicit TMainForm(MainServices services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Ribbon ----------------------------------------------------------------------------
    // The command by key: New, Open, Save, SaveAs, ProjectInfo, Online, Version, CommSetup,
    // Read, Write, StarterMemory, Parameters, VisualSetup, ParameterReport, ModifiedParameters,
    // Wizard, Compare, CompareFile, FactoryReset, SetTime, Restore, Email, Export, Search,
    // TrendRecorder, MonitorPanel, Diagnostics, Keypad, AutoTuning, Warranty, HelpContents,
    // CheckUpdates, Welcome, Help, Properties, Exit.
    QAction* Action(const QString& key) const;
    QTabWidget* Ribbon() const { return m_ribbon; }
    // Index of a ribbon tab by caption (-1 when none).
    int RibbonTab(const QString& caption) const;
    bool RibbonTabVisible(const QString& caption) const;
    // Replaces placeholder n ("%p<n>%") by args[n-1], trims, and when not empty sets the result
    // as the hint and (unless hintOnly) the caption.
    static void ApplyCaptionTemplate(QAction* action, const QString& captionTemplate, const QStringList& args,
                                     bool hintOnly = false);
    static QString FillTemplate(const QString& text, const QStringList& args);

    // ---- Pages -----------------------------------------------------------------------------
    void ShowWelcomeScreen();
    void ShowParameterScreen();
    void ShowVisualSetupScreen();
    void ShowHelpScreen();
    int CurrentPage() const;
    TWelcomePage* WelcomePage() const { return m_welcome; }
    // Containers the parameter browser and the visual page fill (empty QVBoxLayout).
    QWidget* ParametersPage() const { return m_parametersPage; }
    QWidget* VisualPage() const { return m_visualPage; }
    TParameterBrowser* Browser() const { return m_browser; }
    TGroupPrm2* Editor() const { return m_editor; }
    // Shows the backstage (File) and returns to the ribbon.
    void ShowBackstage(const QString& tab = QStringLiteral("Open"));
    void HideBackstage();
    bool BackstageVisible() const;

    // ---- Status bar ------------------------------------------------------------------------
    void UpdateStatusPanels();
    QLabel* StatusPanel1() const { return m_panel1; }
    QLabel* StatusPanel2() const { return m_panel2; }
    QLabel* StatusPanel3() const { return m_panel3; }
    QLabel* StatusPanel4() const { return m_panel4; }
    TLed* Heartbeat() const { return m_heartbeat; }
    QToolBar* NetworkToolBar() const { return m_networkBar; }
    QComboBox* NetworkCombo() const { return m_networkCombo; }
    // "Update Available": shown when the update check reports an update.
    void SetUpdateAvailable(bool available);

    // ---- Shell -----------------------------------------------------------------------------
    TDeviceFlows& Flows() { return *m_flows; }
    comm::TParameterTransfer& Transfer() { return *m_transfer; }
    comm::TNetScan& Scan() { return *m_scan; }
    comm::TSerialSetup& Session() { return *m_services.Session; }
    TRecentDocumentsController& Recent() { return m_recent; }
    int OverviewMode() const { return m_overviewMode; }
    // All command-line arguments joined with single blanks.
    void SetStartupFile(const QString& file) { m_startupFile = file; }
    const QString& StartupFile() const { return m_startupFile; }
    // Heartbeat interval (2500 ms) and the delay of the start-up questions (500 ms).
    void SetHeartbeatInterval(int milliseconds);
    void SetStartupQuestionDelay(int milliseconds);
    QTimer* HeartbeatTimer() const { return m_timer2; }
    // The close step's wait (100 ms).
    void SetCloseWait(int milliseconds) { m_closeWait = milliseconds; }
    // Set while the monitor panel, the trend recorder or the status reading acquire: the
    // heartbeat stays away.
    void SetAcquiring(bool acquiring) { m_acquiring = acquiring; }

    // ---- Project commands ------------------------------------------------------------------
    bool NewProject();
    bool OpenProject();
    // Opens a project by path (recent documents, the start file).
    bool OpenFile(const QString& path);
    bool SaveProject();
    bool SaveProjectAs();
    bool Restore();

    // Windows the commands show modally; tests replace them with scripted answers. Unset
    // entries use the real windows.
    struct WindowHooks {
        std::function<bool()> selection {};           // "Selection": accepted
        std::function<bool(bool viewOnly)> projectInformation {};  // closed with OK / Close
        std::function<void()> programProperties {};
    };
    WindowHooks& Windows() { return m_windowHooks; }
    TSerialSetupForm* SerialSetupForm() const { return m_serialForm; }
    TStatusWin* StatusWin() const { return m_statusWin; }
    const QString& SearchText() const { return m_searchText; }
    void SetSearchText(const QString& text) { m_searchText = text; }

    // The first-show steps (also run by the first showEvent).
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();

    // INetworkTreeView
    void ResetNetworkTree(const QString& rootText, int image) override;
    void AddNetworkNode(const QString& text, const QStringList& entries) override;
    void ExpandNetworkRoot() override;

signals:
    // The parameter browser shows this view (0 program memory, 2 comparison, 5 modified,
    // 9 search); also after every catalogue rebuild and read.
    void overviewRequested(int mode);
    // The parameter search dialog (status bar button and "Search").
    void searchRequested();
    // The caption changed (tests and the screenshot tool follow it).
    void captionChanged(const QString& caption);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildActions();
    void buildRibbon();
    void buildBackstage();
    void buildPages();
    void buildStatusBar();
    void buildNetworkBar();
    void installFlowHooks();
    QAction* addAction(const QString& key, const QString& caption, const QString& icon,
                       const QKeySequence& shortcut = {});
    QWidget* ribbonGroup(const QString& title, const QStringList& large, const QStringList& small);
    void setPage(int page);
    void updateNetworkBar();
    void setCaption(const QString& caption);
    void notAvailable();
    void afterOpen(bool hadInformation);
    void refreshBackstage();
    bool saveAsWithFolder(const QString& folder);
    bool openWithFolder(const QString& folder);
    bool queryClose();
    void requestOverview(int mode);

    MainServices m_services;
    std::unique_ptr<comm::TParameterTransfer> m_transfer;
    std::unique_ptr<comm::TNetScan> m_scan;
    std::unique_ptr<TDeviceFlows> m_flows;
    TRecentDocumentsController m_recent;
    files::TReg m_regist;

    QMap<QString, QAction*> m_actions;
    QTabWidget* m_ribbon = nullptr;
    QStackedWidget* m_frame = nullptr;  // 0 the window's content, 1 the backstage
    QStackedWidget* m_pages = nullptr;
    QStackedWidget* m_backstagePane = nullptr;
    QListWidget* m_backstageTabs = nullptr;
    QListWidget* m_recentProjects = nullptr;
    QListWidget* m_recentFolders = nullptr;
    QLabel* m_currentFolder = nullptr;
    TWelcomePage* m_welcome = nullptr;
    QWidget* m_parametersPage = nullptr;
    QWidget* m_visualPage = nullptr;
    TParameterBrowser* m_browser = nullptr;
    TGroupPrm2* m_editor = nullptr;
    TVisualSetupPage* m_visual = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    QLabel* m_panel3 = nullptr;
    QLabel* m_panel4 = nullptr;
    TLed* m_trip = nullptr;
    TLed* m_alarm = nullptr;
    TLed* m_heartbeat = nullptr;
    QToolBar* m_networkBar = nullptr;
    QComboBox* m_networkCombo = nullptr;
    QStandardItemModel* m_networkModel = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;

    TStatusWin* m_statusWin = nullptr;
    TCtrlSelForm* m_selectionWindow = nullptr;
    TNetScanWindow* m_scanWindow = nullptr;
    TNwT* m_networkTree = nullptr;
    TWinV* m_scanResults = nullptr;
    TInitMode* m_resetWindow = nullptr;
    TInitMode2* m_clockWindow = nullptr;
    TSerialSetupForm* m_serialForm = nullptr;
    TUserInformation* m_userInfo = nullptr;
    TPSetup* m_setup = nullptr;

    WindowHooks m_windowHooks;
    QString m_searchText;
    QString m_startupFile;
    QString m_openFolder;  // initial folder of the open and save dialogs when set
    int m_overviewMode = omProgramMemory;
    int m_closeWait = 100;
    bool m_shownOnce = false;
    bool m_timer1Used = false;
    bool m_acquiring = false;
    bool m_closing = false;
};

// The system's open and save dialogs for the file commands, with an initial folder the
// backstage's folder galleries set for one command.
class TQtFileDialogs final : public files::IFileDialogs {
public:
    explicit TQtFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> ChooseSaveFile(const files::FileDialogRequest& request) override;
    std::optional<QString> ChooseOpenFile(const files::FileDialogRequest& request) override;
    QString InitialFolder;

private:
    QPointer<QWidget> m_parent;
};

// A small round LED of the status bar.
class TLed : public QWidget {
    Q_OBJECT
public:
    TLed(const QColor& onColour, const QString& hint, QWidget* parent = nullptr);
    bool Active() const { return m_active; }
    void SetActive(bool active);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_on;
    bool m_active = false;
};

}  // namespace rv8::app
