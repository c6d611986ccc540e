// The bit-level primitives of the reader, from small hand-made byte sequences.
#include "dwg/BitReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace dwg {
namespace {

BitReader readerOf(const std::vector<std::uint8_t>& bytes)
{
    return BitReader(bytes);
}

TEST(BitReader, BitShortAfterTwoBits)
{
    const std::vector<std::uint8_t> bytes{0x4A, 0x80};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readBitShort(), 42);
    EXPECT_EQ(r.position(), 10u);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, BitShortShortForms)
{
    // Codes 2 (zero) and 3 (256), then code 0 with a raw short 0xFFFF (-1).
    const std::vector<std::uint8_t> bytes{0xB3, 0xFF, 0xFC};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readBitShort(), 0);
    EXPECT_EQ(r.readBitShort(), 256);
    EXPECT_EQ(r.readBitShort(), -1);
    EXPECT_EQ(r.position(), 22u);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, BitDoubleOne)
{
    const std::vector<std::uint8_t> bytes{0x40};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readBitDouble(), 1.0);
    EXPECT_EQ(r.position(), 2u);
}

TEST(BitReader, BitDoubleAndBitLongCodeThreeAreInvalid)
{
    const std::vector<std::uint8_t> bytes{0xFF, 0xFF};
    BitReader d = readerOf(bytes);
    d.readBitDouble();
    EXPECT_TRUE(d.failed());
    BitReader l = readerOf(bytes);
    l.readBitLong();
    EXPECT_TRUE(l.failed());
}

TEST(BitReader, RawValuesAtUnalignedPositions)
{
    // One bit, then RL 0x12345678 shifted by one bit.
    const std::vector<std::uint8_t> bytes{0x3C, 0x2B, 0x1A, 0x09, 0x00};
    BitReader r = readerOf(bytes);
    EXPECT_FALSE(r.readBit());
    EXPECT_EQ(r.readRawLong(), 0x12345678u);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ModularShort)
{
    const std::vector<std::uint8_t> bytes{0x01, 0x80, 0x01, 0x00};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readModularShort(), 32769u);
    EXPECT_EQ(r.position(), 32u);
}

TEST(BitReader, Handle)
{
    const std::vector<std::uint8_t> bytes{0x52, 0x01, 0x2F};
    BitReader r = readerOf(bytes);
    const HandleRef h = r.readHandle();
    EXPECT_EQ(h.code, 5);
    EXPECT_EQ(h.value, 0x012Fu);
    EXPECT_EQ(r.position(), 24u);
}

TEST(BitReader, HandleWithMoreThanEightBytesFails)
{
    const std::vector<std::uint8_t> bytes(12, 0x09);
    BitReader r = readerOf(bytes);
    r.readHandle();
    EXPECT_TRUE(r.failed());
}

TEST(BitReader, RelativeHandles)
{
    std::uint64_t h = 0;
    EXPECT_TRUE(resolveHandle({0x6, 0}, 0x100, h));
    EXPECT_EQ(h, 0x101u);
    EXPECT_TRUE(resolveHandle({0x8, 0}, 0x100, h));
    EXPECT_EQ(h, 0xFFu);
    EXPECT_TRUE(resolveHandle({0xA, 0x10}, 0x100, h));
    EXPECT_EQ(h, 0x110u);
    EXPECT_TRUE(resolveHandle({0xC, 0x10}, 0x100, h));
    EXPECT_EQ(h, 0xF0u);
    EXPECT_TRUE(resolveHandle({0x4, 0x1F}, 0x100, h));
    EXPECT_EQ(h, 0x1Fu);
    EXPECT_FALSE(resolveHandle({0x7, 0x1}, 0x100, h));
    EXPECT_FALSE(resolveHandle({0xF, 0x1}, 0x100, h));
}

TEST(BitReader, ModularChars)
{
    struct Case
    {
        std::vector<std::uint8_t> bytes;
        std::int64_t value;
    };
    const std::vector<Case> signedCases{{{0x41}, -1}, {{0x3F}, 63}, {{0x81, 0x41}, -129}, {{0x81, 0x01}, 129}};
    for (const Case& c : signedCases) {
        BitReader r = readerOf(c.bytes);
        EXPECT_EQ(r.readModularChar(), c.value);
        EXPECT_EQ(r.position(), c.bytes.size() * 8);
    }
    const std::vector<std::uint8_t> unsignedBytes{0x81, 0x01};
    BitReader r = readerOf(unsignedBytes);
    EXPECT_EQ(r.readModularCharUnsigned(), 129u);
    // Bit 6 of the last byte is payload in the unsigned form, not a sign.
    const std::vector<std::uint8_t> high{0x41};
    BitReader h = readerOf(high);
    EXPECT_EQ(h.readModularCharUnsigned(), 0x41u);
}

