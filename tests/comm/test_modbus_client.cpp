// The client's request loop driven through a scripted line: framing, reply checks, the retry
// and error-decision loop, cancel and close paths, over every medium where they apply.
#include "FakeTransport.h"
#include "comm/NuvModbus.h"
#include "comm/NuvWait.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace rv8::comm;
using namespace rv8::comm::test;

namespace {

const char* MediumName(TNuvModbus_Medium m)
{
    switch (m) {
    case bmmModbusAscii: return "Ascii";
    case bmmModbusRtu: return "Rtu";
    case bmmModbusTcp: return "Tcp";
    case bmmTcpIp: return "RtuOverTcp";
    case bmmRadio: return "Radio";
    }
    return "?";
}

constexpr std::array kAllMedia{bmmModbusAscii, bmmModbusRtu, bmmModbusTcp, bmmTcpIp};
constexpr std::array kAddressedMedia{bmmModbusAscii, bmmModbusRtu, bmmTcpIp};

struct HookCall {
    TNuvModbus_CheckResponseError error;
    QString text;
    bool allowIgnore;
};

class Client {
public:
    explicit Client(TNuvModbus_Medium medium, uint8_t maxAttempts = 3)
        : line(std::make_shared<FakeLine>())
        , modbus(FakeFactory(line))
    {
        settings.Medium = medium;
        settings.Delay.BetweenCommands = 0;
        settings.Delay.TransientError = 0;
        settings.Timeout.Response = 1;
        settings.MaxAttempts = maxAttempts;
        line->respond = GoodDevice(medium);
        modbus.SetOnError([this](TNuvModbus_CheckResponseError e, const QString& text, bool allowIgnore,
                                 TNuvModbus_ErrorEventAction& action) {
            hookCalls.push_back({e, text, allowIgnore});
            if (!answers.empty()) {
                action = answers.front();
                answers.erase(answers.begin());
            }
        });
    }
    bool Open() { return modbus.Open(settings); }
    // Replies with `pdu` (or a faulty frame) instead of the good device's answer.
    void Answer(std::function<QByteArray(const QByteArray& frame)> f) { line->respond = std::move(f); }
    void AnswerPdu(const QByteArray& pdu, ReplyFault fault = {})
    {
        const auto m = settings.Medium;
        Answer([m, pdu, fault](const QByteArray& frame) { return MakeReply(m, frame, pdu, fault); });
    }

    std::shared_ptr<FakeLine> line;
    TNuvModbus modbus;
    TNuvModbus_Settings settings;
    std::vector<HookCall> hookCalls;
    std::vector<TNuvModbus_ErrorEventAction> answers;  // hook answers in turn, then meaAbort
};

// One register read (node 7, register 1001).
TNuvModbus_CheckResponseError ReadOne(Client& c, TNuvModbus_RequestSettings* rs = nullptr)
{
    QByteArray data;
    return c.modbus.HandleRequest(7, 3, QByteArray::fromHex("03E90001"), 3, data, rs);
}

}  // namespace

// ---------------------------------------------------------------- settings

TEST(NuvModbusSettings, ClearSetsTheDefaults)
{
    TNuvModbus_Settings s;
    s.MaxAttempts = 9;
    s.TcpHost = "x";
    s.Clear();
    EXPECT_FALSE(s.Debugging);
    EXPECT_EQ(s.Delay.BetweenCommands, 50);
    EXPECT_EQ(s.Delay.TransientError, 100);
    EXPECT_EQ(s.MaxAttempts, 5);
    EXPECT_EQ(s.Medium, bmmModbusRtu);
    EXPECT_TRUE(s.Options.Empty());
    EXPECT_EQ(s.SerialBaud, 9600u);
    EXPECT_FALSE(s.SerialEcho);
    EXPECT_EQ(s.SerialInterface, msiRs232);
    EXPECT_EQ(s.SerialParity, mspNone);
    EXPECT_EQ(s.SerialPort, 1);
    EXPECT_EQ(s.SerialStopBits, msbOne);
    EXPECT_EQ(s.TcpHost, "127.0.0.1");
    EXPECT_EQ(s.TcpPort, 502);
    EXPECT_EQ(s.Timeout.Connect, 5000);
    EXPECT_EQ(s.Timeout.Response, 100);

    s.TcpHost = "  10.0.0.5 ";
    EXPECT_EQ(s.GetTcpHost(), "10.0.0.5");
    s.SerialEcho = true;
    s.Medium = bmmModbusTcp;
    EXPECT_FALSE(s.GetSerialEcho()) << "TCP lines do not echo";
    s.Medium = bmmModbusAscii;
    EXPECT_TRUE(s.GetSerialEcho());
    s.SerialParity = mspMark;
    s.SerialStopBits = msbOneAndOneHalf;
    EXPECT_EQ(s.GetSerialParity(), QSerialPort::MarkParity);
    EXPECT_EQ(s.GetSerialStopBits(), QSerialPort::OneAndHalfStop);

    TNuvModbus_RequestSettings rs;
    rs.MaxAttempts = 3;
    rs.ErrorWasIgnored = true;
    rs.Clear();
    EXPECT_EQ(rs.MaxAttempts, 0);
    EXPECT_FALSE(rs.ErrorWasIgnored);
    EXPECT_EQ(rs.Cancel, nullptr);
}

