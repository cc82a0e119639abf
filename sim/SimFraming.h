#pragma once
// Framing of the simulated starter: cutting requests out of the bytes a medium delivers and
// wrapping reply PDUs for the medium, with the fault switches that spoil replies on purpose.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace rv8::sim {

enum class Medium {
    ModbusTcp,   // MBAP header, no checksum
    RtuOverTcp,  // RTU frames (address, PDU, CRC-16) over a TCP connection
    SerialRtu,
    SerialAscii,
};

QString MediumName(Medium medium);
inline bool IsSerial(Medium m) { return m == Medium::SerialRtu || m == Medium::SerialAscii; }

// Switches that make the starter misbehave on the wire. They act on replies to served nodes.
struct FaultSwitches {
    bool noReply = false;             // the request is carried out, the reply is not sent
    bool badChecksum = false;         // CRC (RTU) or LRC (ASCII) spoilt; Modbus TCP has none
    bool wrongAddress = false;        // the reply names another node (unit identifier on Modbus TCP)
    bool staleTransactionId = false;  // Modbus TCP: the reply carries the previous transaction identifier
    uint8_t exceptionCode = 0;        // not 0: every request is refused with this exception code
    int replyDelayMs = 0;             // the reply leaves this much later
    int surplusBytes = 0;             // extra bytes after the reply frame
    bool echo = false;                // serial media: the request is sent back before the reply
    // How many of the following replies the switches spoil; -1 all. When the count runs out the
    // switches return to their defaults.
    int repliesAffected = -1;

    bool Any() const
    {
        return noReply || badChecksum || wrongAddress || staleTransactionId || exceptionCode != 0
               || replyDelayMs > 0 || surplusBytes > 0 || echo;
    }
};

struct Request {
    uint8_t node = 0;
    uint16_t transactionId = 0;  // Modbus TCP only
    QByteArray pdu;              // function code and data
    QByteArray raw;              // the frame as received
};

enum class ExtractResult {
    NeedMore,  // no complete frame yet
    Frame,     // *request holds a frame; *consumed bytes belong to it
    Garbage,   // *consumed bytes are not a valid frame and are to be dropped
};

// Tries to cut the first request out of buffer. RTU frames whose length the function code does not
// give are only taken when atGap is set (the line has been quiet): then the whole buffer is the frame.
ExtractResult ExtractRequest(Medium medium, const QByteArray& buffer, bool atGap, Request* request, int* consumed);

// The reply frame for a reply PDU to the request, spoilt as the switches say (noReply,
// exceptionCode and replyDelayMs are the caller's business).
QByteArray FrameReply(Medium medium, const Request& request, const QByteArray& pdu, const FaultSwitches& faults);

}  // namespace rv8::sim
