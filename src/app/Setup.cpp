#include "app/Setup.h"

#include "files/RegValues.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace rv8::app {

using comm::ProgramOptions;
namespace setup = files::reg::setup;

namespace {

constexpr int kMinNodes = 1;
constexpr int kMaxNodes = 254;

const QString kStartupQuestionsMessage =
    QStringLiteral("Uncheck the welcome screen option for the startup questions to work!");
const QString kVisualSetupMessage = QStringLiteral("Please uncheck the welcome screen option for this option to work!");
const QString kStandardSoftwareQuestion = QStringLiteral(
    "Standard software setup has been changed, to activate this function select RV8 model. Proceed?");

QWidget* newPage(QTabWidget* pages, const QString& caption)
{
    auto* page = new QWidget(pages);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    pages->addTab(page, caption);
    return page;
}

// Adds `widget` to a page above the page's closing stretch.
void addToPage(QWidget* page, QWidget* widget)
{
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->insertWidget(layout->count() - 1, widget, 0, Qt::AlignLeft);
}

}  // namespace

TPSetup::TPSetup(ProgramOptions& options, comm::UserPrompts& prompts, const files::SettingsLocation& location,
                 QWidget* parent)
    : QDialog(parent), m_options(options), m_prompts(prompts), m_reg(QString::fromLatin1(files::reg::kSetupKey), location)
{
    buildWindow();
    files::reg::ReadProgramOptions(m_reg, m_options);
}

TPSetup::~TPSetup() = default;

QCheckBox* TPSetup::addOption(QWidget* page, OptionMember member, const QString& caption)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(setup::Option(member).Value.KeyName);
    addToPage(page, box);
    m_boxes.emplace_back(member, box);
    return box;
}

QCheckBox* TPSetup::OptionBox(OptionMember member) const
{
    for (const auto& [m, box] : m_boxes) {
        if (m == member)
            return box;
    }
    return nullptr;
}