TEST(NuvModbusErrors, TextsAndClasses)
{
    EXPECT_STREQ(ErrorText(bmeNone), "");
    EXPECT_STREQ(ErrorText(bmeReceiveResponse_Transient), "No response received.");
    EXPECT_STREQ(ErrorText(bmeRtu_SlaveAddress_Fatal), "Incorrect device address in response.");
    EXPECT_STREQ(ErrorText(bmeTcp_TransactionIdentifier_Transient), "Incorrect transaction identifier in response.");
    EXPECT_STREQ(ErrorText(bmeAscii_Lrc_Fatal), ErrorText(bmeRtu_Crc_Fatal));
    int fatal = 0;
    int transient = 0;
    for (int v = 0; v < kNuvModbusErrorCount; ++v) {
        const auto e = static_cast<TNuvModbus_CheckResponseError>(v);
        fatal += IsFatalError(e);
        transient += IsTransientError(e);
        if (v > 0) {
            EXPECT_STRNE(ErrorText(e), "") << v;
        }
    }
    EXPECT_EQ(fatal, 17);
    EXPECT_EQ(transient, 7);
}

// ---------------------------------------------------------------- open and close

TEST(NuvModbusOpen, RadioOpensNothingAndFailedOpenLeavesClosed)
{
    Client radio(bmmRadio);
    EXPECT_FALSE(radio.Open());
    EXPECT_EQ(radio.line->opens, 0);
    EXPECT_FALSE(radio.modbus.IsOpen());

    Client c(bmmModbusTcp);
    c.line->failOpen = true;
    EXPECT_FALSE(c.Open());
    EXPECT_EQ(c.line->alive, 0) << "the transport of a failed open is destroyed";
    EXPECT_EQ(ReadOne(c), bmeSendRequest_Fatal) << "requests on a closed client fail in the send";
    ASSERT_EQ(c.hookCalls.size(), 1u);
    EXPECT_TRUE(c.line->written.empty());
}

TEST(NuvModbusOpen, OpenAgainClosesFirstAndCloseReleases)
{
    Client c(bmmModbusRtu);
    ASSERT_TRUE(c.Open());
    EXPECT_TRUE(c.modbus.IsOpen());
    ASSERT_TRUE(c.Open());
    EXPECT_EQ(c.line->closes, 1);
    EXPECT_EQ(c.line->alive, 1);
    EXPECT_TRUE(c.modbus.Close());
    EXPECT_EQ(c.line->alive, 0);
    EXPECT_FALSE(c.modbus.IsOpen());
    EXPECT_TRUE(c.modbus.Close()) << "closing a closed client succeeds";
}

// ---------------------------------------------------------------- frames

TEST(NuvModbusFrames, RequestFramesPerMedium)
{
    struct Row {
        TNuvModbus_Medium medium;
        TNuvModbus_Options options;
        const char* frame;
    };
    // Read 1 register at 0x03E9 from node 7; write 0x1234 to 0x03E9 with code 16.
    const Row reads[] = {
        {bmmModbusRtu, {}, "070303E90001"},
        {bmmTcpIp, {}, "070303E90001"},
        {bmmModbusTcp, {}, "000000000006070303E90001"},
        {bmmModbusAscii, {}, ":070303E9000109\r\n"},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(MediumName(r.medium));
        Client c(r.medium);
        ASSERT_TRUE(c.Open());
        EXPECT_EQ(ReadOne(c), bmeNone);
        ASSERT_EQ(c.line->written.size(), 1u);
        QByteArray expected = r.medium == bmmModbusAscii ? QByteArray(r.frame) : QByteArray::fromHex(r.frame);
        if (r.medium == bmmModbusRtu || r.medium == bmmTcpIp)
            AppendWord(expected, Crc16(expected), true);
        EXPECT_EQ(c.line->written[0].toHex(), expected.toHex());
    }
}

TEST(NuvModbusFrames, InvertErrorCheckSendsAndExpectsCrcHighByteFirst)
{
    for (auto m : {bmmModbusRtu, bmmTcpIp}) {
        SCOPED_TRACE(MediumName(m));
        Client c(m);
        c.settings.Options = {bmoInvertErrorCheck};
        c.Answer([m](const QByteArray& f) { return MakeReply(m, f, ServePdu(RequestPdu(m, f)), {}, true); });
        ASSERT_TRUE(c.Open());
        EXPECT_EQ(ReadOne(c), bmeNone);
        const QByteArray& f = c.line->written.at(0);
        const uint16_t crc = Crc16(f.left(f.size() - 2));
        EXPECT_EQ(uint8_t(f.at(f.size() - 2)), crc >> 8);
        // A normally ordered reply now fails its checksum.
        c.line->respond = GoodDevice(m);
        EXPECT_EQ(ReadOne(c), bmeRtu_Crc_Fatal);
    }
}

