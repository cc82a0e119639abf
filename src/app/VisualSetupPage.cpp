#include "app/VisualSetupPage.h"

#include "app/ParameterBrowser.h"
#include "app/PrmGrp2.h"
#include "param/Catalogue.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace rv8::app {

using namespace rv8::param;

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

struct InfoText {
    const char* key;
    const char* title;
    const char* description;
    const char* setting;
};

constexpr InfoText kInformation[] = {
    {"InputPower", "Input Power", "Connect three phase input power to R/L1, S/L2 and T/L3.", ""},
    {"ControlPower", "Control Power",
     "Separate AC Control Power supply (120VAC or 240VAC Optional) is required to power the electronics of the RV "
     "Series Soft Starter. \rTerminals are marked \"A1 and A2\"\rThis control voltage must be customer supplied.",
     ""},
    {"Triac", "Optically Isolated Triac Output",
     "Optically isolated Triac output is dedicated as a fault indicator.\r10 - 250 VAC/DC, 50 mA (maximum).",
     "\"Any Trip\", duplicating the Relay setting #16"},
    {"OutputPower", "AC Motor Connection", "Connect Motor to U/T1, V/T2 and W/T3.", ""},
};

const char* const kGroupCaptions[] = {"Motor Overload Information", "Starting and Stopping Modes", "Protection Features",
                                      "Relays",                     "Communications",              "System Settings"};

// Texts with "\r" line breaks as the labels show them.
QString Lines(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

}  // namespace

// ---- TDlg1 ----------------------------------------------------------------------------------

TDlg1::TDlg1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg1"));
    setWindowTitle(QStringLiteral("Configuration"));
    setModal(true);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TerminalLabel"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    auto* descriptionCaption = new QLabel(QStringLiteral("Description:"), this);
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("DescriptionLabel"));
    m_description->setWordWrap(true);
    m_setting = new QLabel(this);
    m_setting->setObjectName(QStringLiteral("SettingLabel"));
    m_setting->setWordWrap(true);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_modify = new QPushButton(QStringLiteral("Modify Setting"), this);
    connect(m_close, &QPushButton::clicked, this, [this] { done(Closed); });
    connect(m_modify, &QPushButton::clicked, this, [this] { done(Modify); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_modify);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(descriptionCaption);
    layout->addWidget(m_description);
    layout->addWidget(m_setting);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void TDlg1::Fill(const QString& title, const QString& description, const QString& setting, bool canModify)
{
    m_title->setText(QStringLiteral("Terminal: ") + title);
    m_description->setText(Lines(description));
    m_setting->setText(QStringLiteral("Programmed for: ") + setting);
    m_modify->setVisible(canModify);
}

// ---- TVisualSetupPage -----------------------------------------------------------------------

TVisualSetupPage::TVisualSetupPage(VisualServices services, QWidget* parent) : QWidget(parent), m_s(std::move(services))
{
    setObjectName(QStringLiteral("VisualSetupPage"));

    auto* steps = new QGridLayout;
    const char* const stepTexts[][2] = {
        {"Step 1:", "Connect R/L1, S/L2, and T/L3 to power input and connect motor to U/T1, V/T2 and W/T3."},
        {"Step 2:", "Connect control wires and 120VAC control power. (240VAC Optional)"},
        {"Step 3:", "Program motor FLA (F001)."},
    };
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(QString::fromLatin1(stepTexts[i][0]), this);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        steps->addWidget(caption, i, 0);
        steps->addWidget(new QLabel(QString::fromLatin1(stepTexts[i][1]), this), i, 1);
    }
    auto* click = new QLabel(QStringLiteral("Click buttons for additional information or to program terminal."), this);

    // The terminal strip: power terminals on top, control terminals below.
    auto* power = new QGroupBox(QStringLiteral("Power terminals"), this);
    auto* powerLayout = new QHBoxLayout(power);
    powerLayout->addWidget(new QLabel(QStringLiteral("R/L1  S/L2  T/L3"), power));
    powerLayout->addWidget(addButton(QStringLiteral("InputPower"), QStringLiteral("Info")));
    powerLayout->addStretch(1);
    powerLayout->addWidget(new QLabel(QStringLiteral("U/T1  V/T2  W/T3"), power));
    powerLayout->addWidget(addButton(QStringLiteral("OutputPower"), QStringLiteral("Info")));

    auto* control = new QGroupBox(QStringLiteral("Control terminals"), this);
    auto* controlLayout = new QGridLayout(control);
    controlLayout->addWidget(new QLabel(QStringLiteral("A1  A2 (control power)"), control), 0, 0);
    controlLayout->addWidget(addButton(QStringLiteral("ControlPower"), QStringLiteral("Info")), 0, 1);
    controlLayout->addWidget(new QLabel(QStringLiteral("Triac output"), control), 1, 0);
    controlLayout->addWidget(addButton(QStringLiteral("Triac"), QStringLiteral("Info")), 1, 1);
    controlLayout->addWidget(new QLabel(QStringLiteral("Motor FLA"), control), 2, 0);
    controlLayout->addWidget(addButton(QStringLiteral("Fla"), QStringLiteral("F01 Motor FLA")), 2, 1);
    for (int r = 1; r <= 3; ++r) {
        controlLayout->addWidget(new QLabel(QStringLiteral("Relay Output %1").arg(r), control), 2 + r, 0);
        controlLayout->addWidget(addButton(QStringLiteral("Relay%1").arg(r), QStringLiteral("Program")), 2 + r, 1);
    }
    controlLayout->addWidget(new QLabel(QStringLiteral("Analog Output (4-20mA)"), control), 6, 0);
    controlLayout->addWidget(addButton(QStringLiteral("Analog"), QStringLiteral("Program")), 6, 1);

    auto* groups = new QGroupBox(QStringLiteral("Parameter groups"), this);
    auto* groupLayout = new QGridLayout(groups);
    for (int g = 1; g <= 6; ++g) {
        groupLayout->addWidget(new QLabel(QString::fromLatin1(kGroupCaptions[g - 1]), groups), g - 1, 0);
        groupLayout->addWidget(addButton(QStringLiteral("Group%1").arg(g), QStringLiteral("..."), visual_text::kGroupHint),
                               g - 1, 1);
    }

    auto* row = new QHBoxLayout;
    row->addWidget(control, 1);
    row->addWidget(groups, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(steps);
    layout->addWidget(click);
    layout->addWidget(power);
    layout->addLayout(row);
    layout->addStretch(1);
}

QPushButton* TVisualSetupPage::addButton(const QString& key, const QString& caption, const QString& hint)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(key + QStringLiteral("B"));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    m_buttons.insert(key, b);
    connect(b, &QPushButton::clicked, this, [this, key] { Click(key); });
    return b;
}

