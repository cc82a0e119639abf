// The communication session against the simulated starter on real lines (loopback TCP and an
// RTU line on a socat pseudo-terminal pair), with settings in a scratch INI file.
#include "comm/Serial.h"
#include "files/RegValues.h"
#include "param/Catalogue.h"
#include "tests/comm/SimThread.h"
#include "tests/sim/SimTestSupport.h"

#include <QTemporaryDir>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <vector>

using namespace rv8;
using namespace rv8::comm;
namespace reg = rv8::files::reg;

namespace {

// Parameters 1001..1012 without 1005, so that a block over them is refused while every other
// register of it reads alone; the clock at its catalogue addresses.
sim::ParameterLayout GapLayout()
{
    sim::ParameterLayout l;
    for (uint16_t a = 1001; a <= 1012; ++a)
        if (a != 1005)
            l.parameters.push_back({a, 0, 1000, static_cast<uint16_t>(a - 1000), std::nullopt, false});
    l.parameters.push_back({1072, 3871, 9999, 3871, std::nullopt, false});
    const uint16_t clockMin[] = {2000, 1, 1, 0, 0, 0};
    const uint16_t clockMax[] = {2047, 12, 31, 23, 59, 59};
    for (int i = 0; i < 6; ++i)
        l.parameters.push_back({static_cast<uint16_t>(1075 + i), clockMin[i], clockMax[i], clockMin[i], std::nullopt,
                                false});
    l.parameters.push_back({1081, 0, 65535, 401, std::nullopt, true});
    l.firmwareNumber = 401;
    l.modelCode = 150;
    return l;
}

sim::SimulatedStarter::Config GapConfig(std::vector<uint8_t> nodes = {1})
{
    sim::SimulatedStarter::Config c;
    c.layout = GapLayout();
    c.nodes = std::move(nodes);
    return c;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        location = files::SettingsLocation::File(dir.filePath("settings.ini"));
        session = std::make_unique<TSerialSetup>(prompts, decider, shell, location);
        session->SetProgramOptions(&options);
        session->SetReopenDelay(1);
    }

    // Ethernet settings aimed at the starter: 10 ms between commands, 50 ms for a reply.
    void AimAt(quint16 port, TNuvModbus_Medium medium = bmmModbusTcp)
    {
        TSerialSetupValues& v = session->Values();
        v.Medium = smEthernet;
        v.TcpMedium = medium == bmmTcpIp ? 1 : 0;
        v.TcpHost = QStringLiteral("127.0.0.1");
        v.TcpPort = QString::number(port);
        v.TcpTransmissionDelay = QStringLiteral("1");
        v.TcpResponseDelay = QStringLiteral("5");
    }

    QTemporaryDir dir;
    files::SettingsLocation location = files::SettingsLocation::User();
    ScriptedPrompts prompts;
    ScriptedErrorDecider decider;
    ShellState shell;
    ProgramOptions options;
    std::unique_ptr<TSerialSetup> session;
};

// ---- Settings -------------------------------------------------------------------------------

