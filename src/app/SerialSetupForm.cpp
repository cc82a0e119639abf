#include "SerialSetupForm.h"

#include "HelpTopics.h"
#include "files/RegValues.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace rv8::app {

using comm::TSerialSetup;
namespace com = files::reg::com;

namespace {

const char kTagProperty[] = "interfaceTag";
const char kKeyProperty[] = "settingsKey";

QLineEdit* NumericEdit(QWidget* parent, int maxDigits)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxDigits);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QWidget* WithUnit(QLineEdit* edit, const QString& unit)
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit);
    row->addWidget(new QLabel(unit, box));
    return box;
}

QLabel* Note(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TSerialSetupForm::TSerialSetupForm(TSerialSetup& session, comm::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_session(session), m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Communication Setup"));
    m_session.SetBeep([] { QApplication::beep(); });

    m_tabs = new QTabWidget(this);

    // ---- Serial --------------------------------------------------------------------------------
    auto* serial = new QWidget;
    auto* serialTypes = new QGroupBox(QStringLiteral("Connection Type"), serial);
    auto* serialTypesLayout = new QVBoxLayout(serialTypes);
    for (int tag : comm::kSerialTags) {
        auto* button = new QRadioButton(TSerialSetup::ConnectionTypeCaption(tag, false), serialTypes);
        button->setProperty(kTagProperty, tag);
        if (button->text().isEmpty())
            button->hide();
        serialTypesLayout->addWidget(button);
        m_serialTypes.push_back(button);
    }

    auto* serialSettings = new QGroupBox(QStringLiteral("Communication Settings"), serial);
    auto* serialForm = new QFormLayout(serialSettings);
    m_port = new QComboBox(serialSettings);
    m_port->addItems(TSerialSetup::PortTexts());
    m_baud = new QComboBox(serialSettings);
    m_baud->addItems(TSerialSetup::BaudRateTexts());
    m_stopBits = new QComboBox(serialSettings);
    m_stopBits->addItems(TSerialSetup::StopBitsTexts());
    m_parity = new QComboBox(serialSettings);
    m_parity->addItems(TSerialSetup::ParityTexts());
    serialForm->addRow(QStringLiteral("Port"), m_port);
    serialForm->addRow(QStringLiteral("Baud Rate (F66)"), m_baud);
    serialForm->addRow(QStringLiteral("Stop Bits (F65)"), m_stopBits);
    serialForm->addRow(QStringLiteral("Parity (F65)"), m_parity);

    auto* serialTiming = new QGroupBox(QStringLiteral("Connection Timing"), serial);
    auto* serialTimingForm = new QFormLayout(serialTiming);
    m_txDelay = NumericEdit(serialTiming, 4);
    m_rxDelay = NumericEdit(serialTiming, 4);
    serialTimingForm->addRow(QStringLiteral("Transmission Delay"), WithUnit(m_txDelay, QStringLiteral("ms.")));
    serialTimingForm->addRow(QStringLiteral("Response Delay"), WithUnit(m_rxDelay, QStringLiteral("ms.")));

    auto* addressBox = new QGroupBox(QStringLiteral("Address Selection"), serial);
    auto* addressForm = new QFormLayout(addressBox);
    m_address = NumericEdit(addressBox, 3);
    addressForm->addRow(QStringLiteral("Modbus Address (F67)"), m_address);

    m_echo = new QCheckBox(QStringLiteral("Echo Back Suppression"), serial);
    m_rts = new QCheckBox(QStringLiteral("RTS Control"), serial);

    auto* serialGrid = new QGridLayout(serial);
    serialGrid->addWidget(serialTypes, 0, 0);
    serialGrid->addWidget(serialSettings, 0, 1, 2, 1);
    serialGrid->addWidget(serialTiming, 1, 0);
    serialGrid->addWidget(addressBox, 2, 0);
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_echo);
    checks->addWidget(m_rts);
    serialGrid->addLayout(checks, 2, 1);
    serialGrid->addWidget(
        Note(QStringLiteral("To enable communications set RV8 parameter F65 to a value greater than 0. To use the "
                            "default settings set parameter F65 to 2. After changing settings cycle power to the RV8 "
                            "Series Soft Starter for the changes to take effect.")),
        3, 0, 1, 2);
    m_tabs->addTab(serial, QStringLiteral("Serial"));

    // ---- Ethernet ------------------------------------------------------------------------------
    auto* ethernet = new QWidget;
    auto* ethernetTypes = new QGroupBox(QStringLiteral("Connection Type"), ethernet);
    auto* ethernetTypesLayout = new QVBoxLayout(ethernetTypes);
    for (int tag : comm::kEthernetTags) {
        auto* button = new QRadioButton(TSerialSetup::ConnectionTypeCaption(tag, true), ethernetTypes);
        button->setProperty(kTagProperty, tag);
        if (button->text().isEmpty())
            button->hide();
        ethernetTypesLayout->addWidget(button);
        m_ethernetTypes.push_back(button);
    }

    auto* ethernetSettings = new QGroupBox(QStringLiteral("Communication Settings"), ethernet);
    auto* ethernetForm = new QFormLayout(ethernetSettings);
    m_protocol = new QComboBox(ethernetSettings);
    m_protocol->addItems(TSerialSetup::ProtocolTexts());
    m_ip = new QLineEdit(ethernetSettings);
    m_ip->setMaxLength(20);
    m_ip->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), m_ip));
    m_tcpPort = NumericEdit(ethernetSettings, 5);
    ethernetForm->addRow(QStringLiteral("Protocol"), m_protocol);
    ethernetForm->addRow(QStringLiteral("IP Address"), m_ip);
    ethernetForm->addRow(QStringLiteral("Port"), m_tcpPort);

    auto* ethernetTiming = new QGroupBox(QStringLiteral("Connection Timing"), ethernet);
    auto* ethernetTimingForm = new QFormLayout(ethernetTiming);
    m_tcpTxDelay = NumericEdit(ethernetTiming, 4);
    m_tcpRxDelay = NumericEdit(ethernetTiming, 4);
    ethernetTimingForm->addRow(QStringLiteral("Transmission Delay"), WithUnit(m_tcpTxDelay, QStringLiteral("ms.")));
    ethernetTimingForm->addRow(QStringLiteral("Response Delay"), WithUnit(m_tcpRxDelay, QStringLiteral("ms.")));

    auto* ethernetGrid = new QGridLayout(ethernet);
    ethernetGrid->addWidget(ethernetTypes, 0, 0);
    ethernetGrid->addWidget(ethernetSettings, 0, 1, 2, 1);
    ethernetGrid->addWidget(ethernetTiming, 1, 0);
    ethernetGrid->addWidget(
        Note(QStringLiteral("RV8 communication settings have to match Ethernet gateway communication port settings. "
                            "Ethernet communication option uses the \"Communication Settings\" and \"Address "
                            "Selection\" located under the Serial tab.")),
        2, 0, 1, 2);
    ethernetGrid->setRowStretch(3, 1);
    m_tabs->addTab(ethernet, QStringLiteral("Ethernet"));

    // ---- Test strip and buttons ---------------------------------------------------------------
    m_percent = new QLabel(QStringLiteral("0%"), this);
    m_percent->setAlignment(Qt::AlignCenter);
    m_led = new QProgressBar(this);
    m_led->setRange(0, 100);
    m_led->setValue(0);
    m_led->setTextVisible(false);
    m_led->setToolTip(QStringLiteral("Communication LED Test Bar"));
    m_test = new QPushButton(QStringLiteral("&Test"), this);
    m_test->setToolTip(QStringLiteral("Click here to test communication"));
    m_abortTest = new QPushButton(QStringLiteral("&Abort"), this);
    m_abortTest->setToolTip(QStringLiteral("Click here to cancel test"));
    m_help = new QPushButton(QStringLiteral("&Help"), this);
    m_accept = new QPushButton(QStringLiteral("&Accept - Open Comm."), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel - Close Comm."), this);
    m_accept->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    m_test->setAutoDefault(false);
    m_abortTest->setAutoDefault(false);
    m_help->setAutoDefault(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("0%"), this));
    bar->addWidget(m_led, 1);
    bar->addWidget(new QLabel(QStringLiteral("100%"), this));
    bar->addWidget(m_test);
    bar->addWidget(m_abortTest);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_help);
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_percent);
    layout->addLayout(bar);
    layout->addLayout(buttons);

    // ---- Rules and handlers -------------------------------------------------------------------
    const std::pair<QLineEdit*, files::RegInteger> numeric[] = {
        {m_txDelay, com::TransmissionDelay()}, {m_rxDelay, com::ResponseDelay()},
        {m_address, com::Address()},           {m_tcpPort, com::TcpPort()},
        {m_tcpTxDelay, com::TcpRequestDelay()}, {m_tcpRxDelay, com::TcpResponseTimeout()}};
    for (const auto& [edit, key] : numeric) {
        edit->setProperty(kKeyProperty, key.Value.KeyName);
        edit->installEventFilter(this);
    }
    m_ip->installEventFilter(this);

    connect(m_stopBits, &QComboBox::activated, this, &TSerialSetupForm::StopBitsChosen);
    connect(m_parity, &QComboBox::activated, this, &TSerialSetupForm::ParityChosen);
    connect(m_accept, &QPushButton::clicked, this, &TSerialSetupForm::AcceptClick);
    connect(m_cancel, &QPushButton::clicked, this, &TSerialSetupForm::reject);
    connect(m_test, &QPushButton::clicked, this, &TSerialSetupForm::TestClick);
    connect(m_abortTest, &QPushButton::clicked, this, &TSerialSetupForm::AbortTestClick);
    connect(m_help, &QPushButton::clicked, this, &TSerialSetupForm::HelpClick);

    ValuesToControls();
}