void TPSetup::buildWindow()
{
    setWindowTitle(QStringLiteral("Program Properties"));
    setObjectName(QStringLiteral("PSetup"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    QWidget* software = newPage(m_pages, QStringLiteral("RV8 Software/Network"));
    QWidget* startup = newPage(m_pages, QStringLiteral("Program Startup"));
    QWidget* parameters = newPage(m_pages, QStringLiteral("Parameter Edit/Overview"));
    QWidget* keypadControl = newPage(m_pages, QStringLiteral("Keypad Control"));
    newPage(m_pages, QStringLiteral("Program Layout"));
    newPage(m_pages, QStringLiteral("Keypad/Operator"));
    for (int page : {pgKeypadControl, pgLayout, pgKeypadOperator})
        m_pages->setTabVisible(page, false);

    using O = ProgramOptions;

    // "RV8 Software/Network"
    QCheckBox* standard = addOption(software, &O::L1A, QStringLiteral("Standard software"));
    addOption(software, &O::L3, QStringLiteral("Automatically scan for RV8 type after going online"));
    addOption(software, &O::L27, QStringLiteral("Check parameter limits during read operation"));
    {
        auto* row = new QWidget(software);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(QStringLiteral("Maximum Number of Nodes to Scan:"), row);
        m_nodeCount = new QLineEdit(row);
        m_nodeCount->setObjectName(QStringLiteral("NSC"));
        m_nodeCount->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_nodeCount));
        m_nodeCount->setMaximumWidth(60);
        label->setBuddy(m_nodeCount);
        layout->addWidget(label);
        layout->addWidget(m_nodeCount);
        layout->addStretch(1);
        addToPage(software, row);
    }
    m_proxyLink = new QPushButton(QStringLiteral("Use Proxy Server"), software);
    m_proxyLink->setObjectName(QStringLiteral("ProxyLink"));
    m_proxyLink->setFlat(true);
    m_proxyLink->setCursor(Qt::PointingHandCursor);
    m_proxyLink->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); text-decoration: underline; }"));
    addToPage(software, m_proxyLink);
    // Boxes that exist but are not shown.
    QCheckBox* transparent = addOption(software, &O::L9, QStringLiteral("Transparent Software ++"));
    transparent->setToolTip(QStringLiteral("Software works independent from drive software revision up to V3.06"));
    addOption(software, &O::L14, QStringLiteral("Serial heartbeat"));
    QCheckBox* factory = addOption(software, &O::L15, QStringLiteral("Factory mode"));
    factory->setToolTip(QStringLiteral("Allow editing of advanced parameters"));
    QCheckBox* custom = addOption(software, &O::L30, QStringLiteral("Custom mode"));
    QCheckBox* test = addOption(software, &O::L31, QStringLiteral("Test mode"));
    for (QCheckBox* hidden : {transparent, OptionBox(&O::L14), factory, custom, test})
        hidden->setVisible(false);

    // "Program Startup"
    addOption(startup, &O::L4, QStringLiteral("Show welcome screen at program startup"));
    QCheckBox* questions = addOption(startup, &O::L5, QStringLiteral("Startup questions (e.g. RV8 connected, etc.)"));
    QCheckBox* visual = addOption(startup, &O::L6, QStringLiteral("Open Visual setup screen first after startup"));
    addOption(startup, &O::L26, QStringLiteral("Program shows backup option after going online"));
    m_checkForUpdates = new QCheckBox(QStringLiteral("Check for updates"), startup);
    m_checkForUpdates->setObjectName(QStringLiteral("CheckForUpdates"));
    addToPage(startup, m_checkForUpdates);

    // "Parameter Edit/Overview"
    addOption(parameters, &O::L2, QStringLiteral("Parameter change confirmation (RV8)"));
    addOption(parameters, &O::L20, QStringLiteral("Parameter change confirmation (Program)"));
    addOption(parameters, &O::L7,
              QStringLiteral("Open parameter overview window after reading parameters from the RV8"));
    addOption(parameters, &O::L8, QStringLiteral("Open user information screen after a file has been loaded"));
    addOption(parameters, &O::L13, QStringLiteral("Open parameter overview after a file has been loaded"));
    addOption(parameters, &O::L12, QStringLiteral("Show information dialog window after automatic RV8 scan"));
    addOption(parameters, &O::L22, QStringLiteral("Ignore parameter communication errors"));

    // "Keypad Control" (hidden tab)
    addOption(keypadControl, &O::L16, QStringLiteral("RUN command confirmation"));
    addOption(keypadControl, &O::L28, QStringLiteral("Show warning when activating the HMI / Keypad"));

    // Buttons.
    m_previousPage = new QPushButton(QStringLiteral("&Page"), this);
    m_previousPage->setObjectName(QStringLiteral("PreviousPageB"));
    m_previousPage->setToolTip(QStringLiteral("Previous page"));
    m_nextPage = new QPushButton(QStringLiteral("P&age"), this);
    m_nextPage->setObjectName(QStringLiteral("NextPageB"));
    m_nextPage->setToolTip(QStringLiteral("Next page"));
    m_help = new QPushButton(QStringLiteral("&Help"), this);
    m_help->setObjectName(QStringLiteral("HelpB"));
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelB"));
    m_accept = new QPushButton(QStringLiteral("&Accept"), this);
    m_accept->setObjectName(QStringLiteral("AcceptB"));
    m_accept->setDefault(true);
    for (QPushButton* b : {m_previousPage, m_nextPage, m_help, m_cancel})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_previousPage);
    buttons->addWidget(m_nextPage);
    buttons->addStretch(1);
    buttons->addWidget(m_help);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    // Handlers. Only the user's clicks (not filling the boxes on showing) ask anything.
    connect(standard, &QCheckBox::toggled, transparent, &QWidget::setEnabled);
    connect(questions, &QCheckBox::clicked, this, &TPSetup::StartupQuestionsClick);
    connect(visual, &QCheckBox::clicked, this, &TPSetup::VisualSetupClick);
    connect(factory, &QCheckBox::clicked, this,
            [this, factory](bool checked) { PasswordBoxClick(factory, checked, false, false); });
    connect(custom, &QCheckBox::clicked, this,
            [this, custom](bool checked) { PasswordBoxClick(custom, checked, true, false); });
    connect(test, &QCheckBox::clicked, this, [this, test](bool checked) { PasswordBoxClick(test, checked, false, true); });
    connect(m_nodeCount, &QLineEdit::editingFinished, this, &TPSetup::NodeCountExit);
    connect(m_proxyLink, &QPushButton::clicked, this, &TPSetup::ProxyLinkClick);
    connect(m_previousPage, &QPushButton::clicked, this, &TPSetup::PreviousPageBClick);
    connect(m_nextPage, &QPushButton::clicked, this, &TPSetup::NextPageBClick);
    connect(m_help, &QPushButton::clicked, this, &TPSetup::HelpBClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPSetup::CancelBClick);
    connect(m_accept, &QPushButton::clicked, this, &TPSetup::AcceptBClick);
}

