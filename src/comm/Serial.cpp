#include "Serial.h"

#include "NuvWait.h"
#include "files/RegValues.h"
#include "param/Catalogue.h"

#include <algorithm>
#include <limits>

namespace rv8::comm {

namespace com = files::reg::com;

namespace {

const QString kNetwork = QStringLiteral("Network");

// The client's delay and timeout fields are 16-bit milliseconds; a stored figure times 10 (or
// 20) can exceed that (a field of 10000 is 100000 ms), which must saturate rather than wrap
// into a short, unrelated delay.
uint16_t SaturatedMs(uint64_t ms)
{
    return static_cast<uint16_t>(std::min<uint64_t>(ms, std::numeric_limits<uint16_t>::max()));
}

// A field's text as a non-negative number, or nothing.
bool FieldNumber(const QString& text, uint32_t& value)
{
    bool ok = false;
    const uint32_t v = text.trimmed().toUInt(&ok);
    if (ok)
        value = v;
    return ok;
}

bool Contains(std::span<const int> tags, int tag)
{
    return tag != 0 && std::find(tags.begin(), tags.end(), tag) != tags.end();
}

}  // namespace

TSerialSetup::TSerialSetup(UserPrompts& prompts, ErrorDecider& decider, ShellState& shell,
                           const files::SettingsLocation& location, QObject* parent)
    : QObject(parent),
      m_prompts(&prompts),
      m_decider(&decider),
      m_shell(shell),
      m_regist(QString::fromLatin1(files::reg::kComKey), location),
      m_bbmModbus([this](const TNuvModbus_Settings& settings) {
          return m_factory ? m_factory(settings) : CreateSystemTransport(settings);
      })
{
    m_regist.SetSection(QString::fromLatin1(com::kSection));
    m_values.TcpHost = QString::fromLatin1(com::kDefaultTcpHost);
    m_bbmModbus.SetOnError([this](TNuvModbus_CheckResponseError error, const QString& description, bool allowIgnore,
                                  TNuvModbus_ErrorEventAction& action) {
        ModbusError(error, description, allowIgnore, action);
    });
}

TSerialSetup::~TSerialSetup()
{
    m_bbmModbus.SetOnError({});
    m_bbmModbus.Close();
}

// ---- Lists ----------------------------------------------------------------------------------

const QStringList& TSerialSetup::PortTexts()
{
    static const QStringList texts = [] {
        QStringList list;
        for (int i = 1; i <= 16; ++i)
            list << QStringLiteral("Com%1").arg(i);
        return list;
    }();
    return texts;
}

const QStringList& TSerialSetup::BaudRateTexts()
{
    static const QStringList texts{QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                                   QStringLiteral("38400")};
    return texts;
}

const QStringList& TSerialSetup::StopBitsTexts()
{
    static const QStringList texts{QStringLiteral("1 Stop Bit"), QStringLiteral("2 Stop Bits")};
    return texts;
}

const QStringList& TSerialSetup::ParityTexts()
{
    static const QStringList texts{QStringLiteral("No Parity"), QStringLiteral("Odd Parity"),
                                   QStringLiteral("Even Parity")};
    return texts;
}

const QStringList& TSerialSetup::ProtocolTexts()
{
    static const QStringList texts{QStringLiteral("Modbus TCP"), QStringLiteral("Modbus over TCP")};
    return texts;
}

// ---- Settings -------------------------------------------------------------------------------

bool TSerialSetup::Load_Baud()
{
    files::TReg& r = m_regist;
    const int address = r.Read(com::Address());
    m_values.Address = QString::number(address);
    m_shell.NodeAddress = static_cast<uint16_t>(address);
    m_values.Medium = r.Read(com::Medium());
    m_values.BaudRate = r.Read(com::BaudRate());
    const int type = r.Read(com::Type());
    m_values.SerialType = Contains(kSerialTags, type) ? type : kSerialDirectLinkTag;
    m_values.Parity = r.Read(com::Parity());
    m_values.Port = r.Read(com::Port());
    m_values.TransmissionDelay = QString::number(r.Read(com::TransmissionDelay()));
    m_values.ResponseDelay = QString::number(r.Read(com::ResponseDelay()));
    m_values.StopBits = r.Read(com::StopBits());
    const int tcpInterface = r.Read(com::TcpInterface());
    m_values.TcpInterface = Contains(kEthernetTags, tcpInterface) ? tcpInterface : kEthernetDirectTag;
    m_values.TcpMedium = r.Read(com::TcpMedium());
    m_values.TcpPort = QString::number(r.Read(com::TcpPort()));
    m_values.TcpTransmissionDelay = QString::number(r.Read(com::TcpRequestDelay()));
    m_values.TcpResponseDelay = QString::number(r.Read(com::TcpResponseTimeout()));
    m_values.TcpHost = r.Read(com::TcpHost());
    m_values.EchoBack = r.Read(com::EchoBack());
    m_values.Rts = r.Read(com::Rts());
    return true;
}

bool TSerialSetup::Save_Baud()
{
    files::TReg& r = m_regist;
    const QString section = QString::fromLatin1(com::kSection);
    // Edit fields go through their text: one that is not a number keeps what is stored.
    const auto writeField = [&](const files::RegInteger& key, const QString& text) {
        r.WriteIntegerAsString(section, key.Value, text);
    };
    r.Write(com::Address(), m_shell.NodeAddress);
    r.Write(com::Medium(), m_values.Medium);
    r.Write(com::BaudRate(), m_values.BaudRate);
    r.Write(com::Type(), m_values.SerialType);
    r.Write(com::Parity(), m_values.Parity);
    r.Write(com::Port(), m_values.Port);
    writeField(com::TransmissionDelay(), m_values.TransmissionDelay);
    writeField(com::ResponseDelay(), m_values.ResponseDelay);
    r.Write(com::StopBits(), m_values.StopBits);
    r.Write(com::TcpInterface(), m_values.TcpInterface);
    r.Write(com::TcpMedium(), m_values.TcpMedium);
    writeField(com::TcpPort(), m_values.TcpPort);
    writeField(com::TcpRequestDelay(), m_values.TcpTransmissionDelay);
    writeField(com::TcpResponseTimeout(), m_values.TcpResponseDelay);
    r.Write(com::TcpHost(), m_values.TcpHost);
    r.Write(com::EchoBack(), m_values.EchoBack);
    r.Write(com::Rts(), m_values.Rts);
    return true;
}

// ---- Field rules ----------------------------------------------------------------------------

QString TSerialSetup::ClampNumericField(const QString& text, const files::RegInteger& key)
{
    int value = 0;
    if (!files::ParseStoredInteger(text, value))
        value = key.Value.DefaultValue;
    return QString::number(files::ClampStored(value, key.Value.MinValue, key.Value.MaxValue));
}

QString TSerialSetup::NormalizeIpAddress(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return com::TcpHost().Value.DefaultValue;
    const QStringList parts = trimmed.split(QLatin1Char('.'));
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        int n = 0;
        if (i < parts.size()) {
            bool ok = false;
            n = parts[i].trimmed().toInt(&ok);
            n = ok ? std::clamp(n, 0, 255) : 0;
        }
        out << QString::number(n);
    }
    return out.join(QLatin1Char('.'));
}