TEST_F(SessionTest, EmptyStoreGivesTheDefaultWindowAndAnRtuChannelWithScaledDelays)
{
    shell.NodeAddress = 9;
    ASSERT_TRUE(session->Load_Baud());
    const TSerialSetupValues& v = session->Values();
    EXPECT_EQ(TSerialSetup::PortTexts()[v.Port], "Com1");
    EXPECT_EQ(TSerialSetup::BaudRateTexts()[v.BaudRate], "9600");
    EXPECT_EQ(TSerialSetup::StopBitsTexts()[v.StopBits], "1 Stop Bit");
    EXPECT_EQ(TSerialSetup::ParityTexts()[v.Parity], "No Parity");
    EXPECT_EQ(v.TransmissionDelay, "10");
    EXPECT_EQ(v.ResponseDelay, "50");
    EXPECT_EQ(v.Address, "1");
    EXPECT_EQ(shell.NodeAddress, 1);
    EXPECT_EQ(v.Medium, smSerial);
    EXPECT_EQ(v.SerialType, kSerialDirectLinkTag);  // stored default 1 matches no button
    EXPECT_EQ(v.TcpInterface, kEthernetDirectTag);
    EXPECT_EQ(v.TcpHost, reg::com::kDefaultTcpHost);
    EXPECT_TRUE(v.Rts);
    EXPECT_FALSE(v.EchoBack);

    const TNuvModbus_Settings s = session->BuildClientSettings();
    EXPECT_EQ(s.Medium, bmmModbusRtu);
    EXPECT_EQ(s.Delay.BetweenCommands, 100);
    EXPECT_EQ(s.Timeout.Response, 500);
    EXPECT_EQ(s.Delay.TransientError, 1000);
    EXPECT_EQ(s.SerialBaud, 9600u);
    EXPECT_EQ(s.SerialPort, 1);
    EXPECT_EQ(s.SerialParity, mspNone);
    EXPECT_EQ(s.SerialStopBits, msbOne);
    EXPECT_EQ(s.SerialInterface, msiRs485);
    EXPECT_FALSE(s.SerialEcho);
    EXPECT_EQ(s.MaxAttempts, 5);
    EXPECT_EQ(s.Timeout.Connect, 5000);
    EXPECT_TRUE(s.Options.Empty());
}

