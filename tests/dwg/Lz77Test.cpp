// The page decompressor of R2004-family drawings: every opcode form and damaged streams.
#include "dwg/Lz77.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dwg {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Decompresses into a buffer of `room` bytes; returns the output, or nothing on a fault.
std::optional<std::string> inflate(const Bytes& in, std::size_t room = 0x10000)
{
    Bytes out(room);
    auto written = decompressLz77(in, out);
    if (!written) {
        return std::nullopt;
    }
    return std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(*written));
}

TEST(Lz77, LiteralsThenShortCopy)
{
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x9C, 0x00, 0x11}), "abcdabcdabcd");
}

TEST(Lz77, LongLiteralRunWithExtensionBytes)
{
    // Nibble 0: 15 + 255 (one zero byte) + 2 + 3 = 275 literals.
    const std::string text(275, 'x');
    const Bytes in = concat({{0x00, 0x00, 0x02}, bytesOf(text), {0x11}});
    EXPECT_EQ(inflate(in), text);
}

TEST(Lz77, LeadingByteAbove0x11IsALiteralCount)
{
    EXPECT_EQ(inflate({0x14, 'x', 'y', 'z', 0x11}), "xyz");
}

TEST(Lz77, CopyWithTrailingLiteralsFromItsOwnBits)
{
    // 0x9D: copy 8 from distance 4, then one literal taken from the low bits, then the end.
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x9D, 0x00, '!', 0x11}), "abcdabcdabcd!");
}

TEST(Lz77, CopyFollowedByLiteralRunOpcode)
{
    // After a copy without low-bit literals a byte up to 0x0F starts a literal run.
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x40, 0x00, 0x01, 'w', 'x', 'y', 'z', 0x11}), "abcddddwxyz");
}

TEST(Lz77, MediumCopyOpcode)
{
    // 0x22: copy 4 from distance ((b2 << 6) | (b1 >> 2)) + 1 = 4.
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x22, 0x0C, 0x00, 0x11}), "abcdabcd");
    // 0x20 with an extension byte: 31 + 3 + 2 = 36 bytes copied from distance 4.
    std::string expected = "abcd";
    for (int i = 0; i < 36; ++i) {
        expected.push_back(expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x20, 0x03, 0x0C, 0x00, 0x11}), expected);
}

TEST(Lz77, FarCopyOpcode)
{
    // 16388 literals (15 + 64 * 255 + 50 + 3), then 0x12: copy 4 from distance 0x4000 + 4.
    std::string text;
    for (int i = 0; i < 16388; ++i) {
        text.push_back(static_cast<char>('a' + i % 26));
    }
    Bytes in{0x00};
    in.insert(in.end(), 64, 0x00);
    in.push_back(50);
    in.insert(in.end(), text.begin(), text.end());
    in.insert(in.end(), {0x12, 0x10, 0x00, 0x11});
    EXPECT_EQ(inflate(in), text + text.substr(0, 4));
}

TEST(Lz77, OverlappingCopyRepeatsTheLastByte)
{
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x90, 0x00, 0x11}), "abcddddddddd");
}

TEST(Lz77, OutputEndingExactlyAtThePageEnd)
{
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x9C, 0x00, 0x11}, 12), "abcdabcdabcd");
    EXPECT_EQ(inflate({0x01, 'a', 'b', 'c', 'd', 0x9C, 0x00, 0x11}, 11), std::nullopt);
}

TEST(Lz77, DamagedStreamsFailCleanly)
{
    struct Case
    {
        const char* name;
        Bytes in;
    };
    const std::vector<Case> cases{
        {"empty", {}},
        {"no end mark", {0x01, 'a', 'b', 'c', 'd'}},
        {"cut inside a literal run", {0x05, 'a', 'b'}},
        {"cut inside a copy", {0x01, 'a', 'b', 'c', 'd', 0x22}},
        {"copy before any output", {0x40, 0x00, 0x11}},
        {"copy from before the start", {0x01, 'a', 'b', 'c', 'd', 0x9C, 0x10, 0x11}},
        {"far copy beyond the output", {0x01, 'a', 'b', 'c', 'd', 0x19, 0x00, 0x00, 0x11}},
        {"endless extension bytes", {0x00, 0x00, 0x00, 0x00}},
        {"literal opcode where a copy belongs", {0x01, 'a', 'b', 'c', 'd', 0x05, 0x11}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inflate(c.in), std::nullopt) << c.name;
    }
}

TEST(Lz77, FaultOffsetPointsIntoTheInput)
{
    const Bytes in{0x01, 'a', 'b', 'c', 'd', 0x9C, 0x10, 0x11};
    Bytes out(64);
    auto written = decompressLz77(in, out);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.fault().code, ErrorCode::Corrupt);
    EXPECT_LE(written.fault().offset, in.size());
}

} // namespace
} // namespace dwg