// ---------------------------------------------------------------- register operations

TEST(NuvModbusRegisters, CountLimitsOnEveryMedium)
{
    for (auto m : kAllMedia) {
        SCOPED_TRACE(MediumName(m));
        Client c(m);
        ASSERT_TRUE(c.Open());
        std::vector<uint16_t> none;
        std::vector<uint16_t> tooMany(126);
        EXPECT_FALSE(c.modbus.ReadHoldingRegisters(1, 100, none));
        EXPECT_FALSE(c.modbus.ReadHoldingRegisters(1, 100, tooMany));
        std::vector<uint16_t> w0;
        std::vector<uint16_t> w124(124, 5);
        EXPECT_FALSE(c.modbus.WriteMultipleRegisters(1, 100, std::span<const uint16_t>(w0)));
        EXPECT_FALSE(c.modbus.WriteMultipleRegisters(1, 100, std::span<const uint16_t>(w124)));
        EXPECT_TRUE(c.line->written.empty()) << "out-of-range counts send nothing";
        EXPECT_TRUE(c.hookCalls.empty());

        std::vector<uint16_t> max(125);
        ASSERT_TRUE(c.modbus.ReadHoldingRegisters(1, 100, max));
        EXPECT_EQ(max.front(), 1100);
        EXPECT_EQ(max.back(), 1224);
        std::vector<uint16_t> w123(123, 7);
        EXPECT_TRUE(c.modbus.WriteMultipleRegisters(1, 100, std::span<const uint16_t>(w123)));
        EXPECT_EQ(c.line->written.size(), 2u);
        const QByteArray pdu = RequestPdu(m, c.line->written.back());
        EXPECT_EQ(pdu.left(6).toHex(), "100064007bf6");
        EXPECT_EQ(pdu.size(), 6 + 246);
    }
}

TEST(NuvModbusRegisters, SingleRegisterWriteUsesCode16AndOtherOperationsEcho)
{
    Client c(bmmModbusRtu);
    ASSERT_TRUE(c.Open());
    EXPECT_TRUE(c.modbus.WriteMultipleRegisters(2, 1075, uint16_t(0xBEEF)));
    EXPECT_EQ(RequestPdu(bmmModbusRtu, c.line->written.back()).toHex(), "100433000102beef");
    uint16_t v = 9;
    EXPECT_TRUE(c.modbus.ReadHoldingRegister(2, 1081, v));
    EXPECT_EQ(v, 2081);
    EXPECT_TRUE(c.modbus.WriteSingleRegister(2, 5, 6));
    EXPECT_TRUE(c.modbus.WriteSingleCoil(2, 5, true));
    EXPECT_EQ(RequestPdu(bmmModbusRtu, c.line->written.back()).toHex(), "050005ff00");
    EXPECT_TRUE(c.modbus.MaskWriteRegister(2, 5, 0xF0F0, 0x0101));
    EXPECT_TRUE(c.modbus.Diagnostics_ReturnQueryData(2, 0xA55A));
    EXPECT_EQ(RequestPdu(bmmModbusRtu, c.line->written.back()).toHex(), "080000a55a");
}

