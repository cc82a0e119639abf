#include "app/MainForm.h"

#include "app/BackupView.h"
#include "app/CtrlSelForm.h"
#include "app/InitF.h"
#include "app/InitF2.h"
#include "app/NetScanWindow.h"
#include "app/NetwTree.h"
#include "app/ParameterBrowser.h"
#include "app/PrmGrp2.h"
#include "app/VisualSetupPage.h"
#include "app/ScanResults.h"
#include "app/StatusWin.h"
#include "app/SerialSetupForm.h"
#include "app/Setup.h"
#include "app/UserInfoDialog.h"
#include "app/WelcomePage.h"
#include "files/ProjectFile.h"
#include "files/RegValues.h"
#include "files/UserInfo.h"
#include "param/Catalogue.h"
#include "param/Models.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace rv8::app {

using comm::PromptAnswer;
using comm::PromptKind;

namespace {

const QString kTabHome = QStringLiteral("HOME");
const QString kTabEdit = QStringLiteral("EDIT");
const QString kTabStartup = QStringLiteral("STARTUP AND DIAGNOSTICS");
const QString kTabWarranty = QStringLiteral("WARRANTY");
const QString kTabHelp = QStringLiteral("HELP");
const QString kTabPreferences = QStringLiteral("Preferences");

// Theme icon names with a style icon where the theme has none.
QIcon ThemeIcon(const QString& name, QStyle::StandardPixmap fallback, QWidget* widget)
{
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull())
        icon = widget->style()->standardIcon(fallback);
    return icon;
}

struct IconSpec {
    const char* theme;
    QStyle::StandardPixmap fallback;
};

IconSpec IconFor(const QString& key)
{
    static const QMap<QString, IconSpec> icons = {
        {QStringLiteral("New"), {"document-new", QStyle::SP_FileIcon}},
        {QStringLiteral("Open"), {"document-open", QStyle::SP_DialogOpenButton}},
        {QStringLiteral("Save"), {"document-save", QStyle::SP_DialogSaveButton}},
        {QStringLiteral("SaveAs"), {"document-save-as", QStyle::SP_DialogSaveButton}},
        {QStringLiteral("ProjectInfo"), {"document-properties", QStyle::SP_FileDialogInfoView}},
        {QStringLiteral("Online"), {"network-wired", QStyle::SP_DriveNetIcon}},
        {QStringLiteral("Version"), {"system-search", QStyle::SP_ComputerIcon}},
        {QStringLiteral("CommSetup"), {"preferences-system", QStyle::SP_DriveNetIcon}},
        {QStringLiteral("Read"), {"go-down", QStyle::SP_ArrowDown}},
        {QStringLiteral("Write"), {"go-up", QStyle::SP_ArrowUp}},
        {QStringLiteral("StarterMemory"), {"drive-harddisk", QStyle::SP_DriveHDIcon}},
        {QStringLiteral("Parameters"), {"view-list", QStyle::SP_FileDialogDetailedView}},
        {QStringLiteral("VisualSetup"), {"applications-engineering", QStyle::SP_DesktopIcon}},
        {QStringLiteral("ParameterReport"), {"document-print-preview", QStyle::SP_FileDialogContentsView}},
        {QStringLiteral("ModifiedParameters"), {"document-edit", QStyle::SP_FileDialogListView}},
        {QStringLiteral("Wizard"), {"tools-check-spelling", QStyle::SP_CommandLink}},
        {QStringLiteral("Compare"), {"edit-find-replace", QStyle::SP_BrowserReload}},
        {QStringLiteral("CompareFile"), {"edit-copy", QStyle::SP_FileDialogToParent}},
        {QStringLiteral("FactoryReset"), {"edit-clear", QStyle::SP_DialogResetButton}},
        {QStringLiteral("SetTime"), {"appointment-new", QStyle::SP_BrowserReload}},
        {QStringLiteral("Restore"), {"edit-undo", QStyle::SP_DialogResetButton}},
        {QStringLiteral("Email"), {"mail-send", QStyle::SP_MessageBoxInformation}},
        {QStringLiteral("Export"), {"document-send", QStyle::SP_DialogSaveButton}},
        {QStringLiteral("Search"), {"edit-find", QStyle::SP_FileDialogContentsView}},
        {QStringLiteral("TrendRecorder"), {"utilities-system-monitor", QStyle::SP_MediaPlay}},
        {QStringLiteral("MonitorPanel"), {"video-display", QStyle::SP_DesktopIcon}},
        {QStringLiteral("Diagnostics"), {"dialog-warning", QStyle::SP_MessageBoxWarning}},
        {QStringLiteral("Keypad"), {"input-keyboard", QStyle::SP_ComputerIcon}},
        {QStringLiteral("AutoTuning"), {"emblem-system", QStyle::SP_ComputerIcon}},
        {QStringLiteral("Warranty"), {"mail-mark-important", QStyle::SP_MessageBoxInformation}},
        {QStringLiteral("HelpContents"), {"help-contents", QStyle::SP_DialogHelpButton}},
        {QStringLiteral("CheckUpdates"), {"software-update-available", QStyle::SP_BrowserReload}},
        {QStringLiteral("Welcome"), {"go-home", QStyle::SP_DirHomeIcon}},
        {QStringLiteral("Help"), {"help-browser", QStyle::SP_DialogHelpButton}},
        {QStringLiteral("Properties"), {"preferences-desktop", QStyle::SP_FileDialogInfoView}},
        {QStringLiteral("Exit"), {"application-exit", QStyle::SP_DialogCloseButton}},
    };
    return icons.value(key, IconSpec{"", QStyle::SP_FileIcon});
}

QString PlaceholderOf(int n) { return QString::asprintf("%%p%d%%", n); }

// Recent documents and folders into a gallery.
void FillGallery(QListWidget* list, const std::vector<RecentItem>& items, const QIcon& icon)
{
    list->clear();
    for (const RecentItem& item : items) {
        auto* row = new QListWidgetItem(icon, item.caption + QStringLiteral("\n") + item.description, list);
        row->setToolTip(item.hint);
        row->setData(Qt::UserRole, item.hint);
    }
}

}  // namespace

// ---- File dialogs ----------------------------------------------------------------------------