void TSerialSetup::ChooseStopBits(TSerialSetupValues& values, int position)
{
    values.StopBits = position;
    if (position == 1)
        values.Parity = 0;
}

void TSerialSetup::ChooseParity(TSerialSetupValues& values, int position)
{
    values.Parity = position;
    if (position == 1 || position == 2)
        values.StopBits = 0;
}

// ---- Connection types -------------------------------------------------------------------------

void TSerialSetup::GetInterfaceDescription(int32_t InterfaceIdentifier, QString& InterfaceText,
                                           QString& ConnectionTypeText)
{
    ConnectionTypeText.clear();
    if (InterfaceIdentifier > 10) {
        ConnectionTypeText = kNetwork;
        InterfaceIdentifier -= 10;
    }
    switch (InterfaceIdentifier) {
    case 1: InterfaceText = QStringLiteral("RS232"); break;
    case 2: InterfaceText = QStringLiteral("RS422"); break;
    case 3: InterfaceText = QStringLiteral("RS485"); break;
    case 4: InterfaceText = QStringLiteral("Ethernet"); break;
    default: InterfaceText.clear(); break;
    }
}

void TSerialSetup::GetInterfaceDescription(QString& InterfaceText, QString& ConnectionTypeText) const
{
    GetInterfaceDescription(ChosenInterfaceIdentifier(), InterfaceText, ConnectionTypeText);
}