TEST(NuvModbusRegisters, RepliesThatDoNotMatchTheRequestFail)
{
    struct Row {
        const char* name;
        const char* pdu;  // reply PDU
        std::function<bool(TNuvModbus&)> op;
    };
    const Row rows[] = {
        {"read byte count not 2n", "030400010002",
         [](TNuvModbus& m) { uint16_t v = 7; bool ok = m.ReadHoldingRegister(1, 10, v); return ok || v != 0; }},
        {"write echoes another register", "10000b0001",
         [](TNuvModbus& m) { return m.WriteMultipleRegisters(1, 10, uint16_t(1)); }},
        {"write echoes another count", "10000a0002",
         [](TNuvModbus& m) { return m.WriteMultipleRegisters(1, 10, uint16_t(1)); }},
        {"single write echoes another value", "06000a0041",
         [](TNuvModbus& m) { return m.WriteSingleRegister(1, 10, 0x61); }},
        {"mask write echoes differently", "16000a00ff0000",
         [](TNuvModbus& m) { return m.MaskWriteRegister(1, 10, 0xFF, 1); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Client c(bmmModbusRtu);
        ASSERT_TRUE(c.Open());
        c.AnswerPdu(QByteArray::fromHex(r.pdu));
        EXPECT_FALSE(r.op(c.modbus));
        EXPECT_TRUE(c.hookCalls.empty()) << "a well-formed reply is no protocol error";
    }
}

TEST(NuvModbusRegisters, DiagnosticsIsRefusedOnTcpWithoutTraffic)
{
    for (auto m : {bmmModbusTcp, bmmTcpIp}) {
        Client c(m);
        ASSERT_TRUE(c.Open());
        EXPECT_FALSE(c.modbus.Diagnostics_ReturnQueryData(1, 1));
        EXPECT_TRUE(c.line->written.empty());
    }
}

// ---------------------------------------------------------------- reply checks

TEST(NuvModbusChecks, FaultyRepliesGiveTheirErrorOnEveryMedium)
{
    struct Row {
        const char* name;
        std::vector<TNuvModbus_Medium> media;
        QByteArray pdu;
        ReplyFault fault;
        TNuvModbus_CheckResponseError expected;
    };
    const QByteArray good = QByteArray::fromHex("030203f2");
    const std::vector<TNuvModbus_Medium> serialLike(kAddressedMedia.begin(), kAddressedMedia.end());
    const Row rows[] = {
        {"another slave address", serialLike, good, {.address = 9}, bmeRtu_SlaveAddress_Fatal},
        {"bad checksum rtu", {bmmModbusRtu, bmmTcpIp}, good, {.badChecksum = true}, bmeRtu_Crc_Fatal},
        {"bad lrc", {bmmModbusAscii}, good, {.badChecksum = true}, bmeAscii_Lrc_Fatal},
        {"stale transaction id", {bmmModbusTcp}, good, {.transactionId = 0x4242},
         bmeTcp_TransactionIdentifier_Transient},
        {"protocol id 1", {bmmModbusTcp}, good, {.protocolId = 1}, bmeTcp_ProtocolIdentifier_Fatal},
        {"protocol id 256", {bmmModbusTcp}, good, {.protocolId = 256}, bmeTcp_ProtocolIdentifier_Fatal},
        {"length field off by one", {bmmModbusTcp}, good, {.length = 6}, bmeTcp_Length_Fatal},
        {"another unit", {bmmModbusTcp}, good, {.unit = 8}, bmeTcp_UnitIdentifier_Fatal},
        {"short data", {kAllMedia.begin(), kAllMedia.end()}, QByteArray::fromHex("0302"), {.length = 5},
         bmeData_Fatal},
        {"another function code", {kAllMedia.begin(), kAllMedia.end()}, QByteArray::fromHex("040203f2"), {},
         bmeFunctionCode_Fatal},
        {"exception without code", {kAllMedia.begin(), kAllMedia.end()}, QByteArray::fromHex("83"), {.length = 3},
         bmeExceptionCode_Fatal},
    };
    for (const auto& r : rows) {
        for (auto m : r.media) {
            SCOPED_TRACE(std::string(r.name) + " / " + MediumName(m));
            Client c(m);
            ASSERT_TRUE(c.Open());
            c.AnswerPdu(r.pdu, r.fault);
            EXPECT_EQ(ReadOne(c), r.expected);
            const bool fatal = IsFatalError(r.expected);
            EXPECT_EQ(c.line->written.size(), fatal ? 1u : 3u) << "fatal errors are not retried";
            ASSERT_EQ(c.hookCalls.size(), 1u);
            EXPECT_EQ(c.hookCalls[0].error, r.expected);
            EXPECT_EQ(c.hookCalls[0].text, ErrorText(r.expected));
        }
    }
}

TEST(NuvModbusChecks, ExceptionCodesMapToTheirErrors)
{
    struct Row {
        uint8_t code;
        TNuvModbus_CheckResponseError expected;
    };
    const Row rows[] = {
        {1, bmeIllegalFunction_Fatal},
        {2, bmeIllegalDataAddress_Fatal},
        {3, bmeIllegalDataValue_Fatal},
        {4, bmeSlaveDeviceFailure_Fatal},
        {5, bmeData_Fatal},  // acknowledge: not an error, but no register data follows
        {6, bmeSlaveDeviceBusy_Transient},
        {7, bmeNegativeAcknowledge_Transient},
        {8, bmeMemoryParityError_Transient},
        {9, bmeExceptionCode_Fatal},
        {10, bmeGatewayPathUnavailable_Transient},
        {11, bmeGatewayTargetDeviceFailedToRespond_Transient},
        {12, bmeExceptionCode_Fatal},
    };
    for (auto m : kAllMedia) {
        for (const auto& r : rows) {
            SCOPED_TRACE(std::string(MediumName(m)) + " code " + std::to_string(r.code));
            Client c(m);
            ASSERT_TRUE(c.Open());
            QByteArray pdu;
            AppendByte(pdu, 0x83);
            AppendByte(pdu, r.code);
            c.AnswerPdu(pdu);  // a Modbus TCP exception reply carries the length 3
            EXPECT_EQ(ReadOne(c), r.expected);
            EXPECT_EQ(c.line->written.size(), IsTransientError(r.expected) ? 3u : 1u);
            EXPECT_EQ(c.hookCalls.size(), 1u);
        }
    }
}

TEST(NuvModbusChecks, ChecksumBytesNeverBecomeRegisterData)
{
    // One data byte short, with a checksum that is right for what was sent: without care the
    // checksum would be taken as the register value.
    for (auto m : {bmmModbusRtu, bmmTcpIp, bmmModbusAscii}) {
        SCOPED_TRACE(MediumName(m));
        Client c(m);
        ASSERT_TRUE(c.Open());
        c.AnswerPdu(QByteArray::fromHex("030200"));
        uint16_t v = 1;
        EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v));
        ASSERT_EQ(c.hookCalls.size(), 1u);
        EXPECT_EQ(c.hookCalls[0].error, bmeData_Fatal);
    }
}