std::optional<QString> TQtFileDialogs::ChooseSaveFile(const files::FileDialogRequest& request)
{
    const QString start = InitialFolder.isEmpty() ? request.proposedName
                                                  : QDir(InitialFolder).filePath(request.proposedName);
    const QString name = QFileDialog::getSaveFileName(m_parent, request.title, start, request.QtFilter(), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> TQtFileDialogs::ChooseOpenFile(const files::FileDialogRequest& request)
{
    const QString name = QFileDialog::getOpenFileName(m_parent, request.title, InitialFolder, request.QtFilter());
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

// ---- LED -------------------------------------------------------------------------------------

TLed::TLed(const QColor& onColour, const QString& hint, QWidget* parent) : QWidget(parent), m_on(onColour)
{
    setToolTip(hint);
    setFixedSize(16, 16);
}

void TLed::SetActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    update();
}

void TLed::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = m_active ? m_on : m_on.darker(300);
    QRadialGradient glow(QPointF(6, 6), 8);
    glow.setColorAt(0, fill.lighter(m_active ? 170 : 120));
    glow.setColorAt(1, fill);
    p.setBrush(glow);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawEllipse(QRectF(2, 2, 12, 12));
}

// ---- Creation --------------------------------------------------------------------------------

TMainForm::TMainForm(MainServices services, QWidget* parent)
    : QMainWindow(parent),
      m_services(std::move(services)),
      m_recent(m_services.RecentDocumentsFile.isEmpty() ? TRecentDocumentsController::DefaultFilePath()
                                                         : m_services.RecentDocumentsFile),
      m_regist(QString::fromLatin1(files::reg::kSetupKey), m_services.Location)
{
    setObjectName(QStringLiteral("MainForm"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));

    comm::DeviceContext context;
    context.Session = m_services.Session;
    context.Prompts = m_services.Prompts;
    context.Options = m_services.Options;
    context.Beep = [] { QApplication::beep(); };
    m_transfer = std::make_unique<comm::TParameterTransfer>(context);
    m_scan = std::make_unique<comm::TNetScan>(*m_transfer);
    comm::UserPrompts& prompts = *m_services.Prompts;

    // The windows the commands use, created once.
    m_statusWin = new TStatusWin(m_transfer->AbortFlag(), prompts, this);
    m_statusWin->SetBeep([] { QApplication::beep(); });
    m_transfer->SetProgress(m_statusWin);
    m_scanResults = new TWinV(*m_services.Options, m_services.Location, this);
    m_selectionWindow = new TCtrlSelForm(param::CTRL_SEL, prompts, *m_services.Options, m_services.Session->Shell(),
                                         m_scan.get(), this);
    m_selectionWindow->SetScanResults(m_scanResults);
    m_scanWindow = new TNetScanWindow(*m_scan, *m_services.Options, this, this);
    m_networkTree = new TNwT(prompts, comm::NETWORK_NODES, this);
    m_resetWindow = new TInitMode(prompts, this);
    m_clockWindow = new TInitMode2(prompts, this);
    m_serialForm = new TSerialSetupForm(*m_services.Session, prompts, this);
    m_userInfo = new TUserInformation(files::PROJECT_INFORMATION, this);
    m_setup = new TPSetup(*m_services.Options, prompts, m_services.Location, this);

    files::StarterAccess access;
    access.Scan = m_scan.get();
    access.ScanResults = m_scanResults;
    access.ShowSelectionDialog = [this] {
        if (m_windowHooks.selection)
            return m_windowHooks.selection();
        m_selectionWindow->exec();
        return !param::CTRL_SEL.SelectionCancelled;
    };
    access.Rebuild = [] { return param::BuildCatalogue(false); };
    m_flows = std::make_unique<TDeviceFlows>(access, *m_services.Dialogs);

    TCtrlSelForm::Hooks selectionHooks;
    selectionHooks.openCommunicationSetup = [this] { m_flows->CommunicationSetup(); };
    selectionHooks.catalogueRebuilt = [this] {
        requestOverview(omProgramMemory);
        UpdateStatusPanels();
    };
    m_selectionWindow->SetHooks(std::move(selectionHooks));

    m_recent.Read();
    buildActions();
    buildRibbon();
    buildPages();
    buildBackstage();
    buildStatusBar();
    buildNetworkBar();
    installFlowHooks();

    // The parameter page, the visual page and the group editor.
    EditorServices editorServices;
    editorServices.Prompts = &prompts;
    editorServices.Options = m_services.Options;
    editorServices.Session = m_services.Session;
    editorServices.Transfer = m_transfer.get();
    editorServices.Scan = m_scan.get();
    editorServices.showCommunicationSetup = [this] { m_flows->Hooks().showCommunicationSetup(); };
    editorServices.updateNetworkBar = [this] { UpdateStatusPanels(); };
    m_editor = new TGroupPrm2(editorServices, this);
    m_browser = new TParameterBrowser({&prompts, m_services.Options, m_editor}, m_parametersPage);
    m_parametersPage->layout()->addWidget(m_browser);
    VisualServices visualServices;
    visualServices.Prompts = &prompts;
    visualServices.Editor = m_editor;
    visualServices.Browser = m_browser;
    m_visual = new TVisualSetupPage(visualServices, m_visualPage);
    m_visualPage->layout()->addWidget(m_visual);
    connect(this, &TMainForm::searchRequested, m_browser, [this] {
        if (m_browser->RunSearchDialog()) {
            m_overviewMode = omSearch;
            ShowParameterScreen();
        }
    });
    connect(m_browser, &TParameterBrowser::showPageRequested, this, &TMainForm::ShowParameterScreen);
    connect(m_visual, &TVisualSetupPage::showParametersRequested, this, &TMainForm::ShowParameterScreen);
    connect(m_browser, &TParameterBrowser::editorClosed, this, [this] { UpdateStatusPanels(); });

    // Hidden at creation: the warranty command and its tab, auto-tuning and the keypad.
    m_actions[QStringLiteral("Warranty")]->setVisible(false);
    m_actions[QStringLiteral("AutoTuning")]->setVisible(false);
    m_actions[QStringLiteral("Keypad")]->setVisible(false);
    m_ribbon->setTabVisible(RibbonTab(kTabWarranty), false);
    m_ribbon->setTabVisible(RibbonTab(kTabPreferences), false);
    m_actions[QStringLiteral("Save")]->setEnabled(false);

    // The device is named in the captions through templates.
    const QStringList device{QStringLiteral("RV8")};
    const struct {
        const char* key;
        const char* caption;
        const char* hint;
    } templates[] = {
        {"FactoryReset", "%p1% Factory reset", nullptr},
        {"Compare", "Compare to %p1%", nullptr},
        {"CompareFile", "Compare file to %p1%", nullptr},
        {"StarterMemory", "Parameters (%p1% memory)", nullptr},
        {"Version", "%p1% Version", "Select %p1% Firmware Version"},
        {"CommSetup", "Communication Setup", nullptr},
        {"Read", "&Read from %p1%", "Read all parameters from the %p1%"},
        {"Write", "&Write to %p1%", "Write all parameters to the %p1%"},
        {"SetTime", "%p1% set Time and Date", nullptr},
    };
    for (const auto& t : templates) {
        QAction* action = m_actions.value(QString::fromLatin1(t.key));
        ApplyCaptionTemplate(action, QString::fromLatin1(t.caption), device);
        if (t.hint)
            ApplyCaptionTemplate(action, QString::fromLatin1(t.hint), device, true);
    }

    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(500);
    connect(m_timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setInterval(2500);
    connect(m_timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
    m_timer2->start();

    connect(m_services.Session, &comm::TSerialSetup::onlineChanged, this, [this] { UpdateStatusPanels(); });

    setWindowTitle(kApplicationTitle);
    resize(1280, 800);
}

TMainForm::~TMainForm()
{
    m_recent.Write();
}

QAction* TMainForm::addAction(const QString& key, const QString& caption, const QString& hint,
                              const QKeySequence& shortcut)
{
    const IconSpec spec = IconFor(key);
    auto* action = new QAction(ThemeIcon(QString::fromLatin1(spec.theme), spec.fallback, this), caption, this);
    action->setObjectName(key);
    action->setToolTip(hint.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : hint);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    QMainWindow::addAction(action);  // shortcuts work on every tab
    m_actions.insert(key, action);
    return action;
}

QAction* TMainForm::Action(const QString& key) const { return m_actions.value(key); }

void TMainForm::buildActions()
{
    const auto on = [this](const QString& key, auto&& slot) {
        connect(m_actions.value(key), &QAction::triggered, this, slot);
    };
    addAction(QStringLiteral("New"), QStringLiteral("&New"), QStringLiteral("Start a new project"));
    addAction(QStringLiteral("Open"), QStringLiteral("&Open"), QStringLiteral("Open a project file"),
              QKeySequence(Qt::CTRL | Qt::Key_O));
    addAction(QStringLiteral("Save"), QStringLiteral("&Save"), QStringLiteral("Save the project"),
              QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(QStringLiteral("SaveAs"), QStringLiteral("Save As..."), QStringLiteral("Save the project under a new name"));
    addAction(QStringLiteral("ProjectInfo"), QStringLiteral("Project &Info"), QStringLiteral("Project information"));
    addAction(QStringLiteral("Online"), QStringLiteral("OFFLINE"), QStringLiteral("Go online or offline"))
        ->setCheckable(true);
    addAction(QStringLiteral("Version"), QStringLiteral("%p1% Version"), {});
    addAction(QStringLiteral("CommSetup"), QStringLiteral("Communication Setup"), {});
    addAction(QStringLiteral("Read"), QStringLiteral("&Read from %p1%"), {}, QKeySequence(Qt::Key_F5));
    addAction(QStringLiteral("Write"), QStringLiteral("&Write to %p1%"), {}, QKeySequence(Qt::Key_F6));
    addAction(QStringLiteral("StarterMemory"), QStringLiteral("Parameters (%p1% memory)"), {},
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V));
    addAction(QStringLiteral("Parameters"), QStringLiteral("Parameters"), QStringLiteral("Parameter overview"));
    addAction(QStringLiteral("VisualSetup"), QStringLiteral("Visual Setup"), QStringLiteral("Visual set-up page"),
              QKeySequence(Qt::CTRL | Qt::Key_U));
    addAction(QStringLiteral("ParameterReport"), QStringLiteral("Parameter Report"), {});
    addAction(QStringLiteral("ModifiedParameters"), QStringLiteral("Modified Parameters"),
              QStringLiteral("Overview of modified parameters"));
    addAction(QStringLiteral("Wizard"), QStringLiteral("Basic Startup Wizard"), {}, QKeySequence(Qt::ALT | Qt::Key_Q));
    addAction(QStringLiteral("Compare"), QStringLiteral("Compare to %p1%"), {}, QKeySequence(Qt::ALT | Qt::Key_C));
    addAction(QStringLiteral("CompareFile"), QStringLiteral("Compare file to %p1%"), {},
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    addAction(QStringLiteral("FactoryReset"), QStringLiteral("%p1% Factory reset"), {});
    addAction(QStringLiteral("SetTime"), QStringLiteral("%p1% set Time and Date"), {});
    addAction(QStringLiteral("Restore"), QStringLiteral("Restore"), QStringLiteral("Restore default parameters"));
    addAction(QStringLiteral("Email"), QStringLiteral("E-&mail"), {});
    addAction(QStringLiteral("Export"), QStringLiteral("&Export"), {});
    addAction(QStringLiteral("Search"), QStringLiteral("Search"), QStringLiteral("Search parameters"),
              QKeySequence(Qt::ALT | Qt::Key_F));
    addAction(QStringLiteral("TrendRecorder"), QStringLiteral("Trend Recorder"), {}, QKeySequence(Qt::ALT | Qt::Key_T));
    addAction(QStringLiteral("MonitorPanel"), QStringLiteral("Monitor Panel"), {}, QKeySequence(Qt::ALT | Qt::Key_M));
    addAction(QStringLiteral("Diagnostics"), QStringLiteral("Diagnostics"), {}, QKeySequence(Qt::ALT | Qt::Key_D));
    addAction(QStringLiteral("Keypad"), QStringLiteral("Keypad Control"), {}, QKeySequence(Qt::ALT | Qt::Key_K));
    addAction(QStringLiteral("AutoTuning"), QStringLiteral("Drive Auto-tuning"), {}, QKeySequence(Qt::ALT | Qt::Key_A));
    addAction(QStringLiteral("Warranty"), QStringLiteral("Submit Warranty"), {});
    addAction(QStringLiteral("HelpContents"), QStringLiteral("Help Contents"), {}, QKeySequence(Qt::Key_F1));
    addAction(QStringLiteral("CheckUpdates"), QStringLiteral("Check for updates"), {});
    addAction(QStringLiteral("Welcome"), QStringLiteral("Welcome"), QStringLiteral("Welcome page"));
    addAction(QStringLiteral("Help"), QStringLiteral("Help"), QStringLiteral("Help and documentation (F1)"));
    addAction(QStringLiteral("Properties"), QStringLiteral("Properties"), QStringLiteral("Program properties"));
    addAction(QStringLiteral("Exit"), QStringLiteral("Exit"), QStringLiteral("End the program"),
              QKeySequence(Qt::ALT | Qt::Key_X));

    on(QStringLiteral("New"), [this] { NewProject(); });
    on(QStringLiteral("Open"), [this] { OpenProject(); });
    on(QStringLiteral("Save"), [this] { SaveProject(); });
    on(QStringLiteral("SaveAs"), [this] { SaveProjectAs(); });
    on(QStringLiteral("ProjectInfo"), [this] {
        if (m_windowHooks.projectInformation)
            m_windowHooks.projectInformation(false);
        else
            m_userInfo->ShowModal(TUserInformation::Use::Edit);
    });
    on(QStringLiteral("Online"), [this] {
        m_flows->ToggleOnline();
        UpdateStatusPanels();
    });
    on(QStringLiteral("Version"), [this] {
        m_flows->StarterSelection();
        requestOverview(m_overviewMode);
    });
    on(QStringLiteral("CommSetup"), [this] { m_flows->CommunicationSetup(); });
    on(QStringLiteral("Read"), [this] { m_flows->Read(); });
    on(QStringLiteral("Write"), [this] { m_flows->Write(); });
    on(QStringLiteral("StarterMemory"), [this] { m_flows->ReadStarterMemory(); });
    on(QStringLiteral("Parameters"), [this] {
        requestOverview(omProgramMemory);
        ShowParameterScreen();
    });
    on(QStringLiteral("VisualSetup"), [this] { ShowVisualSetupScreen(); });
    on(QStringLiteral("ModifiedParameters"), [this] {
        requestOverview(omModified);
        ShowParameterScreen();
    });
    on(QStringLiteral("Wizard"), [this] { m_flows->StartupWizard(); });
    on(QStringLiteral("Compare"), [this] { m_flows->Compare(); });
    on(QStringLiteral("CompareFile"), [this] { m_flows->CompareFile(); });
    on(QStringLiteral("FactoryReset"), [this] { m_flows->Initialize(); });
    on(QStringLiteral("SetTime"), [this] { m_flows->SetTime(); });
    on(QStringLiteral("Restore"), [this] { Restore(); });
    on(QStringLiteral("Search"), [this] { emit searchRequested(); });
    for (const char* later : {"ParameterReport", "Email", "Export", "TrendRecorder", "MonitorPanel", "Diagnostics",
                              "Warranty", "CheckUpdates"})
        on(QString::fromLatin1(later), [this] { notAvailable(); });
    // The keypad and auto-tuning commands are hidden and do nothing.
    on(QStringLiteral("HelpContents"), [this] { ShowHelpScreen(); });
    on(QStringLiteral("Welcome"), [this] { ShowWelcomeScreen(); });
    on(QStringLiteral("Help"), [this] { ShowHelpScreen(); });
    on(QStringLiteral("Properties"), [this] {
        HideBackstage();
        if (m_windowHooks.programProperties)
            m_windowHooks.programProperties();
        else
            m_setup->exec();
        UpdateStatusPanels();
        requestOverview(m_overviewMode);
    });
    on(QStringLiteral("Exit"), [this] { close(); });
}

QWidget* TMainForm::ribbonGroup(const QString& title, const QStringList& large, const QStringList& small)
{
    auto* group = new QWidget;
    group->setObjectName(QStringLiteral("RibbonGroup"));
    auto* outer = new QVBoxLayout(group);
    outer->setContentsMargins(4, 2, 4, 0);
    outer->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    for (const QString& key : large) {
        auto* button = new QToolButton(group);
        button->setDefaultAction(m_actions.value(key));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setMinimumWidth(std::max(64, button->sizeHint().width()));
        row->addWidget(button);
    }
    if (!small.isEmpty()) {
        auto* grid = new QGridLayout;
        grid->setSpacing(0);
        for (int i = 0; i < small.size(); ++i) {
            auto* button = new QToolButton(group);
            button->setDefaultAction(m_actions.value(small[i]));
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setIconSize(QSize(16, 16));
            button->setAutoRaise(true);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            grid->addWidget(button, i % 3, i / 3);
        }
        row->addLayout(grid);
    }
    outer->addLayout(row);
    outer->addStretch();
    auto* caption = new QLabel(title, group);
    caption->setAlignment(Qt::AlignCenter);
    caption->setObjectName(QStringLiteral("RibbonGroupCaption"));
    outer->addWidget(caption);
    return group;
}

void TMainForm::buildRibbon()
{
    m_ribbon = new QTabWidget;
    m_ribbon->setObjectName(QStringLiteral("RibbonMenu"));
    m_ribbon->setDocumentMode(true);
    m_ribbon->setFixedHeight(128);
    m_ribbon->setStyleSheet(QStringLiteral(
        "QTabWidget#RibbonMenu QWidget#RibbonPage { background: #f6f7f9; }"
        "QLabel#RibbonGroupCaption { color: #5a6270; font-size: 11px; }"
        "QWidget#RibbonGroup { border-right: 1px solid #d5d9e0; }"));
    const QStringList activeView{QStringLiteral("Welcome"), QStringLiteral("Parameters"), QStringLiteral("Help"),
                                 QStringLiteral("VisualSetup")};
    const auto page = [&](const QString& caption, const QList<QWidget*>& groups) {
        auto* tab = new QWidget;
        tab->setObjectName(QStringLiteral("RibbonPage"));
        auto* layout = new QHBoxLayout(tab);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(4);
        for (QWidget* group : groups)
            layout->addWidget(group);
        layout->addStretch();
        m_ribbon->addTab(tab, caption);
    };
    page(kTabHome,
         {ribbonGroup(QStringLiteral("Project"), {QStringLiteral("New"), QStringLiteral("Open"), QStringLiteral("Save")},
                      {QStringLiteral("SaveAs"), QStringLiteral("ProjectInfo")}),
          ribbonGroup(QStringLiteral("Online"), {QStringLiteral("Online"), QStringLiteral("CommSetup")},
                      {QStringLiteral("Version")}),
          ribbonGroup(QStringLiteral("Parameters"), {QStringLiteral("Read"), QStringLiteral("Write")},
                      {QStringLiteral("StarterMemory"), QStringLiteral("Compare"), QStringLiteral("CompareFile")}),
          ribbonGroup(QStringLiteral("Active View"), activeView, {})});
    page(kTabEdit,
         {ribbonGroup(QStringLiteral("Parameters"),
                      {QStringLiteral("Read"), QStringLiteral("Write"), QStringLiteral("Parameters"),
                       QStringLiteral("ModifiedParameters"), QStringLiteral("Search")},
                      {QStringLiteral("Wizard"), QStringLiteral("Compare"), QStringLiteral("CompareFile"),
                       QStringLiteral("FactoryReset"), QStringLiteral("SetTime"), QStringLiteral("Restore"),
                       QStringLiteral("ParameterReport"), QStringLiteral("Email"), QStringLiteral("Export")}),
          ribbonGroup(QStringLiteral("Active View"), activeView, {})});
    page(kTabStartup,
         {ribbonGroup(QStringLiteral("Startup"),
                      {QStringLiteral("TrendRecorder"), QStringLiteral("MonitorPanel"), QStringLiteral("Diagnostics"),
                       QStringLiteral("Keypad"), QStringLiteral("AutoTuning")},
                      {}),
          ribbonGroup(QStringLiteral("Active View"), activeView, {})});
    page(kTabWarranty, {ribbonGroup(QStringLiteral("Warranty"), {QStringLiteral("Warranty")}, {})});
    page(kTabHelp, {ribbonGroup(QStringLiteral("Help"), {QStringLiteral("HelpContents"), QStringLiteral("CheckUpdates")}, {}),
                    ribbonGroup(QStringLiteral("Active View"), activeView, {})});
    page(kTabPreferences, {});

    // "File" opens the backstage; the quick access bar sits on the right.
    auto* file = new QToolButton;
    file->setText(QStringLiteral("  File  "));
    file->setObjectName(QStringLiteral("BackstageButton"));
    file->setStyleSheet(QStringLiteral(
        "QToolButton { background: #1f5fa8; color: white; font-weight: bold; padding: 4px 10px; border: none; }"
        "QToolButton:hover { background: #2b73c4; }"));
    connect(file, &QToolButton::clicked, this, [this] { ShowBackstage(); });
    m_ribbon->setCornerWidget(file, Qt::TopLeftCorner);
    auto* quick = new QToolBar;
    quick->setObjectName(QStringLiteral("QuickAccessBar"));
    quick->setIconSize(QSize(16, 16));
    quick->addAction(m_actions.value(QStringLiteral("Open")));
    quick->addAction(m_actions.value(QStringLiteral("Save")));
    quick->addAction(m_actions.value(QStringLiteral("ProjectInfo")));
    m_ribbon->setCornerWidget(quick, Qt::TopRightCorner);
}

int TMainForm::RibbonTab(const QString& caption) const
{
    for (int i = 0; i < m_ribbon->count(); ++i)
        if (m_ribbon->tabText(i) == caption)
            return i;
    return -1;
}

bool TMainForm::RibbonTabVisible(const QString& caption) const
{
    const int index = RibbonTab(caption);
    return index >= 0 && m_ribbon->isTabVisible(index);
}

QString TMainForm::FillTemplate(const QString& text, const QStringList& args)
{
    QString result = text;
    for (int n = 1; n <= args.size(); ++n)
        result.replace(PlaceholderOf(n), args[n - 1]);
    return result.trimmed();
}

void TMainForm::ApplyCaptionTemplate(QAction* action, const QString& captionTemplate, const QStringList& args,
                                     bool hintOnly)
{
    if (action == nullptr)
        return;
    const QString text = FillTemplate(captionTemplate, args);
    if (text.isEmpty())
        return;
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
    if (!hintOnly)
        action->setText(text);
}

void TMainForm::buildPages()
{
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_welcome = new TWelcomePage;
    connect(m_welcome, &TWelcomePage::newProjectClicked, this, [this] { NewProject(); });
    connect(m_welcome, &TWelcomePage::openProjectClicked, this, [this] { OpenProject(); });
    connect(m_welcome, &TWelcomePage::parameterOverviewClicked, this, [this] {
        requestOverview(omProgramMemory);
        ShowParameterScreen();
    });
    connect(m_welcome, &TWelcomePage::helpDocumentClicked, this, [this] { ShowHelpScreen(); });
    m_parametersPage = new QWidget;
    m_parametersPage->setObjectName(QStringLiteral("ParametersPage"));
    (new QVBoxLayout(m_parametersPage))->setContentsMargins(0, 0, 0, 0);
    m_visualPage = new QWidget;
    m_visualPage->setObjectName(QStringLiteral("VisualPage"));
    (new QVBoxLayout(m_visualPage))->setContentsMargins(0, 0, 0, 0);
    auto* help = new QWidget;
    help->setObjectName(QStringLiteral("HelpPage"));
    auto* helpLayout = new QVBoxLayout(help);
    auto* helpTitle = new QLabel(QStringLiteral("<h2>Help and Documentation</h2>"
                                                "<p>The help topics and the product documents are opened from here. "
                                                "This page is not available in this version of the program.</p>"),
                                 help);
    helpTitle->setWordWrap(true);
    helpLayout->addWidget(helpTitle);
    helpLayout->addStretch();
    m_pages->addWidget(m_welcome);
    m_pages->addWidget(m_parametersPage);
    m_pages->addWidget(m_visualPage);
    m_pages->addWidget(help);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_ribbon);
    layout->addWidget(m_pages, 1);
    m_frame = new QStackedWidget;
    m_frame->addWidget(content);
    setCentralWidget(m_frame);
}

void TMainForm::buildBackstage()
{
    auto* backstage = new QWidget;
    backstage->setObjectName(QStringLiteral("Backstage"));
    auto* layout = new QHBoxLayout(backstage);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* left = new QWidget;
    left->setStyleSheet(QStringLiteral("background: #1f5fa8; color: white;"));
    left->setFixedWidth(180);
    auto* leftLayout = new QVBoxLayout(left);
    auto* back = new QPushButton(QStringLiteral("\u2190 Back"), left);
    back->setFlat(true);
    back->setStyleSheet(QStringLiteral("color: white; font-size: 14px; text-align: left;"));
    connect(back, &QPushButton::clicked, this, &TMainForm::HideBackstage);
    m_backstageTabs = new QListWidget(left);
    m_backstageTabs->setObjectName(QStringLiteral("BackstageTabs"));
    m_backstageTabs->setStyleSheet(QStringLiteral(
        "QListWidget { border: none; font-size: 15px; } QListWidget::item { padding: 8px; }"
        "QListWidget::item:selected { background: #2b73c4; }"));
    for (const char* tab : {"Open", "Save", "Save As", "Help", "About", "Properties", "Exit"})
        m_backstageTabs->addItem(QString::fromLatin1(tab));
    leftLayout->addWidget(back);
    leftLayout->addWidget(m_backstageTabs, 1);
    layout->addWidget(left);

    m_backstagePane = new QStackedWidget;
    layout->addWidget(m_backstagePane, 1);

    // Open / Save As: the locations pane.
    const auto locations = [this](bool saveAs) {
        auto* pane = new QWidget;
        auto* row = new QHBoxLayout(pane);
        auto* choices = new QListWidget(pane);
        choices->setFixedWidth(200);
        if (!saveAs)
            choices->addItem(QStringLiteral("Recent Projects"));
        choices->addItem(QStringLiteral("Computer"));
        if (!saveAs)
            choices->addItem(QStringLiteral("Backup"));
        auto* stack = new QStackedWidget(pane);
        QListWidget* recent = nullptr;
        if (!saveAs) {
            recent = new QListWidget(stack);
            recent->setObjectName(QStringLiteral("RecentProjects"));
            recent->setIconSize(QSize(32, 32));
            connect(recent, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
                if (OpenFile(item->data(Qt::UserRole).toString()))
                    HideBackstage();
            });
            stack->addWidget(recent);
            m_recentProjects = recent;
        }
        auto* computer = new QWidget(stack);
        auto* computerLayout = new QVBoxLayout(computer);
        auto* current = new QLabel(computer);
        current->setObjectName(QStringLiteral("CurrentFolder"));
        auto* folders = new QListWidget(computer);
        folders->setObjectName(QStringLiteral("RecentFolders"));
        folders->setIconSize(QSize(32, 32));
        auto* browse = new QPushButton(QStringLiteral("Browse"), computer);
        computerLayout->addWidget(new QLabel(QStringLiteral("<b>Current Folder</b>"), computer));
        computerLayout->addWidget(current);
        computerLayout->addWidget(new QLabel(QStringLiteral("<b>Recent Folders</b>"), computer));
        computerLayout->addWidget(folders, 1);
        computerLayout->addWidget(browse, 0, Qt::AlignLeft);
        stack->addWidget(computer);
        if (saveAs) {
            connect(folders, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
                if (saveAsWithFolder(item->data(Qt::UserRole).toString()))
                    HideBackstage();
            });
            connect(browse, &QPushButton::clicked, this, [this] {
                if (saveAsWithFolder({}))
                    HideBackstage();
            });
        } else {
            m_recentFolders = folders;
            m_currentFolder = current;
            connect(folders, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
                if (openWithFolder(item->data(Qt::UserRole).toString()))
                    HideBackstage();
            });
            connect(browse, &QPushButton::clicked, this, [this] {
                if (openWithFolder({}))
                    HideBackstage();
            });
        }
        connect(choices, &QListWidget::currentTextChanged, this, [this, stack, saveAs](const QString& text) {
            if (text == QLatin1String("Backup")) {
                files::LoadBackupHooks hooks;
                hooks.afterOpen = [this] {
                    if (m_services.Options->L7) {
                        afterOpen(!files::PROJECT_INFORMATION.TextLines().isEmpty());
                        requestOverview(omProgramMemory);
                        ShowParameterScreen();
                    }
                };
                hooks.openCommunicationSetup = [this] { m_flows->CommunicationSetup(); };
                hooks.writeToStarter = [this] { return m_flows->Write(); };
                const files::BackupLoadResult loaded = files::LoadBackup(m_flows->Access(), *m_services.Dialogs, hooks);
                if (loaded.ok) {
                    setCaption(loaded.caption);
                    HideBackstage();
                }
                UpdateStatusPanels();
                return;
            }
            stack->setCurrentIndex(text == QLatin1String("Computer") && !saveAs ? 1 : 0);
        });
        row->addWidget(choices);
        row->addWidget(stack, 1);
        return pane;
    };
    m_backstagePane->addWidget(locations(false));  // 0 Open
    m_backstagePane->addWidget(locations(true));   // 1 Save As
    auto* helpPane = new QWidget;
    auto* helpLayout = new QVBoxLayout(helpPane);
    auto* helpContents = new QToolButton(helpPane);
    helpContents->setDefaultAction(m_actions.value(QStringLiteral("HelpContents")));
    helpContents->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* updates = new QToolButton(helpPane);
    updates->setDefaultAction(m_actions.value(QStringLiteral("CheckUpdates")));
    updates->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    helpLayout->addWidget(helpContents, 0, Qt::AlignLeft);
    helpLayout->addWidget(updates, 0, Qt::AlignLeft);
    helpLayout->addStretch();
    m_backstagePane->addWidget(helpPane);  // 2 Help
    auto* about = new QLabel(QStringLiteral("<h1>%1</h1><p>Version %2</p><p><a href=\"%3\">%3</a></p>")
                                 .arg(kProgramName, kProgramVersion, kMakerSite));
    about->setObjectName(QStringLiteral("AboutPage"));
    about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    about->setMargin(24);
    about->setOpenExternalLinks(true);
    m_backstagePane->addWidget(about);  // 3 About

    connect(m_backstageTabs, &QListWidget::currentTextChanged, this, [this](const QString& tab) {
        if (tab == QLatin1String("Open")) {
            refreshBackstage();
            m_backstagePane->setCurrentIndex(0);
        } else if (tab == QLatin1String("Save")) {
            SaveProject();
            HideBackstage();
            m_backstageTabs->setCurrentRow(2);
        } else if (tab == QLatin1String("Save As")) {
            refreshBackstage();
            m_backstagePane->setCurrentIndex(1);
        } else if (tab == QLatin1String("Help")) {
            m_backstagePane->setCurrentIndex(2);
        } else if (tab == QLatin1String("About")) {
            m_backstagePane->setCurrentIndex(3);
        } else if (tab == QLatin1String("Properties")) {
            m_actions.value(QStringLiteral("Properties"))->trigger();
        } else if (tab == QLatin1String("Exit")) {
            HideBackstage();
            close();
        }
    });
    m_frame->addWidget(backstage);
    m_backstageTabs->setCurrentRow(0);
    refreshBackstage();
}