QPushButton* TVisualSetupPage::Button(const QString& key) const { return m_buttons.value(key, nullptr); }

std::optional<std::pair<TLinkTable, int>> TVisualSetupPage::linkOf(const QString& key) const
{
    if (key == QStringLiteral("Fla"))
        return std::make_pair(ltParameter, 1);
    if (key == QStringLiteral("Analog"))
        return std::make_pair(ltAnalog, 1);
    if (key.startsWith(QStringLiteral("Relay")))
        return std::make_pair(ltRelay, key.mid(5).toInt());
    return std::nullopt;
}

TTerminalInfo TVisualSetupPage::InfoOf(const QString& key) const
{
    TTerminalInfo info;
    for (const InfoText& t : kInformation) {
        if (key == QLatin1String(t.key)) {
            info.Title = QString::fromLatin1(t.title);
            info.Description = QString::fromLatin1(t.description);
            info.Setting = QString::fromLatin1(t.setting);
        }
    }
    if (const auto link = linkOf(key)) {
        const int tag = link->second;
        const TLinkTableValue entry = LinkTableEntry(link->first, tag);
        const QString caption = Button(key) ? Button(key)->text() : key;
        info.Title = entry.Name.empty() ? caption : Qs(entry.Name);
        info.Description = entry.Description.empty() ? caption : Qs(entry.Description);
        info.Setting = Qs(LinkCurrentSetting(*m_s.Table, entry.Identifier, *m_s.Selection));
        info.CanModify = tag >= 1 && tag <= kLinkTableSize;
        info.Parameter = LinkParameter(*m_s.Table, entry.Identifier, *m_s.Selection);
    }
    if (info.Setting.trimmed().isEmpty())
        info.Setting = QStringLiteral("N/A");
    return info;
}

void TVisualSetupPage::RefreshHints()
{
    for (const QString& key : {QStringLiteral("Fla"), QStringLiteral("Relay1"), QStringLiteral("Relay2"),
                               QStringLiteral("Relay3")}) {
        const auto link = linkOf(key);
        const TLinkTableValue entry = LinkTableEntry(link->first, link->second);
        if (QPushButton* b = Button(key))
            b->setToolTip(Qs(LinkCurrentSetting(*m_s.Table, entry.Identifier, *m_s.Selection)));
    }
}

void TVisualSetupPage::Click(const QString& key)
{
    if (key.startsWith(QStringLiteral("Group"))) {
        if (m_s.Browser)
            m_s.Browser->ShowGroup(key.mid(5).toInt());
        emit showParametersRequested();
        return;
    }
    try {
        const TTerminalInfo info = InfoOf(key);
        int result = TDlg1::Closed;
        if (dialogHook) {
            result = dialogHook(info);
        } else {
            TDlg1 dialog(this);
            dialog.Fill(info.Title, info.Description, info.Setting, info.CanModify);
            result = dialog.exec();
        }
        if (result == TDlg1::Modify && info.CanModify)
            ModifySetting(key);
    } catch (const std::exception&) {
        // A failure while showing a terminal changes nothing; the page stays as it is.
    }
}

bool TVisualSetupPage::ModifySetting(const QString& key)
{
    const TTerminalInfo info = InfoOf(key);
    if (info.Parameter < 0) {
        if (m_s.Prompts)
            m_s.Prompts->information({}, visual_text::kRelatedMissing);
        return false;
    }
    if (!m_s.Editor)
        return false;
    m_s.Editor->FillControls(info.Parameter, true);
    m_s.Editor->Execute();
    RefreshHints();
    if (m_s.Browser)
        m_s.Browser->Refresh();
    return true;
}

}  // namespace rv8::app