TEST(NuvModbusChecks, AsciiEnvelopeMustBeComplete)
{
    for (const char* reply : {"070302", ":0703020001F3\r", "0703020001F3\r\n", ":0703020001F\r\n"}) {
        SCOPED_TRACE(reply);
        Client c(bmmModbusAscii);
        ASSERT_TRUE(c.Open());
        const QByteArray r(reply);
        c.Answer([r](const QByteArray&) { return r; });
        EXPECT_EQ(ReadOne(c), bmeDecodeAsciiAdu_Fatal);
    }
    // Lower-case hexadecimal digits are accepted.
    Client c(bmmModbusAscii);
    ASSERT_TRUE(c.Open());
    c.Answer([](const QByteArray& f) { return MakeReply(bmmModbusAscii, f, QByteArray::fromHex("0302abcd")).toLower(); });
    uint16_t v = 0;
    EXPECT_TRUE(c.modbus.ReadHoldingRegister(7, 1001, v));
    EXPECT_EQ(v, 0xABCD);
}

TEST(NuvModbusChecks, SerialEchoIsAwaitedAndDropped)
{
    struct Row {
        TNuvModbus_Medium medium;
        qint64 awaited;
    };
    // An 8-byte RTU read request and its 7-byte reply: 15 bytes awaited, the first 8 dropped.
    // ASCII: 17-character request, 2*3+9 = 15-character reply.
    for (const Row r : {Row{bmmModbusRtu, 15}, Row{bmmModbusAscii, 32}}) {
        SCOPED_TRACE(MediumName(r.medium));
        Client c(r.medium);
        c.settings.SerialEcho = true;
        ASSERT_TRUE(c.Open());
        const auto m = r.medium;
        c.Answer([m](const QByteArray& f) { return f + MakeReply(m, f, QByteArray::fromHex("03020102")); });
        QByteArray received;
        c.modbus.SetOnReceive([&](const QByteArray& reply) { received = reply; });
        uint16_t v = 0;
        ASSERT_TRUE(c.modbus.ReadHoldingRegister(7, 1001, v));
        EXPECT_EQ(v, 0x0102);
        ASSERT_EQ(c.line->awaitedCounts.size(), 1u);
        EXPECT_EQ(c.line->awaitedCounts[0], r.awaited);
        EXPECT_EQ(received, MakeReply(m, c.line->written[0], QByteArray::fromHex("03020102")));
    }
}

// ---------------------------------------------------------------- retry and error decision

TEST(NuvModbusRetry, TransientErrorsAreRetriedUpToTheLimitThenDecided)
{
    for (auto m : kAllMedia) {
        SCOPED_TRACE(MediumName(m));
        Client c(m, 4);
        ASSERT_TRUE(c.Open());
        c.Answer([](const QByteArray&) { return QByteArray(); });  // silence
        TNuvModbus_RequestSettings rs;
        const auto e = ReadOne(c, &rs);
        const auto expected = m == bmmModbusTcp ? bmeTcp_TransactionIdentifier_Transient
                              : m == bmmTcpIp   ? bmeRtu_Crc_Fatal
                                                : bmeReceiveResponse_Transient;
        // TCP media: silence is not a failed receive, the checks then find the missing fields.
        EXPECT_EQ(e, expected);
        EXPECT_EQ(rs.ResponseError, expected);
        EXPECT_EQ(c.line->written.size(), IsFatalError(expected) ? 1u : 4u);
        EXPECT_EQ(c.hookCalls.size(), 1u);
        EXPECT_FALSE(rs.ErrorWasIgnored);
    }
}

