#include "SimFraming.h"

#include "comm/NuvBytes.h"

namespace rv8::sim {

using comm::AppendByte;
using comm::AppendHexByte;
using comm::AppendWord;

namespace {

constexpr int kMaxRtuFrame = 256;
constexpr int kMaxAsciiFrame = 513;

uint16_t WordAt(const QByteArray& s, int index)  // 0-based
{
    return static_cast<uint16_t>((static_cast<uint8_t>(s.at(index)) << 8) | static_cast<uint8_t>(s.at(index + 1)));
}

// A frame's RTU length from its function code; 0 while unknown.
int RtuRequestLength(const QByteArray& b)
{
    if (b.size() < 2)
        return 0;
    switch (static_cast<uint8_t>(b.at(1))) {
    case 3:
    case 6: return 8;
    case 16: return b.size() >= 7 ? 9 + static_cast<uint8_t>(b.at(6)) : 0;
    default: return -1;  // known only at a gap
    }
}

bool RtuChecksumOk(const QByteArray& frame)
{
    if (frame.size() < 4)
        return false;
    const int n = static_cast<int>(frame.size());
    const uint16_t crc = comm::Crc16(frame, 1, n - 2);
    return static_cast<uint8_t>(frame.at(n - 2)) == (crc & 0xFF) && static_cast<uint8_t>(frame.at(n - 1)) == (crc >> 8);
}

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

uint8_t OtherAddress(uint8_t a) { return static_cast<uint8_t>(a % 247 + 1); }

}  // namespace

QString MediumName(Medium medium)
{
    switch (medium) {
    case Medium::ModbusTcp: return QStringLiteral("Modbus TCP");
    case Medium::RtuOverTcp: return QStringLiteral("RTU over TCP");
    case Medium::SerialRtu: return QStringLiteral("Modbus RTU");
    case Medium::SerialAscii: return QStringLiteral("Modbus ASCII");
    }
    return {};
}

ExtractResult ExtractRequest(Medium medium, const QByteArray& b, bool atGap, Request* request, int* consumed)
{
    *consumed = 0;
    switch (medium) {
    case Medium::ModbusTcp: {
        if (b.size() < 7)
            return ExtractResult::NeedMore;
        const uint16_t length = WordAt(b, 4);
        if (length < 2 || length > 254) {
            *consumed = static_cast<int>(b.size());  // no way to find the next header
            return ExtractResult::Garbage;
        }
        if (b.size() < 6 + length)
            return ExtractResult::NeedMore;
        *consumed = 6 + length;
        if (WordAt(b, 2) != 0)
            return ExtractResult::Garbage;  // not Modbus: the frame is skipped unanswered
        request->transactionId = WordAt(b, 0);
        request->node = static_cast<uint8_t>(b.at(6));
        request->pdu = b.mid(7, length - 1);
        request->raw = b.left(*consumed);
        return ExtractResult::Frame;
    }
    case Medium::RtuOverTcp:
    case Medium::SerialRtu: {
        int length = RtuRequestLength(b);
        if (length == 0 || (length > 0 && b.size() < length)) {
            if (atGap || b.size() > kMaxRtuFrame) {
                *consumed = static_cast<int>(b.size());
                return ExtractResult::Garbage;
            }
            return ExtractResult::NeedMore;
        }
        if (length < 0) {
            if (!atGap)
                return b.size() > kMaxRtuFrame ? (*consumed = static_cast<int>(b.size()), ExtractResult::Garbage)
                                               : ExtractResult::NeedMore;
            length = static_cast<int>(b.size());
        }
        const QByteArray frame = b.left(length);
        if (!RtuChecksumOk(frame)) {
            // Out of step with the sender: drop everything and wait for the next frame.
            *consumed = static_cast<int>(b.size());
            return ExtractResult::Garbage;
        }
        *consumed = length;
        request->transactionId = 0;
        request->node = static_cast<uint8_t>(frame.at(0));
        request->pdu = frame.mid(1, length - 3);
        request->raw = frame;
        return ExtractResult::Frame;
    }
    case Medium::SerialAscii: {
        const int start = static_cast<int>(b.indexOf(':'));
        if (start < 0) {
            *consumed = static_cast<int>(b.size());
            return b.isEmpty() ? ExtractResult::NeedMore : ExtractResult::Garbage;
        }
        if (start > 0) {
            *consumed = start;
            return ExtractResult::Garbage;
        }
        const int end = static_cast<int>(b.indexOf("\r\n", 1));
        if (end < 0) {
            if (b.size() > kMaxAsciiFrame || atGap) {
                *consumed = static_cast<int>(b.size());
                return ExtractResult::Garbage;
            }
            return ExtractResult::NeedMore;
        }
        *consumed = end + 2;
        const QByteArray hex = b.mid(1, end - 1);
        if (hex.size() < 6 || hex.size() % 2 != 0)
            return ExtractResult::Garbage;
        QByteArray bytes;
        for (int i = 0; i < hex.size(); i += 2) {
            const int hi = HexDigit(hex.at(i));
            const int lo = HexDigit(hex.at(i + 1));
            if (hi < 0 || lo < 0)
                return ExtractResult::Garbage;
            AppendByte(bytes, static_cast<uint8_t>(hi * 16 + lo));
        }
        const int n = static_cast<int>(bytes.size());
        if (comm::Lrc(bytes, 1, n - 1) != static_cast<uint8_t>(bytes.at(n - 1)))
            return ExtractResult::Garbage;
        request->transactionId = 0;
        request->node = static_cast<uint8_t>(bytes.at(0));
        request->pdu = bytes.mid(1, n - 2);
        request->raw = b.left(*consumed);
        return ExtractResult::Frame;
    }
    }
    return ExtractResult::NeedMore;
}

QByteArray FrameReply(Medium medium, const Request& request, const QByteArray& pdu, const FaultSwitches& faults)
{
    const uint8_t address = faults.wrongAddress ? OtherAddress(request.node) : request.node;
    QByteArray frame;
    switch (medium) {
    case Medium::ModbusTcp:
        AppendWord(frame, faults.staleTransactionId ? static_cast<uint16_t>(request.transactionId - 1)
                                                    : request.transactionId);
        AppendWord(frame, 0);
        AppendWord(frame, static_cast<uint16_t>(pdu.size() + 1));
        AppendByte(frame, address);
        frame.append(pdu);
        break;
    case Medium::RtuOverTcp:
    case Medium::SerialRtu: {
        AppendByte(frame, address);
        frame.append(pdu);
        uint16_t crc = comm::Crc16(frame);
        if (faults.badChecksum)
            crc = static_cast<uint16_t>(crc ^ 0x5AA5);
        AppendWord(frame, crc, /*swap=*/true);  // low byte first
        break;
    }
    case Medium::SerialAscii: {
        QByteArray bytes;
        AppendByte(bytes, address);
        bytes.append(pdu);
        uint8_t lrc = comm::Lrc(bytes);
        if (faults.badChecksum)
            lrc = static_cast<uint8_t>(lrc + 1);
        AppendByte(bytes, lrc);
        frame.append(':');
        for (char c : bytes)
            AppendHexByte(frame, static_cast<uint8_t>(c));
        frame.append("\r\n");
        break;
    }
    }
    if (faults.surplusBytes > 0)
        frame.append(QByteArray(faults.surplusBytes, medium == Medium::SerialAscii ? '0' : static_cast<char>(0xAA)));
    if (faults.echo && IsSerial(medium))
        frame.prepend(request.raw);
    return frame;
}

}  // namespace rv8::sim