void TMainForm::refreshBackstage()
{
    if (m_recentProjects)
        FillGallery(m_recentProjects, m_recent.Documents(), ThemeIcon(QStringLiteral("document-open"), QStyle::SP_FileIcon, this));
    const QIcon folderIcon = ThemeIcon(QStringLiteral("folder"), QStyle::SP_DirIcon, this);
    for (QListWidget* folders : m_frame->findChildren<QListWidget*>(QStringLiteral("RecentFolders")))
        FillGallery(folders, m_recent.Folders(), folderIcon);
    const QString current = m_flows->Shell().CurrentProjectFile;
    for (QLabel* label : m_frame->findChildren<QLabel*>(QStringLiteral("CurrentFolder"))) {
        label->setVisible(!current.isEmpty());
        label->setText(current.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(current).absolutePath()));
    }
}

void TMainForm::ShowBackstage(const QString& tab)
{
    refreshBackstage();
    const QList<QListWidgetItem*> items = m_backstageTabs->findItems(tab, Qt::MatchExactly);
    if (!items.isEmpty() && m_backstageTabs->currentItem() != items.first()) {
        const QSignalBlocker block(m_backstageTabs);
        m_backstageTabs->setCurrentItem(items.first());
        m_backstagePane->setCurrentIndex(tab == QLatin1String("Save As") ? 1 : 0);
    }
    m_frame->setCurrentIndex(1);
}