TEST(BitReader, EndlessModularCharFails)
{
    const std::vector<std::uint8_t> bytes(20, 0x80);
    BitReader r = readerOf(bytes);
    r.readModularCharUnsigned();
    EXPECT_TRUE(r.failed());
    BitReader s = readerOf(bytes);
    s.readModularChar();
    EXPECT_TRUE(s.failed());
}

TEST(BitReader, ObjectTypeForms)
{
    // 00 + RC 0x13; 01 + RC 0x02 (0x1F2); 10 + RS 0x0203.
    const std::vector<std::uint8_t> bytes{0x04, 0xD0, 0x28, 0x0C, 0x08};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readObjectType(), 0x13);
    EXPECT_EQ(r.readObjectType(), 0x1F2);
    EXPECT_EQ(r.readObjectType(), 0x203);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, BitLongLongAndTriplet)
{
    // 3 bits = 2 bytes: 0x34 0x12 -> 0x1234; then triplet 110 -> 6.
    const std::vector<std::uint8_t> bytes{0x46, 0x82, 0x58};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readBitLongLong(), 0x1234u);
    EXPECT_EQ(r.read3Bits(), 6u);
    EXPECT_EQ(r.position(), 22u);
}

TEST(BitReader, TextWithTrailingNul)
{
    // BS code 01, RC 3, "ab\0", not byte aligned after the code.
    const std::vector<std::uint8_t> bytes{0x40, 0xD8, 0x58, 0x80, 0x00};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readTextV(), "ab");
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, TextPrefixSkipsTheRest)
{
    // "ab\0" kept to one character; the next field (a bit) is read after the whole text.
    const std::vector<std::uint8_t> bytes{0x40, 0xD8, 0x58, 0x80, 0x20};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readTextV(1), "a");
    EXPECT_EQ(r.position(), 34u);
    EXPECT_TRUE(r.readBit());
    // The same for UTF-16: "A" kept of "A" U+00E9.
    const std::vector<std::uint8_t> wide{0x40, 0x90, 0x40, 0x3A, 0x40, 0x00};
    BitReader u = readerOf(wide);
    EXPECT_EQ(u.readTextU(1), "A");
    EXPECT_EQ(u.position(), 42u);
    EXPECT_FALSE(u.failed());
}

TEST(BitReader, UnicodeText)
{
    // BS code 01, length 2, UTF-16LE "A" and U+00E9, two bits off the byte grid.
    const std::vector<std::uint8_t> bytes{0x40, 0x90, 0x40, 0x3A, 0x40, 0x00};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readTextU(), "A\xC3\xA9");
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsPastTheEndFailAndStaySafe)
{
    const std::vector<std::uint8_t> bytes{0xFF, 0xFF, 0xFF};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readRawLong(), 0u);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.readByte(), 0u);
    EXPECT_FALSE(r.readBit());
    EXPECT_EQ(r.readTextV(), "");
    EXPECT_TRUE(r.failed());
}

TEST(BitReader, TextLongerThanTheDataFailsWithoutAllocating)
{
    // BS code 00 with length 0x7FFF, but only two more bytes.
    const std::vector<std::uint8_t> bytes{0x3F, 0xDF, 0xD0, 0x40};
    BitReader r = readerOf(bytes);
    EXPECT_EQ(r.readTextV(), "");
    EXPECT_TRUE(r.failed());
}

TEST(BitReader, EndLimitsReading)
{
    const std::vector<std::uint8_t> bytes{0x12, 0x34, 0x56};
    BitReader r = readerOf(bytes);
    r.setEnd(16);
    EXPECT_EQ(r.readByte(), 0x12);
    EXPECT_EQ(r.readByte(), 0x34);
    EXPECT_EQ(r.readByte(), 0);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.failPosition(), 16u);
}

} // namespace
} // namespace dwg
