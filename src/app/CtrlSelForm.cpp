#include "app/CtrlSelForm.h"

#include "comm/Selection.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rv8::app {

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TCtrlSelForm::TCtrlSelForm(param::TCtrlSel& state, comm::UserPrompts& prompts, const comm::ProgramOptions& options,
                           comm::ShellState& shell, comm::TNetScan* scan, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
    , m_prompts(prompts)
    , m_options(options)
    , m_shell(shell)
    , m_scan(scan)
    , m_selection(&param::SELECTION)
    , m_flags(&param::MODIFIED_FLAGS)
    , m_rebuild(param::ProgramCatalogueRebuild())
{
    setWindowTitle(QStringLiteral("Selection"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("RV8 Selection"), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title->setFont(bold);
    layout->addWidget(title);

    auto* manual = new QGroupBox(QStringLiteral("Manual Selection (Online or Offline)"), this);
    auto* manualLayout = new QGridLayout(manual);
    auto* manualText =
        new QLabel(QStringLiteral("Select product series and firmware version then press Accept to confirm selection."),
                   manual);
    manualText->setWordWrap(true);
    manualLayout->addWidget(manualText, 0, 0, 1, 2);
    m_driveType = new QComboBox(manual);
    m_driveType->setObjectName(QStringLiteral("DriveType"));
    m_flashNo = new QComboBox(manual);
    m_flashNo->setObjectName(QStringLiteral("FLASHNO"));
    manualLayout->addWidget(new QLabel(QStringLiteral("Series"), manual), 1, 0);
    manualLayout->addWidget(m_driveType, 1, 1);
    manualLayout->addWidget(new QLabel(QStringLiteral("Firmware Version"), manual), 2, 0);
    manualLayout->addWidget(m_flashNo, 2, 1);
    layout->addWidget(manual);

    auto* automatic = new QGroupBox(QStringLiteral("Automatic Selection (Online only)"), this);
    auto* automaticLayout = new QVBoxLayout(automatic);
    auto* automaticText = new QLabel(QStringLiteral("Click on the Scan button and the software will determine the "
                                                    "product currently connected to this computer. Press Accept to "
                                                    "confirm."),
                                     automatic);
    automaticText->setWordWrap(true);
    automaticLayout->addWidget(automaticText);
    layout->addWidget(automatic);

    auto* buttons = new QHBoxLayout;
    m_scanDrive = new QPushButton(QStringLiteral("&Scan"), this);
    m_scanDrive->setObjectName(QStringLiteral("ScanDrive"));
    m_ok = new QPushButton(QStringLiteral("&Accept"), this);
    m_ok->setObjectName(QStringLiteral("CtrlOK"));
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_help = new QPushButton(QStringLiteral("&help"), this);
    m_help->setObjectName(QStringLiteral("Help"));
    buttons->addWidget(m_scanDrive);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_help);
    layout->addLayout(buttons);

    // The lists: every model in table order, every firmware version.
    const auto& models = param::MODEL_TABLE();
    for (int p = 1; p <= param::kModelCount; ++p)
        m_driveType->addItem(QString::fromStdString(models[static_cast<std::size_t>(p)].InvStrDisp));
    for (const param::FLASH_REC& f : param::FLASH_TABLE())
        m_flashNo->addItem(QString::fromStdString(f.FlashStr));
    m_driveType->setCurrentIndex(0);
    m_flashNo->setCurrentIndex(0);
    m_driveType->setMaxVisibleItems(12);
    m_flashNo->setMaxVisibleItems(8);

    connect(m_driveType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_updating)
            m_state.DriveTypeIndex = index;
    });
    connect(m_flashNo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_updating)
            m_state.FlashNoIndex = index;
    });
    connect(m_scanDrive, &QPushButton::clicked, this, [this] { ScanDriveClick(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { CtrlOKClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { CancelClick(); });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_hooks.showHelp)
            m_hooks.showHelp(QStringLiteral("Selecting_Device_Type"));
    });
}

void TCtrlSelForm::SetTargets(param::TSelectionState& selection, param::TModifiedFlags& flags,
                              param::CatalogueRebuild rebuild)
{
    m_selection = &selection;
    m_flags = &flags;
    m_rebuild = std::move(rebuild);
}

void TCtrlSelForm::ShowState()
{
    m_updating = true;
    m_driveType->setCurrentIndex(m_state.DriveTypeIndex);
    m_flashNo->setCurrentIndex(m_state.FlashNoIndex);
    m_flashNo->setEnabled(m_state.FlashNoEnabled);
    m_updating = false;
}

void TCtrlSelForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_busy) {
        ++m_shell.BusyCount;  // background polling pauses while the selection is open
        m_busy = true;
    }
    m_state.FormShow(*m_selection, m_options.StandardSoftware());
    ShowState();
}

void TCtrlSelForm::done(int result)
{
    if (m_busy) {
        --m_shell.BusyCount;
        m_busy = false;
    }
    QDialog::done(result);
}

void TCtrlSelForm::EnableControls(bool enabled)
{
    m_scanDrive->setEnabled(enabled);
    m_ok->setEnabled(enabled);
    m_cancel->setEnabled(enabled);
    m_help->setEnabled(enabled);
    m_driveType->setEnabled(enabled);
    m_flashNo->setEnabled(enabled && !m_options.StandardSoftware());
}

void TCtrlSelForm::ScanDriveClick()
{
    if (!m_shell.IsOnline) {
        if (!m_prompts.questionYesNo({}, comm::selection_text::kNotConnected, comm::PromptKind::Confirmation))
            return;
        if (m_hooks.openCommunicationSetup)
            m_hooks.openCommunicationSetup();
    }
    if (!m_scan)
        return;
    EnableControls(false);
    comm::scandriveprocedure(*m_scan, m_state, false, m_results);
    EnableControls(true);
    ShowState();
}

void TCtrlSelForm::Apply()
{
    bool rebuilt = false;
    const std::string defect =
        m_state.Update_Control_Table_and_Default_settings(*m_selection, *m_flags, m_rebuild, &rebuilt);
    if (!defect.empty())
        m_prompts.error({}, QString::fromStdString(defect));
    if (rebuilt && m_hooks.catalogueRebuilt)
        m_hooks.catalogueRebuilt();
}

void TCtrlSelForm::CtrlOKClick()
{
    m_state.SelectionCancelled = false;
    const param::AcceptQuestion question = m_state.QuestionForAccept();
    if (question != param::AcceptQuestion::None
        && !m_prompts.questionYesNo({}, Q(param::TCtrlSel::QuestionText(question)), comm::PromptKind::Warning))
        return;  // the dialog stays open
    Apply();
    accept();
}

void TCtrlSelForm::CancelClick() { reject(); }

void TCtrlSelForm::reject()
{
    m_state.Cancel(*m_selection);
    ShowState();
    QDialog::reject();
}

}  // namespace rv8::app