TEST_F(SessionTest, ClientSettingsFollowTheSelectedTab)
{
    struct Row {
        const char* name;
        std::function<void(TSerialSetupValues&)> edit;
        std::function<void(const TNuvModbus_Settings&)> check;
    };
    const Row rows[] = {
        {"serial lists and check boxes",
         [](auto& v) {
             v.Port = 3;
             v.BaudRate = 3;
             v.Parity = 2;
             v.StopBits = 1;
             v.EchoBack = true;
             v.Rts = false;
         },
         [](const auto& s) {
             EXPECT_EQ(s.SerialPort, 4);
             EXPECT_EQ(s.SerialBaud, 38400u);
             EXPECT_EQ(s.SerialParity, mspEven);
             EXPECT_EQ(s.SerialStopBits, msbTwo);
             EXPECT_TRUE(s.SerialEcho);
             EXPECT_EQ(s.SerialInterface, msiRs232);
         }},
        {"odd parity", [](auto& v) { v.Parity = 1; }, [](const auto& s) { EXPECT_EQ(s.SerialParity, mspOdd); }},
        {"device path replaces the port",
         [](auto& v) { v.SerialDevice = QStringLiteral("/dev/pts/42"); },
         [](const auto& s) { EXPECT_EQ(s.SerialDevice, "/dev/pts/42"); }},
        {"field that is not a number keeps the client default, scaled",
         [](auto& v) {
             v.TransmissionDelay = QStringLiteral("");
             v.ResponseDelay = QStringLiteral("x");
         },
         [](const auto& s) {
             EXPECT_EQ(s.Delay.BetweenCommands, 500);
             EXPECT_EQ(s.Timeout.Response, 1000);
             EXPECT_EQ(s.Delay.TransientError, 2000);
         }},
        {"large delays saturate instead of wrapping",
         [](auto& v) {
             v.TransmissionDelay = QStringLiteral("10000");
             v.ResponseDelay = QStringLiteral("4000");
         },
         [](const auto& s) {
             EXPECT_EQ(s.Delay.BetweenCommands, 65535);
             EXPECT_EQ(s.Timeout.Response, 40000);
             EXPECT_EQ(s.Delay.TransientError, 65535);
         }},
        {"ethernet, Modbus TCP",
         [](auto& v) {
             v.Medium = smEthernet;
             v.TcpHost = QStringLiteral(" 10.0.0.7 ");
             v.TcpPort = QStringLiteral("1502");
             v.TcpTransmissionDelay = QStringLiteral("20");
             v.TcpResponseDelay = QStringLiteral("150");
         },
         [](const auto& s) {
             EXPECT_EQ(s.Medium, bmmModbusTcp);
             EXPECT_EQ(s.GetTcpHost(), "10.0.0.7");
             EXPECT_EQ(s.TcpPort, 1502);
             EXPECT_EQ(s.Delay.BetweenCommands, 200);
             EXPECT_EQ(s.Timeout.Response, 1500);
             EXPECT_EQ(s.Delay.TransientError, 3000);
         }},
        {"ethernet, Modbus over TCP",
         [](auto& v) {
             v.Medium = smEthernet;
             v.TcpMedium = 1;
         },
         [](const auto& s) { EXPECT_EQ(s.Medium, bmmTcpIp); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        session->SetValues(TSerialSetupValues{});
        row.edit(session->Values());
        row.check(session->BuildClientSettings());
    }
}

TEST_F(SessionTest, StoredValuesRoundTripAndUnknownTagsChooseTheDirectType)
{
    {
        files::TReg r({}, location);
        r.Write(reg::com::Type(), 7);
        r.Write(reg::com::TcpInterface(), 9);
        r.Write(reg::com::Port(), 99);
        r.Write(reg::com::Address(), 300);
    }
    session->Load_Baud();
    EXPECT_EQ(session->Values().SerialType, kSerialDirectLinkTag);
    EXPECT_EQ(session->Values().TcpInterface, kEthernetDirectTag);
    EXPECT_EQ(session->Values().Port, 15);
    EXPECT_EQ(shell.NodeAddress, 254);

    TSerialSetupValues& v = session->Values();
    v.Medium = smEthernet;
    v.SerialType = kSerialMultiDropTag;
    v.TcpInterface = kEthernetMultiDropTag;
    v.TcpHost = QStringLiteral("127.0.0.9");
    v.TcpPort = QStringLiteral("1502");
    v.ResponseDelay = QStringLiteral("not a number");  // keeps the stored figure
    v.TransmissionDelay = QStringLiteral("77");
    v.EchoBack = true;
    v.Rts = false;
    shell.NodeAddress = 12;
    session->Save_Baud();

    TSerialSetup other(prompts, decider, shell, location);
    shell.NodeAddress = 1;
    other.Load_Baud();
    const TSerialSetupValues& w = other.Values();
    EXPECT_EQ(w.Medium, smEthernet);
    EXPECT_EQ(w.SerialType, kSerialMultiDropTag);
    EXPECT_EQ(w.TcpInterface, kEthernetMultiDropTag);
    EXPECT_EQ(w.TcpHost, "127.0.0.9");
    EXPECT_EQ(w.TcpPort, "1502");
    EXPECT_EQ(w.ResponseDelay, "50");
    EXPECT_EQ(w.TransmissionDelay, "77");
    EXPECT_TRUE(w.EchoBack);
    EXPECT_FALSE(w.Rts);
    EXPECT_EQ(w.Address, "12");
    EXPECT_EQ(shell.NodeAddress, 12);
}

TEST(SessionRules, FieldRulesAndConnectionTypeTexts)
{
    struct Ip {
        const char* typed;
        const char* left;
    };
    const Ip ips[] = {{"300.1.2", "255.1.2.0"},    {" 10.0.0.1 ", "10.0.0.1"}, {"", reg::com::kDefaultTcpHost},
                      {"1.2.3.4.5", "1.2.3.4"},    {"a.7..9", "0.7.0.9"},     {"256", "255.0.0.0"}};
    for (const Ip& ip : ips)
        EXPECT_EQ(TSerialSetup::NormalizeIpAddress(ip.typed), ip.left) << ip.typed;

    struct Field {
        const char* typed;
        files::RegInteger key;
        const char* left;
    };
    const Field fields[] = {{"255", reg::com::Address(), "254"},
                            {"0", reg::com::Address(), "1"},
                            {"abc", reg::com::Address(), "1"},
                            {"5", reg::com::TransmissionDelay(), "10"},
                            {"", reg::com::ResponseDelay(), "50"},
                            {"99999", reg::com::TcpPort(), "65535"},
                            {"9999", reg::com::TcpResponseTimeout(), "9999"}};
    for (const Field& f : fields)
        EXPECT_EQ(TSerialSetup::ClampNumericField(f.typed, f.key), f.left) << f.typed;

    TSerialSetupValues v;
    v.Parity = 2;
    TSerialSetup::ChooseStopBits(v, 1);
    EXPECT_EQ(v.Parity, 0);
    TSerialSetup::ChooseParity(v, 1);
    EXPECT_EQ(v.StopBits, 0);
    TSerialSetup::ChooseStopBits(v, 0);
    TSerialSetup::ChooseParity(v, 0);
    EXPECT_EQ(v.StopBits, 0);

    EXPECT_EQ(TSerialSetup::ConnectionTypeCaption(kSerialDirectLinkTag, false), "Direct Link (RS485 Single RV8)");
    EXPECT_EQ(TSerialSetup::ConnectionTypeCaption(kSerialMultiDropTag, false), "Multi-Drop (RS485 Network)");
    EXPECT_EQ(TSerialSetup::ConnectionTypeCaption(kSerialThirdTag, false), "");
    EXPECT_EQ(TSerialSetup::ConnectionTypeCaption(kEthernetDirectTag, true), "Direct IP (Ethernet Single RV8)");
    EXPECT_EQ(TSerialSetup::ConnectionTypeCaption(kEthernetMultiDropTag, true), "Multi-Drop (Ethernet Network)");

    const TInterfaceChoice none[] = {{3, false}, {13, false}};
    const TInterfaceChoice zeroFirst[] = {{0, true}, {13, true}};
    EXPECT_EQ(TSerialSetup::GetInterfaceIdentifier(none), 0);
    EXPECT_EQ(TSerialSetup::GetInterfaceIdentifier(zeroFirst), 13);

    struct Wording {
        TNuvModbus_CheckResponseError error;
        const char* text;
    };
    const Wording wordings[] = {{bmeRtu_SlaveAddress_Fatal, "Incorrect RV8 address in response."},
                                {bmeSlaveDeviceFailure_Fatal, "RV8 failure."},
                                {bmeGatewayTargetDeviceFailedToRespond_Transient, "RV8 failed to respond."},
                                {bmeSlaveDeviceBusy_Transient, "RV8 busy."},
                                {bmeReceiveResponse_Transient, "No response received."}};
    for (const Wording& w : wordings)
        EXPECT_EQ(TSerialSetup::ErrorMessage(w.error, ErrorText(w.error)), w.text);
}

// ---- Channel --------------------------------------------------------------------------------

TEST_F(SessionTest, OpenAndCloseSetTheShellStateAndSignalIt)
{
    test::SimThread sim(GapConfig());
    ASSERT_TRUE(sim.Ok()) << sim.Error().toStdString();
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    ASSERT_NE(port, 0);
    std::vector<bool> signalled;
    QObject::connect(session.get(), &TSerialSetup::onlineChanged, [&](bool online) { signalled.push_back(online); });

    AimAt(port);
    session->Values().TcpInterface = kEthernetMultiDropTag;
    ASSERT_TRUE(session->open_communications());
    EXPECT_TRUE(shell.IsOnline);
    EXPECT_TRUE(session->IsConnected());
    EXPECT_TRUE(session->IsModbusTcp());
    EXPECT_TRUE(session->IsMultiDrop());
    EXPECT_TRUE(session->InterfaceTextContains(QStringLiteral("ethernet")));
    EXPECT_TRUE(prompts.asked().empty());

    shell.NetworkScanned = true;
    session->Close_Communications();
    EXPECT_FALSE(shell.IsOnline);
    EXPECT_FALSE(shell.NetworkScanned);
    EXPECT_FALSE(session->IsConnected());
    EXPECT_FALSE(session->IsMultiDrop());
    EXPECT_EQ(signalled, (std::vector<bool>{true, false}));

    // A request on the closed channel asks without Ignore and fails.
    uint16_t value = 1;
    EXPECT_FALSE(session->ReadHoldingRegister(1, 1001, value));
    ASSERT_EQ(decider.asked().size(), 1u);
    EXPECT_EQ(decider.asked()[0].text, "Unable to send request.");
    EXPECT_FALSE(decider.asked()[0].allowIgnore);
}

TEST_F(SessionTest, OpenFailureWarnsWithTheTabsTextAndStaysOffline)
{
    // A port that was free a moment ago: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();

    AimAt(port);
    EXPECT_FALSE(session->open_communications());
    EXPECT_FALSE(shell.IsOnline);
    session->Values().Medium = smSerial;
    session->Values().SerialDevice = dir.filePath("no-such-tty");
    EXPECT_FALSE(session->open_communications());
    EXPECT_FALSE(shell.IsOnline);

    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Warning);
    EXPECT_EQ(prompts.asked()[0].prompt.text,
              "Unable to open communication with the selected IP address on the selected port.");
    EXPECT_EQ(prompts.asked()[1].prompt.text, "Unable to open the selected communication port.");
}

TEST_F(SessionTest, OpensWithTheCallersClientSettings)
{
    test::SimThread sim(GapConfig({3}));
    ASSERT_TRUE(sim.Ok());
    const quint16 port = sim.ListenTcp(sim::Medium::ModbusTcp);
    TNuvModbus_Settings s;
    s.Medium = bmmModbusTcp;
    s.TcpPort = port;
    s.Delay.BetweenCommands = 0;
    s.Timeout.Response = 200;
    s.MaxAttempts = 1;
    ASSERT_TRUE(session->OpenWithSettings(s));
    EXPECT_TRUE(shell.IsOnline);
    EXPECT_EQ(session->Modbus().Settings().MaxAttempts, 1);
    uint16_t value = 0;
    ASSERT_TRUE(session->ReadHoldingRegister(3, 1002, value));
    EXPECT_EQ(value, 2);
}

// ---- Register operations and the error policy -------------------------------------------------

class SessionOnSim : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        ASSERT_TRUE(sim.Ok()) << sim.Error().toStdString();
        const quint16 port = sim.ListenTcp(sim::Medium::RtuOverTcp);
        ASSERT_NE(port, 0);
        AimAt(port, bmmTcpIp);
        ASSERT_TRUE(session->open_communications());
    }
    std::vector<sim::LogEntry> Reads()
    {
        std::vector<sim::LogEntry> out;
        for (const sim::LogEntry& e : sim.Log())
            if (e.function == 3)
                out.push_back(e);
        return out;
    }

    test::SimThread sim{GapConfig()};
};