TEST(NuvModbusRetry, RequestSettingsOverrideAttemptsAndFunctionCode)
{
    Client c(bmmModbusRtu, 5);
    ASSERT_TRUE(c.Open());
    c.Answer([](const QByteArray&) { return QByteArray(); });
    TNuvModbus_RequestSettings rs;
    rs.MaxAttempts = 2;
    rs.FunctionCode = 4;
    ReadOne(c, &rs);
    EXPECT_EQ(c.line->written.size(), 2u);
    EXPECT_EQ(uint8_t(c.line->written[0].at(1)), 4);
    rs.FunctionCode = 128;  // outside 1..127: the operation's code stays
    ReadOne(c, &rs);
    EXPECT_EQ(uint8_t(c.line->written.back().at(1)), 3);
}

TEST(NuvModbusRetry, RetryAnswersRestartTheCount)
{
    struct Row {
        const char* name;
        QByteArray pdu;
        ReplyFault fault;
        std::vector<TNuvModbus_ErrorEventAction> answers;
        size_t writes;
        size_t hooks;
    };
    const QByteArray busy = QByteArray::fromHex("8306");
    const QByteArray illegal = QByteArray::fromHex("8302");
    const Row rows[] = {
        // Fatal: decided at once; Retry sends again; a second fatal is decided at once again.
        {"fatal, retry then abort", illegal, {}, {meaRetry, meaAbort}, 2, 2},
        {"fatal, retry twice", illegal, {}, {meaRetry, meaRetry, meaAbort}, 3, 3},
        // Transient with 3 attempts: 3 tries, Retry, 3 more tries.
        {"transient, retry then abort", busy, {}, {meaRetry, meaAbort}, 6, 2},
        {"transient, ignore", busy, {}, {meaIgnore}, 3, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Client c(bmmModbusRtu, 3);
        ASSERT_TRUE(c.Open());
        c.AnswerPdu(r.pdu, r.fault);
        c.answers = r.answers;
        TNuvModbus_RequestSettings rs;
        EXPECT_NE(ReadOne(c, &rs), bmeNone);
        EXPECT_EQ(c.line->written.size(), r.writes);
        EXPECT_EQ(c.hookCalls.size(), r.hooks);
        EXPECT_EQ(rs.ErrorWasIgnored, r.answers.back() == meaIgnore);
    }
}

TEST(NuvModbusRetry, IgnoreOptions)
{
    Client c(bmmModbusRtu);
    ASSERT_TRUE(c.Open());
    c.AnswerPdu(QByteArray::fromHex("8302"));
    TNuvModbus_RequestSettings rs;
    rs.Options = {bmoAutoIgnoreError};
    uint16_t v = 5;
    EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v, &rs));
    EXPECT_TRUE(c.hookCalls.empty()) << "automatic ignoring never calls the hook";
    EXPECT_TRUE(rs.ErrorWasIgnored);
    EXPECT_EQ(rs.ResponseError, bmeIllegalDataAddress_Fatal);
    EXPECT_EQ(v, 0);

    rs.Clear();
    rs.Options = {bmoAllowIgnoreError};
    c.answers = {meaIgnore};
    EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v, &rs));
    ASSERT_EQ(c.hookCalls.size(), 1u);
    EXPECT_TRUE(c.hookCalls[0].allowIgnore);
    EXPECT_TRUE(rs.ErrorWasIgnored);

    c.settings.Options = {bmoAllowIgnoreError};  // from the settings as well
    ASSERT_TRUE(c.Open());
    EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v));
    ASSERT_EQ(c.hookCalls.size(), 2u);
    EXPECT_TRUE(c.hookCalls[1].allowIgnore);
    c.settings.Options = {};
    ASSERT_TRUE(c.Open());
    EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v));
    EXPECT_FALSE(c.hookCalls.back().allowIgnore);
}

TEST(NuvModbusRetry, WithoutAHookErrorsAreAborted)
{
    Client c(bmmModbusRtu);
    c.modbus.SetOnError(nullptr);
    ASSERT_TRUE(c.Open());
    c.AnswerPdu(QByteArray::fromHex("8302"));
    EXPECT_EQ(ReadOne(c), bmeIllegalDataAddress_Fatal);
    EXPECT_EQ(c.line->written.size(), 1u);
}

TEST(NuvModbusRetry, SendFailureIsFatalAndTcpReconnects)
{
    for (auto m : kAllMedia) {
        SCOPED_TRACE(MediumName(m));
        Client c(m);
        ASSERT_TRUE(c.Open());
        c.line->failWrite = true;
        EXPECT_EQ(ReadOne(c), bmeSendRequest_Fatal);
        EXPECT_EQ(c.hookCalls.size(), 1u);
        const bool tcp = m == bmmModbusTcp || m == bmmTcpIp;
        EXPECT_EQ(c.line->opens, tcp ? 2 : 1);
        // A dropped connection (no I/O channel) is a failed send too; the reconnect then lets
        // a Retry answer succeed.
        c.line->failWrite = false;
        if (tcp) {
            c.line->open = false;
            c.answers = {meaRetry};
            EXPECT_EQ(ReadOne(c), bmeNone);
            EXPECT_EQ(c.hookCalls.size(), 2u);
        }
    }
}