void TMainForm::HideBackstage() { m_frame->setCurrentIndex(0); }
bool TMainForm::BackstageVisible() const { return m_frame->currentIndex() == 1; }

void TMainForm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const auto panel = [&](const QString& name, int width) {
        auto* label = new QLabel(bar);
        label->setObjectName(name);
        label->setMinimumWidth(width);
        label->setFrameShape(QFrame::StyledPanel);
        label->installEventFilter(this);
        bar->addWidget(label);
        return label;
    };
    m_panel3 = panel(QStringLiteral("StatusPanel3"), 140);
    m_panel2 = panel(QStringLiteral("StatusPanel2"), 200);
    m_panel1 = panel(QStringLiteral("StatusPanel1"), 150);
    m_panel1->setCursor(Qt::PointingHandCursor);
    m_panel1->setToolTip(QStringLiteral("Click to go online or offline"));
    m_panel2->setCursor(Qt::PointingHandCursor);
    m_panel3->setCursor(Qt::PointingHandCursor);
    m_trip = new TLed(QColor(220, 40, 40), QStringLiteral("Last Trip"), bar);
    m_alarm = new TLed(QColor(240, 170, 20), QStringLiteral("Last Alarm"), bar);
    m_heartbeat = new TLed(QColor(40, 200, 60), QStringLiteral("Serial Heartbeat"), bar);
    m_heartbeat->setObjectName(QStringLiteral("HEARTBEAT"));
    bar->addWidget(m_trip);
    bar->addWidget(m_alarm);
    bar->addWidget(m_heartbeat);
    m_panel4 = new QLabel(QStringLiteral("Update Available"), bar);
    m_panel4->setObjectName(QStringLiteral("STATUSPANEL4"));
    m_panel4->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    m_panel4->setCursor(Qt::PointingHandCursor);
    m_panel4->installEventFilter(this);
    m_panel4->hide();
    bar->addWidget(m_panel4);
    auto* search = new QToolButton(bar);
    search->setObjectName(QStringLiteral("SearchButton"));
    search->setIcon(m_actions.value(QStringLiteral("Search"))->icon());
    search->setToolTip(QStringLiteral("Search parameters"));
    search->setAutoRaise(true);
    connect(search, &QToolButton::clicked, this, [this] { emit searchRequested(); });
    bar->addPermanentWidget(search);
}