TSerialSetupForm::~TSerialSetupForm()
{
    m_session.EndSetup();
    m_session.SetBeep({});
}

// ---- Controls and values --------------------------------------------------------------------------

void TSerialSetupForm::SetChosenTag(const std::vector<QRadioButton*>& buttons, int tag)
{
    for (QRadioButton* b : buttons)
        if (b->property(kTagProperty).toInt() == tag && tag != 0)
            b->setChecked(true);
}

int TSerialSetupForm::ChosenTag(const std::vector<QRadioButton*>& buttons)
{
    std::vector<comm::TInterfaceChoice> choices;
    for (QRadioButton* b : buttons)
        choices.push_back({b->property(kTagProperty).toInt(), b->isChecked()});
    return TSerialSetup::GetInterfaceIdentifier(choices);
}

void TSerialSetupForm::ControlsToValues()
{
    comm::TSerialSetupValues& v = m_session.Values();
    v.Medium = m_tabs->currentIndex() == 1 ? comm::smEthernet : comm::smSerial;
    if (const int tag = ChosenTag(m_serialTypes))
        v.SerialType = tag;
    if (const int tag = ChosenTag(m_ethernetTypes))
        v.TcpInterface = tag;
    v.Port = m_port->currentIndex();
    v.BaudRate = m_baud->currentIndex();
    v.StopBits = m_stopBits->currentIndex();
    v.Parity = m_parity->currentIndex();
    v.TransmissionDelay = m_txDelay->text();
    v.ResponseDelay = m_rxDelay->text();
    v.Address = m_address->text();
    v.EchoBack = m_echo->isChecked();
    v.Rts = m_rts->isChecked();
    v.TcpMedium = m_protocol->currentIndex();
    v.TcpHost = m_ip->text();
    v.TcpPort = m_tcpPort->text();
    v.TcpTransmissionDelay = m_tcpTxDelay->text();
    v.TcpResponseDelay = m_tcpRxDelay->text();
}