sim::FaultSwitches Once(uint8_t exception)
{
    sim::FaultSwitches f;
    f.exceptionCode = exception;
    f.repliesAffected = 1;
    return f;
}

TEST_F(SessionOnSim, IgnoredErrorInABlockReadAsksOnceThenReadsSinglyWithoutQuestions)
{
    decider.then(meaIgnore);
    std::vector<uint16_t> values(12, 0xEEEE);
    bool ignored = false;
    ASSERT_TRUE(session->ReadHoldingRegisters(1, 1001, values, ignored, {bmoAllowIgnoreError}));
    EXPECT_TRUE(ignored);

    ASSERT_EQ(decider.asked().size(), 1u);
    EXPECT_EQ(decider.asked()[0].text, "Illegal data address.");
    EXPECT_TRUE(decider.asked()[0].allowIgnore);
    const std::vector<uint16_t> expected{1, 2, 3, 4, 0, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(values, expected);

    const auto reads = Reads();
    ASSERT_EQ(reads.size(), 13u);
    EXPECT_EQ(reads[0].count, 12);
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(reads[i].address, 1000 + i);
        EXPECT_EQ(reads[i].count, 1);
    }
}

TEST_F(SessionOnSim, OptionL22IgnoresWithoutAQuestionOnlyWhereIgnoringIsAllowed)
{
    options.L22 = true;
    std::vector<uint16_t> values(12);
    bool ignored = false;
    ASSERT_TRUE(session->ReadHoldingRegisters(1, 1001, values, ignored, {bmoAllowIgnoreError}));
    EXPECT_TRUE(ignored);
    EXPECT_TRUE(decider.asked().empty());
    EXPECT_EQ(values[4], 0);
    EXPECT_EQ(values[11], 12);

    // Without bmoAllowIgnoreError the question comes all the same, and an Ignore is not possible.
    decider.then(meaIgnore);
    EXPECT_FALSE(session->ReadHoldingRegisters(1, 1001, values, ignored, {}));
    EXPECT_FALSE(ignored);
    ASSERT_EQ(decider.asked().size(), 1u);
    EXPECT_FALSE(decider.asked()[0].allowIgnore);
}

