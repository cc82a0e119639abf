#include "NuvModbusFrame.h"

#include "NuvBytes.h"

namespace rv8::comm {

namespace {

bool IsRtuLayout(TNuvModbus_Medium medium) { return medium != bmmModbusTcp && medium != bmmModbusAscii; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

TNuvModbus_CheckResponseError ExceptionError(uint8_t code)
{
    switch (code) {
    case 1: return bmeIllegalFunction_Fatal;
    case 2: return bmeIllegalDataAddress_Fatal;
    case 3: return bmeIllegalDataValue_Fatal;
    case 4: return bmeSlaveDeviceFailure_Fatal;
    case 6: return bmeSlaveDeviceBusy_Transient;
    case 7: return bmeNegativeAcknowledge_Transient;
    case 8: return bmeMemoryParityError_Transient;
    case 10: return bmeGatewayPathUnavailable_Transient;
    case 11: return bmeGatewayTargetDeviceFailedToRespond_Transient;
    default: return bmeExceptionCode_Fatal;
    }
}

}  // namespace

QByteArray BuildRequestFrame(TNuvModbus_Medium medium, uint8_t address, uint8_t functionCode,
                             const QByteArray& data, uint16_t transactionIdentifier, bool invertCrc)
{
    QByteArray frame;
    switch (medium) {
    case bmmModbusTcp:
        AppendWord(frame, transactionIdentifier);
        AppendWord(frame, 0);
        AppendWord(frame, static_cast<uint16_t>(data.size() + 2));
        AppendByte(frame, address);
        AppendByte(frame, functionCode);
        frame.append(data);
        return frame;
    case bmmModbusAscii: {
        QByteArray pdu;
        AppendByte(pdu, address);
        AppendByte(pdu, functionCode);
        pdu.append(data);
        AppendByte(pdu, Lrc(pdu));
        frame.reserve(pdu.size() * 2 + 3);
        frame.append(':');
        for (char c : pdu)
            AppendHexByte(frame, static_cast<uint8_t>(c));
        frame.append("\r\n");
        return frame;
    }
    default:
        AppendByte(frame, address);
        AppendByte(frame, functionCode);
        frame.append(data);
        AppendWord(frame, Crc16(frame), !invertCrc);
        return frame;
    }
}

int ExpectedReplyLength(TNuvModbus_Medium medium, int dataLength, bool echo, int requestFrameLength)
{
    int length = 0;
    switch (medium) {
    case bmmModbusAscii: length = 2 * dataLength + 9; break;
    case bmmModbusTcp: length = dataLength + 8; break;
    default: length = dataLength + 4; break;
    }
    return echo ? length + requestFrameLength : length;
}

bool DecodeAsciiFrame(const QByteArray& text, QByteArray& bytes)
{
    bytes.clear();
    const qsizetype n = text.size();
    if (n < 3 || text.at(0) != ':' || text.at(n - 2) != '\r' || text.at(n - 1) != '\n')
        return false;
    const qsizetype digits = n - 3;
    if (digits % 2 != 0)
        return false;
    bytes.reserve(digits / 2);
    for (qsizetype i = 1; i < n - 2; i += 2) {
        const int hi = HexDigit(text.at(i));
        const int lo = HexDigit(text.at(i + 1));
        AppendByte(bytes, (hi < 0 || lo < 0) ? 0 : static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

TNuvModbus_CheckResponseError CheckReply(TNuvModbus_Medium medium, bool invertCrc, const QByteArray& requestFrame,
                                         const QByteArray& reply, int dataLength, QByteArray& data)
{
    data.clear();
    QByteArray response = reply;
    QByteArray request = requestFrame;
    int checksumLength = 0;

    // Envelope and checksum.
    if (medium == bmmModbusAscii) {
        if (!DecodeAsciiFrame(reply, response))
            return bmeDecodeAsciiAdu_Fatal;
        const int n = static_cast<int>(response.size());
        if (n < 1 || static_cast<uint8_t>(response.at(n - 1)) != Lrc(response, 1, n - 1))
            return bmeAscii_Lrc_Fatal;
        checksumLength = 1;
        if (!DecodeAsciiFrame(requestFrame, request))
            return bmeDecodeAsciiAdu_Fatal;
    } else if (IsRtuLayout(medium)) {
        const int n = static_cast<int>(response.size());
        if (n < 2)
            return bmeRtu_Crc_Fatal;
        QByteArray expected;
        AppendWord(expected, Crc16(response, 1, n - 2), !invertCrc);
        if (response.right(2) != expected)
            return bmeRtu_Crc_Fatal;
        checksumLength = 2;
    }
    // The checksum is not part of the data: a short reply must not lend its checksum bytes
    // to the register values.
    const int end = static_cast<int>(response.size()) - checksumLength;

    int rp = 1;  // reply position
    int qp = 1;  // request position
    auto readByte = [&](int& pos, const QByteArray& s, uint8_t& v) {
        if (&s == &response && pos > end)
            return false;
        return ReadByte(s, pos, v);
    };
    auto readWord = [&](int& pos, const QByteArray& s, uint16_t& v) {
        uint8_t hi = 0;
        uint8_t lo = 0;
        const int start = pos;
        if (!readByte(pos, s, hi) || !readByte(pos, s, lo)) {
            pos = start;
            return false;
        }
        v = static_cast<uint16_t>((hi << 8) | lo);
        return true;
    };

    // Header.
    if (medium == bmmModbusTcp) {
        uint16_t qw = 0;
        uint16_t rw = 0;
        readWord(qp, request, qw);
        if (!readWord(rp, response, rw) || rw != qw)
            return bmeTcp_TransactionIdentifier_Transient;
        readWord(qp, request, qw);
        if (!readWord(rp, response, rw) || rw != qw)
            return bmeTcp_ProtocolIdentifier_Fatal;
        readWord(qp, request, qw);
        if (!readWord(rp, response, rw) || (rw != dataLength + 2 && rw != 3))
            return bmeTcp_Length_Fatal;
        uint8_t qb = 0;
        uint8_t rb = 0;
        readByte(qp, request, qb);
        if (!readByte(rp, response, rb) || rb != qb)
            return bmeTcp_UnitIdentifier_Fatal;
    } else {
        uint8_t qb = 0;
        uint8_t rb = 0;
        readByte(qp, request, qb);
        if (!readByte(rp, response, rb) || rb != qb)
            return bmeRtu_SlaveAddress_Fatal;
    }

    // Function code, then the data or the exception code.
    uint8_t requestCode = 0;
    uint8_t replyCode = 0;
    readByte(qp, request, requestCode);
    if (!readByte(rp, response, replyCode))
        return bmeFunctionCode_Fatal;
    if (replyCode != requestCode) {
        if (replyCode != (requestCode | 0x80))
            return bmeFunctionCode_Fatal;
        uint8_t exceptionCode = 0;
        if (!readByte(rp, response, exceptionCode))
            return bmeExceptionCode_Fatal;
        if (exceptionCode != 5)
            return ExceptionError(exceptionCode);
    }
    if (dataLength < 0 || end - rp + 1 < dataLength)
        return bmeData_Fatal;
    data = response.mid(rp - 1, dataLength);
    return bmeNone;
}

}  // namespace rv8::comm