int32_t TSerialSetup::GetInterfaceIdentifier(std::span<const TInterfaceChoice> Controls)
{
    for (const TInterfaceChoice& c : Controls)
        if (c.Checked && c.Tag != 0)
            return c.Tag;
    return 0;
}

bool TSerialSetup::InterfaceTextContains(const QString& Text) const
{
    QString interfaceText, connectionType;
    GetInterfaceDescription(interfaceText, connectionType);
    return interfaceText.contains(Text, Qt::CaseInsensitive);
}

QString TSerialSetup::ConnectionTypeCaption(int32_t Tag, bool EthernetTab)
{
    QString interfaceText, connectionType;
    GetInterfaceDescription(Tag, interfaceText, connectionType);
    if (interfaceText.isEmpty())
        return {};
    const bool network = connectionType == kNetwork;
    QString caption = network ? QStringLiteral("Multi-Drop")
                              : (EthernetTab ? QStringLiteral("Direct IP") : QStringLiteral("Direct Link"));
    caption += QStringLiteral(" (") + interfaceText;
    caption += network ? QStringLiteral(" ") + connectionType : QStringLiteral(" Single RV8");
    return caption + QStringLiteral(")");
}

int32_t TSerialSetup::ChosenInterfaceIdentifier() const
{
    return m_values.Medium == smEthernet ? m_values.TcpInterface : m_values.SerialType;
}

// ---- Channel ----------------------------------------------------------------------------------

TNuvModbus_Settings TSerialSetup::BuildClientSettings() const
{
    TNuvModbus_Settings s;
    s.Clear();
    s.Options = {};
    const TSerialSetupValues& v = m_values;
    uint32_t n = 0;
    // The delay fields hold units of 10 ms. A field that is not a number keeps the client
    // default, which is then scaled like a field.
    uint32_t betweenCommands = s.Delay.BetweenCommands;
    uint32_t response = s.Timeout.Response;
    if (IsModbusTcp()) {
        if (FieldNumber(v.TcpTransmissionDelay, n))
            betweenCommands = n;
        s.TcpHost = v.TcpHost;
        if (FieldNumber(v.TcpPort, n))
            s.TcpPort = static_cast<uint16_t>(std::min<uint32_t>(n, 65535));
        if (FieldNumber(v.TcpResponseDelay, n))
            response = n;
        s.Medium = v.TcpMedium == 1 ? bmmTcpIp : bmmModbusTcp;
    } else {
        if (FieldNumber(v.TransmissionDelay, n))
            betweenCommands = n;
        s.Medium = bmmModbusRtu;
        if (v.BaudRate >= 0 && v.BaudRate < BaudRateTexts().size() && FieldNumber(BaudRateTexts()[v.BaudRate], n))
            s.SerialBaud = n;
        s.SerialEcho = v.EchoBack;
        if (v.Parity >= 0 && v.Parity < ParityTexts().size()) {
            const QString text = ParityTexts()[v.Parity];
            static const std::pair<const char*, TNuvModbus_SerialParity> parities[] = {
                {"even", mspEven}, {"mark", mspMark}, {"no", mspNone}, {"odd", mspOdd}, {"space", mspSpace}};
            for (const auto& [word, parity] : parities)
                if (text.contains(QLatin1String(word), Qt::CaseInsensitive)) {
                    s.SerialParity = parity;
                    break;
                }
        }
        if (v.Port >= 0 && v.Port < 255)
            s.SerialPort = static_cast<uint8_t>(v.Port + 1);
        s.SerialDevice = v.SerialDevice;
        if (v.StopBits >= 0 && v.StopBits < StopBitsTexts().size()) {
            const QString text = StopBitsTexts()[v.StopBits];
            static const std::pair<const char*, TNuvModbus_SerialStopBits> stops[] = {
                {"1.5", msbOneAndOneHalf}, {"1", msbOne}, {"2", msbTwo}};
            for (const auto& [word, stop] : stops)
                if (text.contains(QLatin1String(word))) {
                    s.SerialStopBits = stop;
                    break;
                }
        }
        if (FieldNumber(v.ResponseDelay, n))
            response = n;
        s.SerialInterface = v.Rts ? msiRs485 : msiRs232;
    }
    s.Delay.BetweenCommands = SaturatedMs(uint64_t{betweenCommands} * 10);
    s.Timeout.Response = SaturatedMs(uint64_t{response} * 10);
    s.Delay.TransientError = SaturatedMs(uint64_t{s.Timeout.Response} * 2);
    return s;
}

