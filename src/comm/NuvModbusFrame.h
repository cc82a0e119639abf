#pragma once
// Framing of Modbus requests and the field-by-field checks of a reply, per medium.
// Pure functions over byte strings: the client, the fuzz target and the tests share them.

#include "NuvModbusTypes.h"

#include <QByteArray>
#include <cstdint>

namespace rv8::comm {

// The request frame (application data unit) as it goes on the wire. RTU and RTU-over-TCP:
// address, function code, data, CRC-16 (low byte first; high byte first when invertCrc).
// ASCII: ":" + hex digits of address, function code, data and LRC + CR LF. Modbus TCP:
// MBAP header with the transaction identifier, then function code and data. Any other
// medium gets the RTU layout (it never reaches a transport).
QByteArray BuildRequestFrame(TNuvModbus_Medium medium, uint8_t address, uint8_t functionCode,
                             const QByteArray& data, uint16_t transactionIdentifier, bool invertCrc);

// Bytes awaited from the transport for a reply carrying dataLength bytes after the function
// code; with a line echo the request frame's length is added.
int ExpectedReplyLength(TNuvModbus_Medium medium, int dataLength, bool echo, int requestFrameLength);

// Decodes the ASCII envelope ":" hex... CR LF into bytes. False when the envelope is missing
// or the digits between do not come in pairs; a pair that is not hexadecimal decodes as 0.
bool DecodeAsciiFrame(const QByteArray& text, QByteArray& bytes);

// Checks a received reply (echo already removed) against the request frame as it was sent.
// Returns the first failing check's error, or bmeNone with `data` holding the dataLength
// reply bytes after the function code (or after exception code 5). `data` is empty on error.
// The checksum bytes of RTU and ASCII replies never count as data.
TNuvModbus_CheckResponseError CheckReply(TNuvModbus_Medium medium, bool invertCrc, const QByteArray& requestFrame,
                                         const QByteArray& reply, int dataLength, QByteArray& data);

}  // namespace rv8::comm