void TPSetup::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPSetup::FormShow()
{
    // The program's flag wins over a stored value that disagrees with it.
    const files::RegBoolean& standard = setup::Option(&ProgramOptions::L1A);
    if (m_reg.Read(standard) != m_options.L1A)
        m_reg.Write(standard, m_options.L1A);

    for (const auto& [member, box] : m_boxes)
        box->setChecked(m_reg.Read(setup::Option(member)));
    OptionBox(&ProgramOptions::L9)->setEnabled(OptionBox(&ProgramOptions::L1A)->isChecked());
    m_nodeCount->setText(QString::number(m_reg.Read(setup::NSC())));
    m_checkForUpdates->setChecked(readUpdateNotification());
    m_shownStandardSoftware = OptionBox(&ProgramOptions::L1A)->isChecked();
    m_pages->setCurrentIndex(pgSoftware);
}

QString TPSetup::NormalizeNodeCount(const QString& text)
{
    const QString t = text.trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(t).hasMatch())
        return QString::number(kMinNodes);
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok, 10);
    if (!ok || v > static_cast<qulonglong>(kMaxNodes))  // too long to parse is above the maximum too
        return QString::number(kMaxNodes);
    if (v < static_cast<qulonglong>(kMinNodes))
        return QString::number(kMinNodes);
    return QString::number(v);
}

void TPSetup::NodeCountExit()
{
    const QString normalized = NormalizeNodeCount(m_nodeCount->text());
    if (normalized != m_nodeCount->text())
        m_nodeCount->setText(normalized);
}

void TPSetup::StartupQuestionsClick(bool checked)
{
    if (checked && OptionBox(&ProgramOptions::L4)->isChecked())
        m_prompts.information({}, kStartupQuestionsMessage);
}

void TPSetup::VisualSetupClick(bool checked)
{
    if (checked && OptionBox(&ProgramOptions::L4)->isChecked())
        m_prompts.information({}, kVisualSetupMessage);
}

void TPSetup::PasswordBoxClick(QCheckBox* box, bool checked, bool customMode, bool testMode)
{
    if (!checked)
        return;
    const bool passed = m_hooks.askPassword && m_hooks.askPassword(customMode, testMode);
    if (!passed)
        box->setChecked(false);
}

bool TPSetup::readUpdateNotification() const
{
    return m_hooks.updateNotification ? m_hooks.updateNotification() : m_reg.Read(setup::UpdateNotification());
}

void TPSetup::ProxyLinkClick()
{
    if (m_hooks.showProxySettings)
        m_hooks.showProxySettings();
    m_checkForUpdates->setChecked(readUpdateNotification());
}

void TPSetup::stepPage(int step)
{
    // Steps by one tab, wrapping over all tabs, and passes over the hidden ones so that every
    // shown tab is reached in both directions.
    int index = m_pages->currentIndex();
    for (int i = 0; i < pgCount; ++i) {
        index = (index + step + pgCount) % pgCount;
        if (m_pages->isTabVisible(index)) {
            m_pages->setCurrentIndex(index);
            return;
        }
    }
}

void TPSetup::NextPageBClick()
{
    stepPage(+1);
}

void TPSetup::PreviousPageBClick()
{
    stepPage(-1);
}

void TPSetup::HelpBClick()
{
    if (m_hooks.showHelp)
        m_hooks.showHelp(QStringLiteral("Program_Setup"));
}

void TPSetup::CancelBClick()
{
    reject();
}

void TPSetup::AcceptBClick()
{
    // The field rule also holds when the field still has the focus.
    NodeCountExit();

    m_reg.SetSection(QString::fromLatin1(setup::kOptionsSection));
    m_reg.Open();
    for (const auto& [member, box] : m_boxes)
        m_reg.Write(setup::Option(member), box->isChecked());
    m_reg.WriteIntegerAsString(QString::fromLatin1(setup::kOptionsSection), setup::NSC().Value, m_nodeCount->text());
    if (m_hooks.setUpdateNotification)
        m_hooks.setUpdateNotification(m_checkForUpdates->isChecked());
    else
        m_reg.Write(setup::UpdateNotification(), m_checkForUpdates->isChecked());
    files::reg::ReadProgramOptions(m_reg, m_options);
    m_reg.Close();
    emit optionsApplied();

    if (OptionBox(&ProgramOptions::L1A)->isChecked() != m_shownStandardSoftware) {
        if (m_prompts.questionYesNo({}, kStandardSoftwareQuestion, comm::PromptKind::Warning) &&
            m_hooks.showStarterSelection)
            m_hooks.showStarterSelection();
    }
    accept();
}

}  // namespace rv8::app
