#pragma once
// A transport for the client tests: the test scripts what the line answers, sees what was
// written and injects failures. Nothing waits in real time, so retry loops run in
// milliseconds. The line's state lives in a FakeLine shared with the test, because the client
// destroys its transport on Close.

#include "comm/NuvBytes.h"
#include "comm/NuvModbusFrame.h"
#include "comm/NuvTransport.h"

#include <functional>
#include <memory>
#include <vector>

namespace rv8::comm::test {

struct FakeLine {
    // What the device sends back for a written frame (empty: silence). It arrives at the
    // start of the next wait, as a real device answers after the request.
    std::function<QByteArray(const QByteArray& frame)> respond;
    // Runs inside every reply wait, like a handler run by the wait's event processing.
    std::function<void()> duringWait;

    std::vector<QByteArray> written;
    QByteArray incoming;  // answered, not yet arrived
    QByteArray pending;   // arrived, not yet read
    std::vector<qint64> awaitedCounts;  // byte counts the client waited for

    bool failOpen = false;
    bool failWrite = false;
    int opens = 0;
    int closes = 0;
    int alive = 0;  // transports not yet destroyed
    bool open = false;
};

class FakeTransport final : public NuvTransport {
public:
    explicit FakeTransport(std::shared_ptr<FakeLine> line)
        : m_line(std::move(line))
    {
        ++m_line->alive;
    }
    ~FakeTransport() override { --m_line->alive; }

    bool Open() override
    {
        ++m_line->opens;
        m_line->open = !m_line->failOpen;
        return m_line->open;
    }
    bool IsOpen() const override { return m_line->open; }
    bool DiscardInput() override
    {
        m_line->pending.clear();
        return true;
    }
    bool DiscardOutput() override { return true; }
    bool Write(const QByteArray& bytes) override
    {
        if (m_line->failWrite || !m_line->open)
            return false;
        m_line->written.push_back(bytes);
        if (m_line->respond)
            m_line->incoming += m_line->respond(bytes);
        return true;
    }
    qint64 BytesPending() override { return m_line->pending.size(); }
    bool Read(QByteArray& bytes, qint64 maxBytes) override
    {
        bytes = m_line->pending.left(maxBytes);
        m_line->pending.remove(0, bytes.size());
        return true;
    }
    bool WaitForBytes(qint64 count, int) override
    {
        m_line->awaitedCounts.push_back(count);
        Arrive();
        return m_line->pending.size() >= count;
    }
    bool WaitForData(int) override
    {
        Arrive();
        return !m_line->pending.isEmpty();
    }
    bool Close() override
    {
        ++m_line->closes;
        m_line->open = false;
        return true;
    }

private:
    void Arrive()
    {
        m_line->pending += m_line->incoming;
        m_line->incoming.clear();
        if (m_line->duringWait)
            m_line->duringWait();
    }
    std::shared_ptr<FakeLine> m_line;
};

inline TNuvModbus_TransportFactory FakeFactory(const std::shared_ptr<FakeLine>& line)
{
    return [line](const TNuvModbus_Settings&) { return std::make_unique<FakeTransport>(line); };
}

// Deviations a scripted reply can carry; -1 keeps the field as it should be.
struct ReplyFault {
    int address = -1;
    int transactionId = -1;
    int protocolId = -1;
    int length = -1;
    int unit = -1;
    bool badChecksum = false;
};

// The request PDU (function code and data) inside a request frame.
inline QByteArray RequestPdu(TNuvModbus_Medium medium, const QByteArray& frame)
{
    if (medium == bmmModbusTcp)
        return frame.mid(7);
    if (medium == bmmModbusAscii) {
        QByteArray bytes;
        DecodeAsciiFrame(frame, bytes);
        return bytes.mid(1, bytes.size() - 2);
    }
    return frame.mid(1, frame.size() - 3);
}

inline uint8_t RequestAddress(TNuvModbus_Medium medium, const QByteArray& frame)
{
    if (medium == bmmModbusTcp)
        return static_cast<uint8_t>(frame.at(6));
    if (medium == bmmModbusAscii)
        return static_cast<uint8_t>(QByteArray::fromHex(frame.mid(1, 2)).at(0));
    return static_cast<uint8_t>(frame.at(0));
}

// A reply frame carrying `pdu` for the request frame, with the checksum and header the
// medium needs (checksums computed independently of the client's frame code).
inline QByteArray MakeReply(TNuvModbus_Medium medium, const QByteArray& request, const QByteArray& pdu,
                            const ReplyFault& f = {}, bool invertCrc = false)
{
    const uint8_t address = f.address >= 0 ? static_cast<uint8_t>(f.address) : RequestAddress(medium, request);
    QByteArray out;
    if (medium == bmmModbusTcp) {
        AppendWord(out, f.transactionId >= 0 ? static_cast<uint16_t>(f.transactionId)
                                             : static_cast<uint16_t>((uint8_t(request.at(0)) << 8) | uint8_t(request.at(1))));
        AppendWord(out, f.protocolId >= 0 ? static_cast<uint16_t>(f.protocolId) : 0);
        AppendWord(out, f.length >= 0 ? static_cast<uint16_t>(f.length) : static_cast<uint16_t>(pdu.size() + 1));
        AppendByte(out, f.unit >= 0 ? static_cast<uint8_t>(f.unit) : address);
        out += pdu;
        return out;
    }
    QByteArray body;
    AppendByte(body, address);
    body += pdu;
    if (medium == bmmModbusAscii) {
        uint8_t sum = 0;
        for (char c : body)
            sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
        AppendByte(body, static_cast<uint8_t>(-sum + (f.badChecksum ? 1 : 0)));
        return ":" + body.toHex().toUpper() + "\r\n";
    }
    uint16_t crc = Crc16(body);
    if (f.badChecksum)
        crc ^= 0x0100;
    AppendWord(body, crc, !invertCrc);
    return body;
}

// A well-behaved device's PDU for a request PDU: registers hold address + 1000, writes are
// acknowledged, other functions echo their data.
inline QByteArray ServePdu(const QByteArray& requestPdu)
{
    const auto fc = static_cast<uint8_t>(requestPdu.at(0));
    QByteArray pdu;
    AppendByte(pdu, fc);
    if (fc == 3) {
        int pos = 2;
        uint16_t first = 0;
        uint16_t count = 0;
        ReadWord(requestPdu, pos, first);
        ReadWord(requestPdu, pos, count);
        AppendByte(pdu, static_cast<uint8_t>(2 * count));
        for (uint16_t i = 0; i < count; ++i)
            AppendWord(pdu, static_cast<uint16_t>(first + i + 1000));
    } else if (fc == 16) {
        pdu += requestPdu.mid(1, 4);
    } else {
        pdu += requestPdu.mid(1);
    }
    return pdu;
}

inline std::function<QByteArray(const QByteArray&)> GoodDevice(TNuvModbus_Medium medium)
{
    return [medium](const QByteArray& frame) { return MakeReply(medium, frame, ServePdu(RequestPdu(medium, frame))); };
}

}  // namespace rv8::comm::test
