#include "NuvBytes.h"

#include <algorithm>

namespace rv8::comm {

void AppendByte(QByteArray& s, uint8_t b) { s.append(static_cast<char>(b)); }

void AppendWord(QByteArray& s, uint16_t w, bool swap)
{
    const auto hi = static_cast<uint8_t>(w >> 8);
    const auto lo = static_cast<uint8_t>(w & 0xFF);
    AppendByte(s, swap ? lo : hi);
    AppendByte(s, swap ? hi : lo);
}

void AppendHexByte(QByteArray& s, uint8_t b)
{
    static const char kDigits[] = "0123456789ABCDEF";
    s.append(kDigits[b >> 4]);
    s.append(kDigits[b & 0x0F]);
}

bool ReadByte(const QByteArray& s, int& position, uint8_t& value)
{
    if (position < 1 || position > s.size())
        return false;
    value = static_cast<uint8_t>(s.at(position - 1));
    ++position;
    return true;
}

bool ReadWord(const QByteArray& s, int& position, uint16_t& value)
{
    uint8_t hi = 0;
    uint8_t lo = 0;
    const int start = position;
    if (!ReadByte(s, position, hi) || !ReadByte(s, position, lo)) {
        position = start;
        return false;
    }
    value = static_cast<uint16_t>((hi << 8) | lo);
    return true;
}

uint16_t Crc16(const QByteArray& s, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, static_cast<int>(s.size()));
    uint16_t crc = 0xFFFF;
    for (int i = first; i <= last; ++i) {
        crc ^= static_cast<uint8_t>(s.at(i - 1));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

uint8_t Lrc(const QByteArray& s, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, static_cast<int>(s.size()));
    uint8_t sum = 0;
    for (int i = first; i <= last; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(s.at(i - 1)));
    return static_cast<uint8_t>(-sum);
}

}  // namespace rv8::comm