bool TSerialSetup::open_communications() { return OpenWithSettings(BuildClientSettings()); }

bool TSerialSetup::OpenWithSettings(const TNuvModbus_Settings& Settings)
{
    const bool opened = m_bbmModbus.Open(Settings);
    m_shell.IsOnline = opened;
    emit onlineChanged(opened);
    if (!opened) {
        const bool tcp = Settings.Medium == bmmModbusTcp || Settings.Medium == bmmTcpIp;
        m_prompts->warning({}, tcp ? QStringLiteral("Unable to open communication with the selected IP address on "
                                                    "the selected port.")
                                   : QStringLiteral("Unable to open the selected communication port."));
    }
    return opened;
}

void TSerialSetup::Close_Communications()
{
    m_shell.NetworkScanned = false;
    m_bbmModbus.Close();
    m_shell.IsOnline = false;
    emit onlineChanged(false);
}

bool TSerialSetup::IsConnected() const { return m_bbmModbus.IsOpen(); }

bool TSerialSetup::IsModbusTcp() const { return m_values.Medium == smEthernet; }

bool TSerialSetup::IsMultiDrop() const
{
    if (!m_shell.IsOnline)
        return false;
    QString interfaceText, connectionType;
    GetInterfaceDescription(interfaceText, connectionType);
    return connectionType == kNetwork;
}

void TSerialSetup::SetTransportFactory(TNuvModbus_TransportFactory factory) { m_factory = std::move(factory); }

// ---- Register operations ------------------------------------------------------------------------

template <typename Call>
bool TSerialSetup::Request(TNuvModbus_Options options, const bool* cancel, bool& errorWasIgnored, Call&& call)
{
    TNuvModbus_RequestSettings rs;
    rs.Clear();
    rs.Cancel = cancel;
    rs.Options = options;
    const bool ok = call(&rs);
    errorWasIgnored = rs.ErrorWasIgnored;
    return ok;
}

namespace {
// The options of the single requests of the register-by-register fallback.
TNuvModbus_Options FallbackOptions(TNuvModbus_Options options)
{
    options.Exclude(bmoAllowIgnoreError);
    options.Include(bmoAutoIgnoreError);
    return options;
}
}  // namespace

bool TSerialSetup::ReadHoldingRegister(uint8_t DeviceAddress, uint16_t FirstRegister, uint16_t& Value,
                                       TNuvModbus_Options Options, const bool* Cancel)
{
    bool ignored = false;
    return ReadHoldingRegister(DeviceAddress, FirstRegister, Value, ignored, Options, Cancel);
}

bool TSerialSetup::ReadHoldingRegister(uint8_t DeviceAddress, uint16_t FirstRegister, uint16_t& Value,
                                       bool& ErrorWasIgnored, TNuvModbus_Options Options, const bool* Cancel)
{
    return Request(Options, Cancel, ErrorWasIgnored, [&](TNuvModbus_RequestSettings* rs) {
        return m_bbmModbus.ReadHoldingRegister(DeviceAddress, FirstRegister, Value, rs);
    });
}