TEST_F(SessionOnSim, DecisionsSteerTheResult)
{
    struct Row {
        const char* name;
        sim::FaultSwitches faults;
        TNuvModbus_Options options;
        std::vector<TNuvModbus_ErrorEventAction> answers;
        bool result;
        bool ignored;
        std::vector<QString> texts;  // what the questions said
    };
    sim::FaultSwitches wrongAddress;
    wrongAddress.wrongAddress = true;
    wrongAddress.repliesAffected = 1;
    const Row rows[] = {
        {"retry after a refused request succeeds", Once(4), {}, {meaRetry}, true, false, {"RV8 failure."}},
        {"abort fails", Once(4), {bmoAllowIgnoreError}, {meaAbort}, false, false, {"RV8 failure."}},
        {"ignore on a single read fails, marked ignored", Once(4), {bmoAllowIgnoreError}, {meaIgnore}, false, true,
         {"RV8 failure."}},
        {"another node's reply", wrongAddress, {}, {meaAbort}, false, false, {"Incorrect RV8 address in response."}},
        {"auto-ignore asks nothing", Once(4), {bmoAutoIgnoreError}, {}, false, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        decider.clearAsked();
        for (auto a : row.answers)
            decider.then(a);
        sim.SetFaults(row.faults);
        uint16_t value = 0xEEEE;
        bool ignored = false;
        EXPECT_EQ(session->ReadHoldingRegister(1, 1003, value, ignored, row.options), row.result);
        EXPECT_EQ(ignored, row.ignored);
        EXPECT_EQ(value, row.result ? 3 : 0);
        std::vector<QString> texts;
        for (const auto& r : decider.asked())
            texts.push_back(r.text);
        EXPECT_EQ(texts, row.texts);
        sim.SetFaults({});
    }
}

TEST_F(SessionOnSim, IgnoredBlockWriteGoesOnRegisterByRegisterWithCountOneWrites)
{
    // The clock takes writes without the write-access code; month 13 is refused, so the block is.
    const std::vector<uint16_t> clock{2031, 13, 17, 8, 30, 45};
    decider.then(meaIgnore);
    bool ignored = false;
    sim.ClearLog();
    ASSERT_TRUE(session->WriteMultipleRegisters(1, 1075, clock, ignored, {bmoAllowIgnoreError}));
    EXPECT_TRUE(ignored);
    ASSERT_EQ(decider.asked().size(), 1u);
    EXPECT_EQ(decider.asked()[0].text, "Illegal data value.");

    const auto log = sim.Log();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0].count, 6);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(log[i].function, 16);
        EXPECT_EQ(log[i].address, 1074 + i);
        EXPECT_EQ(log[i].count, 1);
        EXPECT_EQ(log[i].exception, i == 2 ? 3 : 0) << i;
    }
    // The year went through, the month did not.
    uint16_t year = 0;
    ASSERT_TRUE(session->ReadHoldingRegister(1, 1075, year));
    EXPECT_EQ(year, 2031);

    // Without an Ignore the write is not split.
    decider.then(meaAbort);
    sim.ClearLog();
    EXPECT_FALSE(session->WriteMultipleRegisters(1, 1075, clock, {bmoAllowIgnoreError}));
    EXPECT_EQ(sim.Log().size(), 1u);
}