void TMainForm::buildNetworkBar()
{
    m_networkBar = new QToolBar(QStringLiteral("Network"), this);
    m_networkBar->setObjectName(QStringLiteral("NetworkToolBar"));
    m_networkBar->setMovable(false);
    m_networkCombo = new QComboBox(m_networkBar);
    m_networkCombo->setObjectName(QStringLiteral("NetworkCombo"));
    m_networkCombo->setFixedWidth(400);
    m_networkModel = new QStandardItemModel(m_networkCombo);
    m_networkCombo->setModel(m_networkModel);
    m_networkBar->addWidget(m_networkCombo);
    QAction* go = m_networkBar->addAction(QStringLiteral("Go!"));
    go->setObjectName(QStringLiteral("NetworkGo"));
    QAction* scan = m_networkBar->addAction(QStringLiteral("Scan Network"));
    scan->setObjectName(QStringLiteral("ScanNetwork"));
    const auto runGo = [this] {
        const QString entry = m_networkCombo->currentData(Qt::UserRole).toString();
        if (!entry.isEmpty())
            m_flows->NetworkGo(entry);
        UpdateStatusPanels();
    };
    connect(go, &QAction::triggered, this, runGo);
    connect(m_networkCombo, qOverload<int>(&QComboBox::activated), this, runGo);
    connect(scan, &QAction::triggered, this, [this] {
        if (m_flows->Hooks().scanNetwork)
            m_flows->Hooks().scanNetwork();
        UpdateStatusPanels();
    });
    addToolBar(Qt::TopToolBarArea, m_networkBar);
    ResetNetworkTree(comm::netscan_text::kRootText, comm::netscan_text::kRootImage);
    m_networkBar->hide();
}