bool TSerialSetup::ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                                        TNuvModbus_Options Options, const bool* Cancel)
{
    bool ignored = false;
    return ReadHoldingRegisters(DeviceAddress, FirstRegister, Values, ignored, Options, Cancel);
}

bool TSerialSetup::ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                                        bool& ErrorWasIgnored, TNuvModbus_Options Options, const bool* Cancel)
{
    if (Request(Options, Cancel, ErrorWasIgnored, [&](TNuvModbus_RequestSettings* rs) {
            return m_bbmModbus.ReadHoldingRegisters(DeviceAddress, FirstRegister, Values, rs);
        }))
        return true;
    if (!Options.Contains(bmoAllowIgnoreError) || !ErrorWasIgnored)
        return false;
    // The user chose to go on: fetch what can be fetched, one register at a time and silently.
    const TNuvModbus_Options single = FallbackOptions(Options);
    for (std::size_t i = 0; i < Values.size(); ++i) {
        uint16_t value = 0;
        bool singleIgnored = false;
        const auto address = static_cast<uint16_t>(FirstRegister + i);
        if (!ReadHoldingRegister(DeviceAddress, address, value, singleIgnored, single, Cancel)) {
            if (!singleIgnored)
                return false;
            value = 0;
        }
        Values[i] = value;
    }
    return true;
}

bool TSerialSetup::WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister,
                                          std::span<const uint16_t> Values, TNuvModbus_Options Options,
                                          const bool* Cancel)
{
    bool ignored = false;
    return WriteMultipleRegisters(DeviceAddress, FirstRegister, Values, ignored, Options, Cancel);
}

bool TSerialSetup::WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister,
                                          std::span<const uint16_t> Values, bool& ErrorWasIgnored,
                                          TNuvModbus_Options Options, const bool* Cancel)
{
    if (Request(Options, Cancel, ErrorWasIgnored, [&](TNuvModbus_RequestSettings* rs) {
            return m_bbmModbus.WriteMultipleRegisters(DeviceAddress, FirstRegister, Values, rs);
        }))
        return true;
    if (!Options.Contains(bmoAllowIgnoreError) || !ErrorWasIgnored)
        return false;
    const TNuvModbus_Options single = FallbackOptions(Options);
    for (std::size_t i = 0; i < Values.size(); ++i) {
        bool singleIgnored = false;
        const auto address = static_cast<uint16_t>(FirstRegister + i);
        if (!WriteSingleRegister(DeviceAddress, address, Values[i], singleIgnored, single, Cancel) && !singleIgnored)
            return false;
    }
    return true;
}

bool TSerialSetup::WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                                       TNuvModbus_Options Options, const bool* Cancel)
{
    bool ignored = false;
    return WriteSingleRegister(DeviceAddress, RegisterAddress, Value, ignored, Options, Cancel);
}

bool TSerialSetup::WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                                       bool& ErrorWasIgnored, TNuvModbus_Options Options, const bool* Cancel)
{
    return Request(Options, Cancel, ErrorWasIgnored, [&](TNuvModbus_RequestSettings* rs) {
        return m_bbmModbus.WriteMultipleRegisters(DeviceAddress, RegisterAddress, Value, rs);
    });
}

TNuvModbus_CheckResponseError TSerialSetup::HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode,
                                                          const QByteArray& Request, int32_t DataLength,
                                                          QByteArray& Data, TNuvModbus_Options Options,
                                                          const bool* Cancel)
{
    bool ignored = false;
    return HandleRequest(DeviceAddress, FunctionCode, Request, DataLength, Data, ignored, Options, Cancel);
}

TNuvModbus_CheckResponseError TSerialSetup::HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode,
                                                          const QByteArray& Request, int32_t DataLength,
                                                          QByteArray& Data, bool& ErrorWasIgnored,
                                                          TNuvModbus_Options Options, const bool* Cancel)
{
    TNuvModbus_RequestSettings rs;
    rs.Clear();
    rs.Cancel = Cancel;
    rs.Options = Options;
    const TNuvModbus_CheckResponseError result =
        m_bbmModbus.HandleRequest(DeviceAddress, FunctionCode, Request, DataLength, Data, &rs);
    ErrorWasIgnored = rs.ErrorWasIgnored;
    return result;
}