TEST_F(SessionOnSim, CancelDuringTheFallbackStopsWithFalse)
{
    // The first question answers Ignore and sets the cancel flag: the singles are not sent.
    struct CancellingDecider final : ErrorDecider {
        bool* cancel = nullptr;
        TNuvModbus_ErrorEventAction Decide(const QString&, bool) override
        {
            *cancel = true;
            return meaIgnore;
        }
    } cancelling;
    bool cancel = false;
    cancelling.cancel = &cancel;
    session->SetErrorDecider(cancelling);
    std::vector<uint16_t> values(12);
    sim.ClearLog();
    EXPECT_FALSE(session->ReadHoldingRegisters(1, 1001, values, {bmoAllowIgnoreError}, &cancel));
    EXPECT_EQ(sim.Log().size(), 1u);
}

TEST_F(SessionOnSim, HeartbeatProbeAndTestReadTheRevisionRegister)
{
    ASSERT_EQ(param::BuildCatalogue(true), "");
    ASSERT_EQ(param::SPECIAL_ADDRESSES[param::sasRevision2], 1081);

    uint16_t revision = 0;
    ASSERT_TRUE(session->HeartbeatProbe(1, revision));
    EXPECT_EQ(revision, 401);

    sim::FaultSwitches silent;
    silent.noReply = true;
    sim.SetFaults(silent);
    EXPECT_FALSE(session->HeartbeatProbe(1, revision));
    EXPECT_TRUE(decider.asked().empty());
    sim.SetFaults({});

    std::vector<int> steps;
    session->Values().Address = QStringLiteral("1");
    EXPECT_EQ(session->TestCommunication([&](int percent) { steps.push_back(percent); }), 10);
    EXPECT_EQ(steps, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_TRUE(shell.IsOnline);

    // A node that does not exist: the first read fails (one question, aborted) and the test stops.
    steps.clear();
    session->Values().Address = QStringLiteral("9");
    EXPECT_EQ(session->TestCommunication([&](int percent) { steps.push_back(percent); }), 0);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(decider.asked().size(), 1u);
    EXPECT_TRUE(session->IsConnected());
}

// ---- RTU on a serial line ---------------------------------------------------------------------

TEST_F(SessionTest, BlockReadOverAnRtuPseudoTerminalPair)
{
    sim::test::SocatPair pair;
    if (!pair.Ok())
        GTEST_SKIP() << "socat is not available";
    test::SimThread sim(GapConfig({1, 5}));
    ASSERT_TRUE(sim.Ok());
    sim::SerialSettings line;
    line.device = pair.First();
    line.baud = 38400;
    ASSERT_TRUE(sim.OpenSerial(line)) << sim.Error().toStdString();

    TSerialSetupValues& v = session->Values();
    v.Medium = smSerial;
    v.SerialDevice = pair.Second();
    v.BaudRate = 3;  // 38400
    v.TransmissionDelay = QStringLiteral("1");
    v.ResponseDelay = QStringLiteral("50");
    v.Rts = false;
    ASSERT_TRUE(session->open_communications());

    std::vector<uint16_t> values(4);
    ASSERT_TRUE(session->ReadHoldingRegisters(5, 1006, values, {bmoAllowIgnoreError}));
    EXPECT_EQ(values, (std::vector<uint16_t>{6, 7, 8, 9}));
    EXPECT_TRUE(decider.asked().empty());

    const auto log = sim.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].medium, sim::Medium::SerialRtu);
    EXPECT_EQ(log[0].node, 5);
    EXPECT_EQ(log[0].count, 4);
    session->Close_Communications();
}

}  // namespace