void TMainForm::ResetNetworkTree(const QString& rootText, int)
{
    m_networkModel->clear();
    auto* root = new QStandardItem(rootText);
    m_networkModel->appendRow(root);
    m_networkCombo->setCurrentIndex(0);
}

void TMainForm::AddNetworkNode(const QString& text, const QStringList& entries)
{
    auto* node = new QStandardItem(QStringLiteral("    ") + text);
    node->setData(text, Qt::UserRole);
    m_networkModel->appendRow(node);
    for (const QString& entry : entries) {
        auto* item = new QStandardItem(QStringLiteral("        ") + entry);
        item->setData(entry, Qt::UserRole);
        m_networkModel->appendRow(item);
    }
}

void TMainForm::ExpandNetworkRoot() {}

void TMainForm::installFlowHooks()
{
    FlowHooks hooks;
    hooks.showCommunicationSetup = [this] {
        m_serialForm->exec();
        updateNetworkBar();
    };
    hooks.connectedQuestion = [this] {
        return m_services.Prompts->questionYesNo({}, flow_text::kConnectedQuestion) ? caYes : caNo;
    };
    hooks.askForBackup = [this] { return AskForBackup(this); };
    hooks.scanNetwork = [this] { m_scanWindow->ScanNetwork(); };
    hooks.pickNode = [this]() -> std::optional<int> {
        const int address = m_networkTree->PickNetworkNode();
        if (address < 1)
            return std::nullopt;
        return address;
    };
    hooks.chooseReset = [this] { return m_resetWindow->AskChoice(); };
    hooks.chooseClock = [this]() -> std::optional<comm::TClockValues> {
        if (!m_clockWindow->AskClock())
            return std::nullopt;
        return m_clockWindow->Values();
    };
    hooks.showWizard = [this] {
        m_services.Prompts->information({}, QStringLiteral("The start-up wizard is not available in this version of "
                                                           "the program."));
    };
    hooks.openNodeWindow = [this](const QString&) { notAvailable(); };
    hooks.updateStatusPanels = [this] { UpdateStatusPanels(); };
    hooks.readFinished = [this](bool showPage) {
        requestOverview(omProgramMemory);
        if (showPage)
            ShowParameterScreen();
    };
    hooks.compareFinished = [this] {
        requestOverview(omComparison);
        ShowParameterScreen();
    };
    hooks.showProgramMemory = [this] {
        requestOverview(omProgramMemory);
        ShowParameterScreen();
    };
    hooks.refreshOverview = [this] { requestOverview(m_overviewMode); };
    hooks.addRecentDocument = [this](const QString& path) {
        m_recent.AddDocument(path);
        refreshBackstage();
    };
    hooks.setCaption = [this](const QString& caption) { setCaption(caption); };
    m_flows->SetHooks(std::move(hooks));
}

// ---- Pages -----------------------------------------------------------------------------------

void TMainForm::setPage(int page)
{
    HideBackstage();
    m_pages->setCurrentIndex(page);
    // The "Active View" button of the page being shown is disabled.
    m_actions.value(QStringLiteral("Welcome"))->setEnabled(page != pgWelcome);
    m_actions.value(QStringLiteral("Parameters"))->setEnabled(page != pgParameters);
    m_actions.value(QStringLiteral("VisualSetup"))->setEnabled(page != pgVisual);
    m_actions.value(QStringLiteral("Help"))->setEnabled(page != pgHelp);
}