// ---------------------------------------------------------------- Modbus TCP transaction identifiers

TEST(NuvModbusTcp, StaleTransactionIdIsRetriedWithTheSameIdentifier)
{
    Client c(bmmModbusTcp, 5);
    ASSERT_TRUE(c.Open());
    EXPECT_EQ(ReadOne(c), bmeNone);
    EXPECT_EQ(c.modbus.TransactionIdentifier(), 1);
    c.AnswerPdu(QByteArray::fromHex("030203f2"), {.transactionId = 0});
    EXPECT_EQ(ReadOne(c), bmeTcp_TransactionIdentifier_Transient);
    ASSERT_EQ(c.line->written.size(), 6u);
    for (size_t i = 1; i < 6; ++i)
        EXPECT_EQ(c.line->written[i].left(2).toHex(), "0001");
    EXPECT_EQ(c.hookCalls.size(), 1u) << "the hook comes after MaxAttempts tries";
    EXPECT_EQ(c.modbus.TransactionIdentifier(), 2) << "advanced by exactly one";
}

TEST(NuvModbusTcp, TransactionIdWrapsAndAdvancesWhateverTheOutcome)
{
    Client c(bmmModbusTcp);
    ASSERT_TRUE(c.Open());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(ReadOne(c), bmeNone);
        EXPECT_EQ(c.modbus.TransactionIdentifier(), i);
    }
    c.AnswerPdu(QByteArray::fromHex("8302"));
    EXPECT_NE(ReadOne(c), bmeNone);
    EXPECT_EQ(c.modbus.TransactionIdentifier(), 4);
    // Requests on a closed line fail at once and still advance it: a fast way to the wrap.
    c.modbus.Close();
    c.modbus.SetOnError(nullptr);
    while (c.modbus.TransactionIdentifier() != 65535)
        ReadOne(c);
    ReadOne(c);
    EXPECT_EQ(c.modbus.TransactionIdentifier(), 0);
}

TEST(NuvModbusTcp, SurplusBytesKeepTheTailAndReconnect)
{
    Client c(bmmModbusTcp);
    ASSERT_TRUE(c.Open());
    c.Answer([](const QByteArray& f) {
        return QByteArray::fromHex("deadbeef") + MakeReply(bmmModbusTcp, f, QByteArray::fromHex("03020102"));
    });
    uint16_t v = 0;
    EXPECT_TRUE(c.modbus.ReadHoldingRegister(1, 1, v));
    EXPECT_EQ(v, 0x0102);
    EXPECT_EQ(c.line->opens, 2) << "the connection is re-established";
    EXPECT_EQ(c.line->closes, 1);
}

TEST(NuvModbusTcp, BytesAlreadyWaitingAreDiscarded)
{
    for (auto m : {bmmModbusTcp, bmmTcpIp}) {
        SCOPED_TRACE(MediumName(m));
        Client c(m, 2);
        ASSERT_TRUE(c.Open());
        // A late reply to an earlier exchange sits in the buffer before the request is sent.
        c.line->pending = QByteArray::fromHex("0000000000050103020001");
        c.line->respond = nullptr;
        const auto e = ReadOne(c);
        EXPECT_EQ(e, m == bmmModbusTcp ? bmeTcp_TransactionIdentifier_Transient : bmeRtu_Crc_Fatal);
        EXPECT_TRUE(c.line->pending.isEmpty());
    }
}

// ---------------------------------------------------------------- cancel, close and nesting

TEST(NuvModbusCancel, CancelledBeforeSendingSendsNothing)
{
    Client c(bmmModbusRtu);
    ASSERT_TRUE(c.Open());
    bool cancel = true;
    TNuvModbus_RequestSettings rs;
    rs.Cancel = &cancel;
    uint16_t v = 1;
    EXPECT_FALSE(c.modbus.ReadHoldingRegister(7, 1001, v, &rs));
    EXPECT_EQ(rs.ResponseError, bmeNone);
    EXPECT_TRUE(c.line->written.empty());
    EXPECT_TRUE(c.hookCalls.empty());
}

TEST(NuvModbusCancel, CancelDuringRetriesEndsWithTheCurrentError)
{
    Client c(bmmModbusRtu, 0);  // no limit: only the flag ends it
    ASSERT_TRUE(c.Open());
    c.line->respond = nullptr;
    bool cancel = false;
    c.line->duringWait = [&] {
        if (c.line->written.size() == 4)
            cancel = true;
    };
    TNuvModbus_RequestSettings rs;
    rs.Cancel = &cancel;
    EXPECT_EQ(ReadOne(c, &rs), bmeReceiveResponse_Transient);
    EXPECT_EQ(c.line->written.size(), 4u);
    EXPECT_TRUE(c.hookCalls.empty());
}

