#include "comm/NuvBytes.h"

#include <gtest/gtest.h>

using namespace rv8::comm;

// Vectors from the Modbus over serial line documents' examples.
TEST(NuvBytes, Crc16MatchesPublishedFrames)
{
    const QByteArray readRequest = QByteArray::fromHex("01030000000A");
    EXPECT_EQ(Crc16(readRequest), 0xCDC5);  // sent as C5 CD
    EXPECT_EQ(Crc16(QByteArray::fromHex("110300 6B0003")), 0x8776);
}

TEST(NuvBytes, LrcIsTwosComplementOfSum)
{
    EXPECT_EQ(Lrc(QByteArray::fromHex("010300000001")), 0xFB);
    EXPECT_EQ(Lrc(QByteArray()), 0);
    EXPECT_EQ(Lrc(QByteArray::fromHex("0102"), 3, 9), 0);  // empty clamped range
}

TEST(NuvBytes, ReadByteIsOneBasedAndBounded)
{
    const QByteArray s = QByteArray::fromHex("1234");
    int pos = 0;
    uint8_t b = 0;
    EXPECT_FALSE(ReadByte(s, pos, b));
    pos = 1;
    uint16_t w = 0;
    EXPECT_TRUE(ReadWord(s, pos, w));
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(pos, 3);
    EXPECT_FALSE(ReadByte(s, pos, b));
}