void TMainForm::ShowWelcomeScreen() { setPage(pgWelcome); }
void TMainForm::ShowParameterScreen() { setPage(pgParameters); }
void TMainForm::ShowVisualSetupScreen() { setPage(pgVisual); }
void TMainForm::ShowHelpScreen() { setPage(pgHelp); }
int TMainForm::CurrentPage() const { return m_pages->currentIndex(); }

void TMainForm::requestOverview(int mode)
{
    m_overviewMode = mode;
    if (m_browser) {
        // The catalogue may have been rebuilt since the last view: the tree follows it.
        if (mode == omProgramMemory)
            m_browser->Initialize_parameter_tree();
        m_browser->SetOverviewMode(mode);
    }
    emit overviewRequested(mode);
}

void TMainForm::notAvailable()
{
    m_services.Prompts->information({}, kNotAvailableYet);
}

void TMainForm::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    emit captionChanged(caption);
}

// ---- Status ----------------------------------------------------------------------------------

void TMainForm::updateNetworkBar()
{
    m_networkBar->setVisible(m_flows->IsNetwork());
}

void TMainForm::SetUpdateAvailable(bool available) { m_panel4->setVisible(available); }

void TMainForm::UpdateStatusPanels()
{
    const bool online = m_flows->Shell().IsOnline;
    const bool network = m_flows->IsNetwork();
    m_panel1->setText(QStringLiteral(" ") + (online ? QStringLiteral("ONLINE, ") : QStringLiteral("OFFLINE, "))
                      + (network ? QStringLiteral("NETWORK") : QStringLiteral("SINGLE")));
    const bool leds = online && !network;
    m_heartbeat->setVisible(leds);
    m_alarm->setVisible(leds);
    m_trip->setVisible(leds);
    if (!leds)
        m_heartbeat->SetActive(false);
    const int position = param::ModelPositionOfCode(param::SELECTION.CurrentModelCode, 1);
    const QString model =
        QString::fromStdString(param::MODEL_TABLE()[static_cast<std::size_t>(position)].InvStrDisp);
    m_panel2->setText(QStringLiteral(" ") + model);
    m_panel2->setToolTip(model + QStringLiteral(" (Click to change)"));
    const int flash = std::clamp(param::SELECTION.CurrentFlashIndex, 0, param::kFlashCount - 1);
    m_panel3->setText(QStringLiteral(" Firmware: ")
                      + QString::fromStdString(param::FLASH_TABLE()[static_cast<std::size_t>(flash)].FlashVersionDisplay));
    QAction* toggle = m_actions.value(QStringLiteral("Online"));
    toggle->setChecked(online);
    toggle->setText(online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
    if (m_flows->Shell().ProjectModified() || !m_flows->Shell().CurrentProjectFile.isEmpty())
        m_actions.value(QStringLiteral("Save"))->setEnabled(true);
    updateNetworkBar();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_panel1) {
            m_actions.value(QStringLiteral("Online"))->trigger();
            return true;
        }
        if (watched == m_panel2 || watched == m_panel3) {
            m_actions.value(QStringLiteral("Version"))->trigger();
            return true;
        }
        if (watched == m_panel4) {
            notAvailable();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Start-up --------------------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    m_shownOnce = true;
    m_ribbon->setCurrentIndex(RibbonTab(kTabHome));
    UpdateStatusPanels();
    setCaption(kApplicationTitle);
    m_services.Session->Load_Baud();
    ShowWelcomeScreen();
    updateNetworkBar();

    m_searchText = m_regist.Read(files::reg::setup::SearchText());
    m_browser->SetSearchText(m_searchText);
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    m_regist.Write(files::reg::setup::InstallPath(), folder);
    m_regist.Write(files::reg::setup::Version(), kProgramVersion);
    const bool standard = m_regist.Read(files::reg::setup::Option(&comm::ProgramOptions::L1A));
    m_services.Options->L1A = standard;

    // The default firmware: the newest, or the standard entry with "Standard software".
    param::SELECTION.CurrentFlashIndex = standard ? 0 : param::kFlashCount - 1;
    param::SELECTION.CurrentFirmwareVersion =
        param::FLASH_TABLE()[static_cast<std::size_t>(param::SELECTION.CurrentFlashIndex)].FlashNum;
    m_flows->Shell().ProjectModified() = false;
    const std::string defect = param::BuildCatalogue(false);
    if (!defect.empty())
        throw param::CatalogueError(defect);
    for (int pass = 0; pass < 2; ++pass)
        param::UpdateMotorFlaRange(param::vcMode1);
    m_flows->Shell().ProjectModified() = false;
    requestOverview(omProgramMemory);
    UpdateStatusPanels();

    if (!m_startupFile.isEmpty() && QFileInfo(m_startupFile).isFile()) {
        OpenFile(m_startupFile);
    } else if (!m_services.Options->L4 && !m_timer1Used) {
        m_timer1Used = true;
        m_timer1->start();
    }
}

void TMainForm::SetHeartbeatInterval(int milliseconds) { m_timer2->setInterval(milliseconds); }
void TMainForm::SetStartupQuestionDelay(int milliseconds) { m_timer1->setInterval(milliseconds); }

void TMainForm::Timer1Timer()
{
    m_timer1->stop();
    const comm::ProgramOptions& options = *m_services.Options;
    if (!options.L5)
        return;
    if (m_flows->Hooks().connectedQuestion() == caYes) {
        m_flows->CommunicationSetup();
        if (m_flows->Shell().IsOnline && !options.L3)
            m_flows->AfterGoingOnline();
    }
    UpdateStatusPanels();
    if ((!m_flows->IsNetwork() || m_flows->Shell().NetworkScanned) && options.L5
        && m_services.Prompts->questionYesNo({}, flow_text::kQuickSetupQuestion))
        m_flows->StartupWizard();
}

void TMainForm::Timer2Timer()
{
    comm::ShellState& shell = m_flows->Shell();
    if (!shell.IsOnline) {
        m_heartbeat->SetActive(false);
        UpdateStatusPanels();
        return;
    }
    if (m_flows->IsNetwork() || shell.BusyCount != 0 || m_acquiring)
        return;
    comm::BusyBracket busy(shell);
    m_heartbeat->show();
    m_heartbeat->SetActive(!m_heartbeat->Active());
    uint16_t revision = 0;
    if (!m_services.Session->HeartbeatProbe(static_cast<uint8_t>(shell.NodeAddress), revision) && shell.IsOnline
        && !m_services.Session->IsConnected()) {
        m_services.Session->Close_Communications();
        UpdateStatusPanels();
    }
}

// ---- Project commands ------------------------------------------------------------------------

bool TMainForm::NewProject()
{
    comm::ShellState& shell = m_flows->Shell();
    if (shell.ProjectModified()) {
        const PromptAnswer answer = m_services.Prompts->questionYesNoCancel({}, kSaveQuestion);
        if (answer == PromptAnswer::Cancel)
            return false;
        if (answer == PromptAnswer::Yes)
            SaveProjectAs();
    }
    ShowWelcomeScreen();
    shell.ProjectModified() = false;
    const std::string defect = param::BuildCatalogue(false);
    if (!defect.empty())
        m_services.Prompts->error({}, QString::fromStdString(defect));
    shell.ProjectModified() = false;
    files::PROJECT_INFORMATION.Clear();
    const bool accepted = m_windowHooks.projectInformation ? m_windowHooks.projectInformation(false)
                                                           : m_userInfo->ShowModal(TUserInformation::Use::Edit);
    if (accepted)
        m_flows->Access().SelectionAccepted();
    shell.CurrentProjectFile.clear();
    setCaption(kApplicationTitle);
    requestOverview(omProgramMemory);
    if (accepted)
        ShowParameterScreen();
    UpdateStatusPanels();
    return true;
}

bool TMainForm::openWithFolder(const QString& folder)
{
    auto* qtDialogs = dynamic_cast<TQtFileDialogs*>(m_services.Dialogs);
    const QString previous = qtDialogs ? qtDialogs->InitialFolder : QString();
    if (qtDialogs && !folder.isEmpty())
        qtDialogs->InitialFolder = folder;
    const bool opened = OpenProject();
    if (qtDialogs)
        qtDialogs->InitialFolder = previous;
    return opened;
}

bool TMainForm::saveAsWithFolder(const QString& folder)
{
    auto* qtDialogs = dynamic_cast<TQtFileDialogs*>(m_services.Dialogs);
    const QString previous = qtDialogs ? qtDialogs->InitialFolder : QString();
    if (qtDialogs && !folder.isEmpty())
        qtDialogs->InitialFolder = folder;
    const bool saved = SaveProjectAs();
    if (qtDialogs)
        qtDialogs->InitialFolder = previous;
    return saved;
}

bool TMainForm::OpenProject()
{
    const std::optional<QString> chosen = m_services.Dialogs->ChooseOpenFile({kOpenTitle, kProjectFilter, {}});
    if (!chosen || chosen->isEmpty())
        return false;
    if (QFileInfo(*chosen).suffix().compare(QLatin1String("RV8TOOLO"), Qt::CaseInsensitive) == 0) {
        // Trend recordings belong to the trend recorder.
        notAvailable();
        return false;
    }
    const files::OpenResult opened = files::OpenProject(*chosen, m_flows->Access().Workspace(), *m_services.Prompts);
    if (!opened.ok) {
        UpdateStatusPanels();
        return false;
    }
    m_flows->Shell().CurrentProjectFile = QFileInfo(*chosen).absoluteFilePath();
    m_flows->Shell().ProjectModified() = false;
    setCaption(opened.caption);
    m_recent.AddDocument(*chosen);
    refreshBackstage();
    afterOpen(!files::PROJECT_INFORMATION.TextLines().isEmpty());
    UpdateStatusPanels();
    return true;
}

bool TMainForm::OpenFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_services.Prompts->information({}, kFileMissing);
        return false;
    }
    m_startupFile.clear();
    if (QFileInfo(path).suffix().compare(QLatin1String("RV8TOOLO"), Qt::CaseInsensitive) == 0) {
        notAvailable();
        return false;
    }
    const files::OpenResult opened = files::OpenProject(path, m_flows->Access().Workspace(), *m_services.Prompts);
    if (!opened.ok) {
        UpdateStatusPanels();
        return false;
    }
    m_flows->Shell().CurrentProjectFile = QFileInfo(path).absoluteFilePath();
    m_flows->Shell().ProjectModified() = false;
    setCaption(QString::fromLatin1(files::kBackupCaptionPrefix) + QFileInfo(path).fileName());
    m_recent.AddDocument(path);
    refreshBackstage();
    afterOpen(!files::PROJECT_INFORMATION.TextLines().isEmpty());
    UpdateStatusPanels();
    return true;
}