TEST(NuvModbusClose, UnlimitedAttemptsRunUntilCloseIsRequested)
{
    Client c(bmmModbusRtu, 0);
    ASSERT_TRUE(c.Open());
    c.line->respond = nullptr;
    c.line->duringWait = [&] {
        if (c.line->written.size() == 25) {
            EXPECT_TRUE(c.modbus.Close());
        }
    };
    EXPECT_EQ(ReadOne(c), bmeReceiveResponse_Transient);
    EXPECT_EQ(c.line->written.size(), 25u);
    EXPECT_TRUE(c.hookCalls.empty());
    EXPECT_EQ(c.line->alive, 0) << "the deferred close released the transport";
    EXPECT_FALSE(c.modbus.IsOpen());
    EXPECT_FALSE(c.modbus.ClosePending());
    EXPECT_EQ(c.modbus.Busy(), 0);
}

TEST(NuvModbusClose, CloseWhileWaitingEndsTheRequestAfterTheWait)
{
    for (auto m : kAllMedia) {
        SCOPED_TRACE(MediumName(m));
        Client c(m, 5);
        ASSERT_TRUE(c.Open());
        c.line->respond = nullptr;
        bool closeResult = false;
        c.line->duringWait = [&] {
            closeResult = c.modbus.Close();
            EXPECT_TRUE(c.modbus.ClosePending());
            EXPECT_EQ(c.line->alive, 1) << "the line stays while the request runs";
        };
        EXPECT_NE(ReadOne(c), bmeNone);
        EXPECT_TRUE(closeResult);
        EXPECT_EQ(c.line->written.size(), 1u) << "no retry after a close";
        EXPECT_EQ(c.line->alive, 0);
        EXPECT_TRUE(c.hookCalls.size() <= 1u);
    }
}

TEST(NuvModbusNesting, ARequestStartedDuringAWaitNestsAndBothComplete)
{
    Client c(bmmModbusRtu);
    ASSERT_TRUE(c.Open());
    int busyInside = 0;
    bool innerOk = false;
    bool openRefused = false;
    c.line->duringWait = [&] {
        if (busyInside)
            return;
        busyInside = c.modbus.Busy();
        uint16_t v = 0;
        innerOk = c.modbus.ReadHoldingRegister(7, 5, v);
        openRefused = !c.modbus.Open(c.settings);
    };
    // The outer reply was consumed by the inner request's discard: the nesting costs the outer
    // request one transient failure, which its retry recovers.
    uint16_t v = 0;
    EXPECT_TRUE(c.modbus.ReadHoldingRegister(7, 1001, v));
    EXPECT_EQ(v, 2001);
    EXPECT_EQ(busyInside, 1);
    EXPECT_TRUE(innerOk);
    EXPECT_TRUE(openRefused);
    EXPECT_EQ(c.modbus.Busy(), 0);
}

// ---------------------------------------------------------------- hooks and trace

namespace {
QStringList g_trace;
void CaptureTrace(QtMsgType, const QMessageLogContext&, const QString& msg) { g_trace.append(msg); }
}  // namespace

TEST(NuvModbusHooks, SendAndReceiveHooksAndTrace)
{
    Client c(bmmModbusRtu, 2);
    ASSERT_TRUE(c.Open());
    QList<QByteArray> sent;
    QList<QByteArray> received;
    c.modbus.SetOnSend([&](const QByteArray& f) { sent.append(f); });
    c.modbus.SetOnReceive([&](const QByteArray& f) { received.append(f); });
    EXPECT_EQ(ReadOne(c), bmeNone);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0], c.line->written[0]);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0], MakeReply(bmmModbusRtu, sent[0], ServePdu(RequestPdu(bmmModbusRtu, sent[0]))));

    g_trace.clear();
    auto previous = qInstallMessageHandler(CaptureTrace);
    c.line->respond = nullptr;
    ReadOne(c);  // not traced
    TNuvModbus_RequestSettings rs;
    rs.Debugging = true;
    ReadOne(c, &rs);
    rs.Options = {bmoAutoIgnoreError};
    ReadOne(c, &rs);
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_trace, QStringList({"*** Retry attempt 1 of 2 for error: No response received.",
                                    "*** Retry attempt 2 of 2 for error: No response received.",
                                    "+++ Error: No response received.",
                                    "*** Retry attempt 1 of 2 for error: No response received.",
                                    "*** Retry attempt 2 of 2 for error: No response received.",
                                    "+++ Error (Ignored): No response received."}));
}

// ---------------------------------------------------------------- the cancellable wait

TEST(NuvWait, ProcessesEventsAndStopsOnTheCancelFlag)
{
    bool cancel = false;
    QTimer::singleShot(0, [&] { cancel = true; });
    CancellableWait(600000, &cancel);  // returns only because the timer event ran
    EXPECT_TRUE(cancel);

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    CancellableWait(0);
    EXPECT_TRUE(ran) << "a wait of 0 still processes events once";
}