void TSerialSetupForm::ValuesToControls()
{
    const comm::TSerialSetupValues& v = m_session.Values();
    m_tabs->setCurrentIndex(v.Medium == comm::smEthernet ? 1 : 0);
    SetChosenTag(m_serialTypes, v.SerialType);
    SetChosenTag(m_ethernetTypes, v.TcpInterface);
    m_port->setCurrentIndex(v.Port);
    m_baud->setCurrentIndex(v.BaudRate);
    m_stopBits->setCurrentIndex(v.StopBits);
    m_parity->setCurrentIndex(v.Parity);
    m_txDelay->setText(v.TransmissionDelay);
    m_rxDelay->setText(v.ResponseDelay);
    m_address->setText(v.Address);
    m_echo->setChecked(v.EchoBack);
    m_rts->setChecked(v.Rts);
    m_protocol->setCurrentIndex(v.TcpMedium);
    m_ip->setText(v.TcpHost);
    m_tcpPort->setText(v.TcpPort);
    m_tcpTxDelay->setText(v.TcpTransmissionDelay);
    m_tcpRxDelay->setText(v.TcpResponseDelay);
}

// ---- Showing and closing ----------------------------------------------------------------------------

void TSerialSetupForm::showEvent(QShowEvent* event)
{
    m_session.BeginSetup();
    ValuesToControls();
    // An entry's hint names the system port it opens (enumerated once per showing: ports come
    // and go with USB adapters).
    const QStringList ports = comm::SystemSerialPorts();
    for (int i = 0; i < m_port->count(); ++i)
        m_port->setItemData(i, i < ports.size() ? ports[i] : QString(), Qt::ToolTipRole);
    m_percent->setText(QStringLiteral("0%"));
    m_led->setValue(0);
    QDialog::showEvent(event);
}