void TMainForm::afterOpen(bool hadInformation)
{
    const comm::ProgramOptions& options = *m_services.Options;
    if (options.L7 && hadInformation && options.L8) {
        if (m_windowHooks.projectInformation)
            m_windowHooks.projectInformation(true);
        else
            m_userInfo->ShowModal(TUserInformation::Use::ViewOnly);
    }
    const bool modified = m_flows->Shell().ProjectModified();
    for (int pass = 0; pass < 2; ++pass)
        param::UpdateMotorFlaRange(param::vcMode1);
    // The range follows the file's values; that is no change of the user's.
    m_flows->Shell().ProjectModified() = modified;
    if (options.L13) {
        requestOverview(omProgramMemory);
        ShowParameterScreen();
    }
}

bool TMainForm::SaveProject()
{
    const QString current = m_flows->Shell().CurrentProjectFile;
    if (current.isEmpty() || !QFileInfo(current).isFile())
        return SaveProjectAs();
    files::SaveOptions options;
    options.editInformation = [this](files::ProjectInformation&) {
        return m_windowHooks.projectInformation ? m_windowHooks.projectInformation(false)
                                                : m_userInfo->ShowModal(TUserInformation::Use::Edit);
    };
    const files::FileResult saved =
        files::SaveProjectFile(current, m_flows->Access().Workspace(), *m_services.Prompts, options);
    if (saved.ok)
        m_flows->Shell().ProjectModified() = false;
    UpdateStatusPanels();
    return saved.ok;
}

bool TMainForm::SaveProjectAs()
{
    comm::ShellState& shell = m_flows->Shell();
    QString proposed = QFileInfo(shell.CurrentProjectFile).fileName();
    if (proposed.isEmpty())
        proposed = files::PROJECT_INFORMATION.ProjectName.trimmed();
    if (proposed.isEmpty())
        proposed = QStringLiteral("RV8 PROJECT.RV8Proj");
    const std::optional<QString> chosen =
        m_services.Dialogs->ChooseSaveFile({kSaveTitle, kProjectSaveFilter, proposed});
    if (!chosen || chosen->isEmpty())
        return false;
    const QFileInfo info(*chosen);
    const QString extension = info.suffix();
    if (!extension.isEmpty() && extension != QLatin1String("RV8Proj"))
        m_services.Prompts->warning({}, kExtensionMismatch);
    const QString base = extension.isEmpty() ? info.fileName() : info.completeBaseName();
    const QString path = QDir(info.absolutePath()).filePath(base + QStringLiteral(".RV8Proj"));
    if (QFileInfo::exists(path)
        && !m_services.Prompts->questionYesNo(
            {}, QDir::toNativeSeparators(path) + QStringLiteral(" already exists!\nDo you want to replace it?"),
            PromptKind::Warning))
        return false;
    files::SaveOptions options;
    options.editInformation = [this](files::ProjectInformation&) {
        return m_windowHooks.projectInformation ? m_windowHooks.projectInformation(false)
                                                : m_userInfo->ShowModal(TUserInformation::Use::Edit);
    };
    const files::FileResult saved =
        files::SaveProjectFile(path, m_flows->Access().Workspace(), *m_services.Prompts, options);
    if (!saved.ok) {
        UpdateStatusPanels();
        return false;
    }
    shell.CurrentProjectFile = path;
    shell.ProjectModified() = false;
    m_recent.AddDocument(path);
    refreshBackstage();
    setCaption(QString::fromLatin1(files::kProjectCaptionPrefix) + QFileInfo(path).fileName());
    UpdateStatusPanels();
    return true;
}

bool TMainForm::Restore()
{
    if (!m_services.Prompts->questionYesNo({}, kRestoreQuestion))
        return false;
    m_flows->Shell().ProjectModified() = false;
    const std::string defect = param::BuildCatalogue(false);
    if (!defect.empty())
        m_services.Prompts->error({}, QString::fromStdString(defect));
    m_flows->Shell().ProjectModified() = false;
    requestOverview(m_overviewMode);
    if (m_flows->Shell().IsOnline && m_services.Prompts->questionYesNo({}, kRestoreDownloadQuestion))
        m_flows->Write();
    UpdateStatusPanels();
    return true;
}

// ---- Closing ---------------------------------------------------------------------------------

bool TMainForm::queryClose()
{
    if (!m_services.Prompts->questionOkCancel({}, kEndQuestion))
        return false;
    if (m_flows->Shell().ProjectModified() && m_services.Prompts->questionYesNo({}, kSaveQuestion))
        SaveProjectAs();
    QCoreApplication::processEvents();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < m_closeWait) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    QCoreApplication::processEvents();
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (!queryClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_timer1->stop();
    m_timer2->stop();
    m_services.Session->Save_Baud();
    m_searchText = m_browser->SearchText();
    m_regist.Write(files::reg::setup::SearchText(), m_searchText);
    if (m_services.Session->IsConnected() || m_flows->Shell().IsOnline)
        m_services.Session->Close_Communications();
    m_recent.Write();
    event->accept();
}

}  // namespace rv8::app
