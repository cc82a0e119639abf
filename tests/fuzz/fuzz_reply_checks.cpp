// libFuzzer target over the reply checks of the Modbus client, built with clang's fuzzer,
// address and undefined-behaviour sanitizers. The input chooses the medium, the request and
// either raw reply bytes or a well-formed reply with some bytes flipped; the checks must never
// crash and must keep their contract: on success exactly DataLength bytes of data, on error
// none, and a well-formed reply is always accepted.
#include "comm/NuvModbusFrame.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

using namespace rv8::comm;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 6)
        return 0;
    const uint8_t control = bytes[0];
    const auto medium = static_cast<TNuvModbus_Medium>(control % 5);
    const bool invert = control & 0x08;
    const bool wellFormed = control & 0x10;
    const int dataLength = bytes[1] % 40;
    const uint8_t address = bytes[2];
    const uint8_t functionCode = bytes[3] & 0x7F;
    const uint16_t transaction = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    QByteArray rest(reinterpret_cast<const char*>(bytes + 6), static_cast<qsizetype>(size - 6));

    const QByteArray requestData = rest.left(8);
    const QByteArray request = BuildRequestFrame(medium, address, functionCode, requestData, transaction, invert);
    QByteArray reply;
    QByteArray replyData;
    int flips = 0;
    if (wellFormed) {
        // A reply with the request's header carrying the rest as data, then the flips the
        // input asks for (pairs of position and mask at its end).
        replyData = rest.mid(8, dataLength + (control >> 5));
        reply = BuildRequestFrame(medium, address, functionCode, replyData, transaction, invert);
        for (qsizetype i = 8 + replyData.size(); i + 1 < rest.size() && flips < 4; i += 2, ++flips) {
            if (reply.isEmpty())
                break;
            const auto pos = static_cast<qsizetype>(static_cast<uint8_t>(rest.at(i))) % reply.size();
            reply[pos] = static_cast<char>(reply.at(pos) ^ rest.at(i + 1));
            if (rest.at(i + 1) == 0)
                --flips;  // a zero mask changes nothing
        }
    } else {
        reply = rest.mid(8);
    }

    QByteArray data("stale");
    const TNuvModbus_CheckResponseError e = CheckReply(medium, invert, request, reply, dataLength, data);
    Require(static_cast<int>(e) < kNuvModbusErrorCount);
    Require(e != bmeEncodeAsciiAdu_Fatal && e != bmeMedium_Fatal && e != bmeSendRequest_Fatal &&
            e != bmeReceiveResponse_Transient);
    if (e == bmeNone)
        Require(data.size() == dataLength);
    else
        Require(data.isEmpty());

    const bool lengthFits = medium == bmmModbusTcp ? replyData.size() == dataLength : replyData.size() >= dataLength;
    if (wellFormed && flips == 0 && lengthFits) {
        Require(e == bmeNone);
        Require(data == replyData.left(dataLength));
    }

    QByteArray decoded;
    if (DecodeAsciiFrame(reply, decoded))
        Require(decoded.size() == (reply.size() - 3) / 2);
    return 0;
}