void TSerialSetupForm::hideEvent(QHideEvent* event)
{
    m_session.EndSetup();
    QDialog::hideEvent(event);
}

void TSerialSetupForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_address->setText(QString::number(m_session.Shell().NodeAddress));
    QDialog::changeEvent(event);
}

void TSerialSetupForm::reject()
{
    ControlsToValues();
    const bool close = m_session.Cancel();
    ValuesToControls();
    if (close)
        QDialog::reject();
}

void TSerialSetupForm::AcceptClick()
{
    ControlsToValues();
    const bool close = m_session.Accept();
    ValuesToControls();
    if (close)
        accept();
}

// ---- Test strip ---------------------------------------------------------------------------------------

void TSerialSetupForm::SetTestRunning(bool running)
{
    m_cancel->setEnabled(!running);
    m_help->setEnabled(!running);
    m_accept->setEnabled(!running);
    m_test->setEnabled(!running);
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->widget(i)->setEnabled(!running);
    // The test on the Ethernet tab cannot be cancelled; on the serial tab "&Abort" stays live.
    m_abortTest->setEnabled(!(running && m_session.Values().Medium == comm::smEthernet));
}

void TSerialSetupForm::TestClick()
{
    ControlsToValues();
    SetTestRunning(true);
    m_led->setValue(0);
    m_percent->setText(QStringLiteral("0 %"));
    m_session.TestCommunication([this](int percent) {
        m_led->setValue(percent);
        m_percent->setText(QString::number(percent) + QStringLiteral(" %"));
    });
    SetTestRunning(false);
}

void TSerialSetupForm::AbortTestClick() { m_session.CancelTest(); }

void TSerialSetupForm::HelpClick() { ShowHelpTopic(QStringLiteral("Establish_Communication"), m_prompts); }

// ---- Field rules ------------------------------------------------------------------------------------

void TSerialSetupForm::StopBitsChosen(int position)
{
    ControlsToValues();
    TSerialSetup::ChooseStopBits(m_session.Values(), position);
    m_parity->setCurrentIndex(m_session.Values().Parity);
}

void TSerialSetupForm::ParityChosen(int position)
{
    ControlsToValues();
    TSerialSetup::ChooseParity(m_session.Values(), position);
    m_stopBits->setCurrentIndex(m_session.Values().StopBits);
}

void TSerialSetupForm::FieldLeft(QLineEdit* edit)
{
    if (edit == m_ip) {
        edit->setText(TSerialSetup::NormalizeIpAddress(edit->text()));
        return;
    }
    const QString keyName = edit->property(kKeyProperty).toString();
    for (const files::RegInteger& key : com::Integers())
        if (key.Value.KeyName == keyName) {
            edit->setText(TSerialSetup::ClampNumericField(edit->text(), key));
            return;
        }
}

bool TSerialSetupForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            FieldLeft(edit);
    return QDialog::eventFilter(watched, event);
}

}  // namespace rv8::app
