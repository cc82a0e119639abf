#pragma once
// Byte-string helpers the Modbus client and the simulated starter build and read frames with.
// Positions are 1-based, as the frame layouts are described that way.

#include <QByteArray>
#include <cstdint>

namespace rv8::comm {

void AppendByte(QByteArray& s, uint8_t b);
// High byte first, or low byte first when swap is set.
void AppendWord(QByteArray& s, uint16_t w, bool swap = false);
// The byte as two upper-case hexadecimal digits (ASCII framing).
void AppendHexByte(QByteArray& s, uint8_t b);

// Reads the byte at the 1-based position and advances it; false when the position is 0
// or beyond the end (the position is then left as it was).
bool ReadByte(const QByteArray& s, int& position, uint8_t& value);
// Big-endian word by two byte reads; false when either read fails.
bool ReadWord(const QByteArray& s, int& position, uint16_t& value);

// Modbus CRC-16 (initial 0xFFFF, reflected polynomial 0xA001) over positions first..last,
// clamped to the string.
uint16_t Crc16(const QByteArray& s, int first, int last);
inline uint16_t Crc16(const QByteArray& s) { return Crc16(s, 1, static_cast<int>(s.size())); }
// Modbus LRC (two's complement of the 8-bit sum) over positions first..last, clamped;
// 0 for an empty range.
uint8_t Lrc(const QByteArray& s, int first, int last);
inline uint8_t Lrc(const QByteArray& s) { return Lrc(s, 1, static_cast<int>(s.size())); }

}  // namespace rv8::comm