bool TSerialSetup::HeartbeatProbe(uint8_t DeviceAddress, uint16_t& Value)
{
    return ReadHoldingRegister(DeviceAddress, param::SPECIAL_ADDRESSES[param::sasRevision2], Value,
                               {bmoAutoIgnoreError}, nullptr);
}

// ---- Error hook ---------------------------------------------------------------------------------

QString TSerialSetup::ErrorMessage(TNuvModbus_CheckResponseError Error, const QString& Description)
{
    switch (Error) {
    case bmeRtu_SlaveAddress_Fatal: return QStringLiteral("Incorrect RV8 address in response.");
    case bmeSlaveDeviceFailure_Fatal: return QStringLiteral("RV8 failure.");
    case bmeGatewayTargetDeviceFailedToRespond_Transient: return QStringLiteral("RV8 failed to respond.");
    case bmeSlaveDeviceBusy_Transient: return QStringLiteral("RV8 busy.");
    default: return Description;
    }
}

void TSerialSetup::ModbusError(TNuvModbus_CheckResponseError Error, const QString& Description, bool AllowIgnore,
                               TNuvModbus_ErrorEventAction& Action)
{
    const QString text = ErrorMessage(Error, Description);
    if (AllowIgnore && m_options && m_options->L22) {
        Action = meaIgnore;
        return;
    }
    Action = m_decider ? m_decider->Decide(text, AllowIgnore) : meaAbort;
    if (Action == meaIgnore && !AllowIgnore)
        Action = meaAbort;
}

// ---- Set-up flows -------------------------------------------------------------------------------

void TSerialSetup::BeginSetup()
{
    if (!m_setupActive) {
        ++m_shell.BusyCount;
        m_setupActive = true;
    }
    Load_Baud();
    m_values.Address = QString::number(m_shell.NodeAddress);
    m_wasOnline = m_shell.IsOnline;
}

void TSerialSetup::EndSetup()
{
    if (m_setupActive) {
        --m_shell.BusyCount;
        m_setupActive = false;
    }
}

bool TSerialSetup::Reopen()
{
    Close_Communications();
    CancellableWait(m_reopenDelay);
    return open_communications();
}

bool TSerialSetup::Accept()
{
    bool ok = false;
    int address = m_values.Address.trimmed().toInt(&ok);
    if (!ok)
        address = -1;
    if (address >= 1 && address <= 254) {
        m_shell.NodeAddress = static_cast<uint16_t>(address);
        if (!Reopen())
            return false;
    } else {
        if (m_beep)
            m_beep();
        m_prompts->warning({}, QStringLiteral("Address ranges from 1 - MAX_INVERTER_NETWORK"));
        m_values.Address = QString::number(m_shell.NodeAddress);
    }
    Save_Baud();
    return true;
}

bool TSerialSetup::Cancel()
{
    Load_Baud();
    m_values.Address = QString::number(m_shell.NodeAddress);
    if (m_wasOnline) {
        // The stored address is always valid (it is clamped on reading).
        if (!Reopen())
            return false;
    } else if (IsConnected()) {
        Close_Communications();
    }
    return true;
}

int TSerialSetup::TestCommunication(const std::function<void(int percent)>& progress)
{
    m_blnCancelTest = false;
    Close_Communications();
    CancellableWait(m_reopenDelay);
    if (!open_communications())
        return 0;
    bool ok = false;
    int address = m_values.Address.trimmed().toInt(&ok);
    if (!ok)
        address = 1;
    // A number that does not fit an address byte is not sent as a different node.
    address = std::clamp(address, 1, 254);
    const uint16_t revision = param::SPECIAL_ADDRESSES[param::sasRevision];
    int good = 0;
    for (int k = 1; k <= 10; ++k) {
        if (m_blnCancelTest)
            break;
        uint16_t value = 0;
        if (!ReadHoldingRegister(static_cast<uint8_t>(address), revision, value, {}, nullptr))
            break;
        good = k;
        if (progress)
            progress(k * 10);
    }
    return good;
}

}  // namespace rv8::comm
