// Tests of the 2007 format's LZ77 decompressor and RS de-interleaving on hand-made streams.
#include "dwg/R2007Decompressor.h"
#include "dwg/R2007ReedSolomon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace dwg {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

Bytes operator+(Bytes a, const std::string& text)
{
    a.insert(a.end(), text.begin(), text.end());
    return a;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Decompresses into a buffer of `capacity` bytes and returns the bytes written as text.
Expected<std::string> inflate(const Bytes& stream, std::size_t capacity = 1 << 20)
{
    Bytes out(capacity);
    const auto written = decompressR2007(stream, out);
    if (!written)
        return written.fault();
    return std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(*written));
}

// Eight literal bytes "abcdefgh": literal-length code 0 means 0 + 8, and 8-byte runs keep their order.
const Bytes kEightLiterals = bytes({0x00}) + std::string("abcdefgh");

TEST(R2007Decompressor, NotesVectors)
{
    const auto opening = inflate(bytes({0x20, 0x00, 0x00, 0x03, 0x63, 0x62, 0x61, 0x62, 0x00}));
    ASSERT_TRUE(opening.ok()) << opening.fault().detail;
    EXPECT_EQ(*opening, "abcabcabc");

    const auto run13 = inflate(bytes({0x05}) + std::string("abcdefghijklm"));
    ASSERT_TRUE(run13.ok()) << run13.fault().detail;
    EXPECT_EQ(*run13, "mijklabcdefgh");
}

TEST(R2007Decompressor, EmptyStreamWritesNothing)
{
    const auto out = inflate({});
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(*out, "");
}

struct RunCase
{
    std::size_t length;
    const char* output; // what the first `length` letters of kSource decode to as one stored run
};

const std::string kSource = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";

class R2007LiteralRun : public testing::TestWithParam<RunCase>
{
};

// Runs of 1..7 bytes are reachable only through the stream opening (or after a match); longer ones
// through the literal-length code, 23 and more with its extension byte.
Bytes literalStream(std::size_t length, const std::string& text)
{
    if (length < 8)
        return bytes({0x20, 0x00, 0x00, static_cast<int>(length)}) + text;
    if (length < 23)
        return bytes({static_cast<int>(length - 8)}) + text;
    return bytes({0x0F, static_cast<int>(length - 23)}) + text;
}

TEST_P(R2007LiteralRun, StoredOrderIsUndone)
{
    const RunCase& c = GetParam();
    const auto out = inflate(literalStream(c.length, kSource.substr(0, c.length)));
    ASSERT_TRUE(out.ok()) << out.fault().detail;
    EXPECT_EQ(*out, c.output);
}

INSTANTIATE_TEST_SUITE_P(
    AllShortLengths, R2007LiteralRun,
    testing::Values(RunCase{1, "A"}, RunCase{2, "BA"}, RunCase{3, "CBA"}, RunCase{4, "ABCD"}, RunCase{5, "EABCD"},
                    RunCase{6, "FBCDEA"}, RunCase{7, "GFBCDEA"}, RunCase{8, "ABCDEFGH"}, RunCase{9, "IABCDEFGH"},
                    RunCase{10, "JBCDEFGHIA"}, RunCase{11, "KJBCDEFGHIA"}, RunCase{12, "IJKLABCDEFGH"},
                    RunCase{13, "MIJKLABCDEFGH"}, RunCase{14, "NJKLMBCDEFGHIA"}, RunCase{15, "ONJKLMBCDEFGHIA"},
                    RunCase{16, "IJKLMNOPABCDEFGH"}, RunCase{17, "JKLMNOPQIABCDEFGH"},
                    RunCase{18, "RJKLMNOPQBCDEFGHIA"}, RunCase{19, "SRQIJKLMNOPABCDEFGH"},
                    RunCase{20, "QRSTIJKLMNOPABCDEFGH"}, RunCase{21, "UQRSTIJKLMNOPABCDEFGH"},
                    RunCase{22, "VUQRSTIJKLMNOPABCDEFGH"}, RunCase{23, "WVUQRSTIJKLMNOPABCDEFGH"},
                    RunCase{24, "QRSTUVWXIJKLMNOPABCDEFGH"}, RunCase{25, "RSTUVWXYQIJKLMNOPABCDEFGH"},
                    RunCase{26, "ZRSTUVWXYQIJKLMNOPABCDEFGH"}, RunCase{27, "aZRSTUVWXYQIJKLMNOPABCDEFGH"},
                    RunCase{28, "YZabQRSTUVWXIJKLMNOPABCDEFGH"}, RunCase{29, "cYZabQRSTUVWXIJKLMNOPABCDEFGH"},
                    RunCase{30, "dcYZabQRSTUVWXIJKLMNOPABCDEFGH"}, RunCase{31, "eabcdSTUVWXYZKLMNOPQRCDEFGHIJBA"}));

// Stores `plain` as a literal run would: whole 32-byte blocks with their 8-byte groups reversed.
Bytes storeBlocks(const Bytes& plain)
{
    Bytes stored(plain.size());
    for (std::size_t block = 0; block < plain.size() / 32; ++block)
        for (std::size_t group = 0; group < 4; ++group)
            for (std::size_t i = 0; i < 8; ++i)
                stored[32 * block + 8 * (3 - group) + i] = plain[32 * block + 8 * group + i];
    return stored;
}

Bytes patterned(std::size_t size)
{
    Bytes plain(size);
    for (std::size_t i = 0; i < size; ++i)
        plain[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return plain;
}

TEST(R2007Decompressor, LongLiteralRuns)
{
    // 64 = 23 + 41: one extension byte, two whole blocks.
    const Bytes plain64 = patterned(64);
    Bytes out(64);
    auto written = decompressR2007(bytes({0x0F, 41}) + storeBlocks(plain64), out);
    ASSERT_TRUE(written.ok()) << written.fault().detail;
    EXPECT_EQ(out, plain64);

    // 45 = one block and a 13-byte remainder in its own order.
    const Bytes stored45 = storeBlocks(patterned(32)) + std::string("ABCDEFGHIJKLM");
    const auto run45 = inflate(bytes({0x0F, 45 - 23}) + stored45);
    ASSERT_TRUE(run45.ok()) << run45.fault().detail;
    EXPECT_EQ(Bytes(run45->begin(), run45->begin() + 32), patterned(32));
    EXPECT_EQ(run45->substr(32), "MIJKLABCDEFGH");

    // 23 + 255 + 0xFFFF + 11 = 65824 = 2057 blocks: the byte saturates, then a 16-bit word saturates.
    const Bytes plainLong = patterned(65824);
    Bytes longOut(plainLong.size());
    written = decompressR2007(bytes({0x0F, 0xFF, 0xFF, 0xFF, 11, 0}) + storeBlocks(plainLong), longOut);
    ASSERT_TRUE(written.ok()) << written.fault().detail;
    EXPECT_EQ(*written, plainLong.size());
    EXPECT_EQ(longOut, plainLong);
}

struct MatchCase
{
    const char* name;
    Bytes stream;
    std::string expected;
};

class R2007Match : public testing::TestWithParam<MatchCase>
{
};

TEST_P(R2007Match, CopiesFromEarlierOutput)
{
    const auto out = inflate(GetParam().stream);
    ASSERT_TRUE(out.ok()) << out.fault().detail;
    EXPECT_EQ(*out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    OpcodeGroups, R2007Match,
    testing::Values(
        // 0x3..0xF: length in the high nibble, offset from the low nibble and the next byte.
        MatchCase{"Short", kEightLiterals + bytes({0x33, 0x00}),
                  "abcdefgh"
                  "efg"},
        MatchCase{"ShortHighOffsetBits",
                  bytes({0x0F, 0x01}) + std::string("qrstuvwxijklmnopabcdefgh") + bytes({0x43, 0x08}),
                  "abcdefghijklmnopqrstuvwx"
                  "efgh"},
        // 0x1: length 3..18, 13-bit offset.
        MatchCase{"Medium", kEightLiterals + bytes({0x12, 0x03, 0x00}),
                  "abcdefgh"
                  "efghe"},
        // 0x0 right after a literal run: length from 0x13, one more length bit in the second byte.
        MatchCase{"Long", kEightLiterals + bytes({0x01, 0x07, 0x00}),
                  "abcdefgh"
                  "abcdefghabcdefghabcd"},
        MatchCase{"LongWithExtraLength", kEightLiterals + bytes({0x00, 0x07, 0x80}),
                  "abcdefgh"
                  "abcdefghabcdefghabcdefghabcdefgh"
                  "abc"},
        // 0x2 without bit 3: 16-bit offset, length from the low bits and the next byte.
        MatchCase{"Wide", kEightLiterals + bytes({0x23, 0x04, 0x00, 0x08}),
                  "abcdefgh"
                  "efghefghefg"},
        // 0x2 with bit 3: offset + 1, length 0x100 and up.
        MatchCase{"WideLong", kEightLiterals + bytes({0x29, 0x07, 0x00, 0x00, 0x00}),
                  "abcdefgh" +
                      [] {
                          std::string s;
                          while (s.size() < 257)
                              s += "abcdefgh";
                          return s.substr(0, 257);
                      }()},
        // Offset 1 repeats the last byte: the copy overlaps its own output.
        MatchCase{"OverlapRepeatsLastByte", kEightLiterals + bytes({0x12, 0x00, 0x00}),
                  "abcdefgh"
                  "hhhhh"},
        MatchCase{"OverlapRepeatsPair", kEightLiterals + bytes({0x16, 0x01, 0x00}),
                  "abcdefgh"
                  "ghghghghg"},
        // Low bits of the last match byte give a short literal run, stored reversed for two bytes.
        MatchCase{"ShortLiteralAfterMatch", kEightLiterals + bytes({0x33, 0x02}) + std::string("yx"),
                  "abcdefgh"
                  "efg"
                  "xy"},
        // After a match with no short run, a byte below 0x10 is a literal-length code.
        MatchCase{"LiteralCodeAfterMatch", kEightLiterals + bytes({0x33, 0x00, 0x00}) + std::string("ABCDEFGH"),
                  "abcdefgh"
                  "efg"
                  "ABCDEFGH"},
        // After a match, 0xF? drops its high nibble and is read as a long match.
        MatchCase{"HighNibbleFAfterMatch", kEightLiterals + bytes({0x33, 0x00, 0xF1, 0x0A, 0x00}),
                  "abcdefgh"
                  "efg"
                  "abcdefghefgabcdefghe"},
        // After a short literal run, a byte below 0x10 is a long match, not a literal code.
        MatchCase{"LongMatchAfterShortRun",
                  kEightLiterals + bytes({0x33, 0x01}) + std::string("z") + bytes({0x00, 0x0B, 0x00}),
                  "abcdefgh"
                  "efg"
                  "z"
                  "abcdefghefgzabcdefg"}),
    [](const testing::TestParamInfo<MatchCase>& param) { return std::string(param.param.name); });

struct BrokenCase
{
    const char* name;
    Bytes stream;
    std::size_t capacity;
    ErrorCode code;
};

class R2007BrokenStream : public testing::TestWithParam<BrokenCase>
{
};

TEST_P(R2007BrokenStream, FailsWithItsFault)
{
    const auto out = inflate(GetParam().stream, GetParam().capacity);
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.fault().code, GetParam().code);
    EXPECT_FALSE(out.fault().detail.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, R2007BrokenStream,
    testing::Values(BrokenCase{"OpeningCutOff", bytes({0x20, 0x00}), 64, ErrorCode::Truncated},
                    BrokenCase{"LiteralRunCutOff", bytes({0x05}) + std::string("abc"), 64, ErrorCode::Truncated},
                    BrokenCase{"LengthWordCutOff", bytes({0x0F, 0xFF, 0xFF}), 64, ErrorCode::Truncated},
                    BrokenCase{"LengthWordMissing", bytes({0x0F, 0xFF}), 64, ErrorCode::Truncated},
                    BrokenCase{"MatchCutOff", kEightLiterals + bytes({0x12, 0x03}), 64, ErrorCode::Truncated},
                    BrokenCase{"WideMatchCutOff", kEightLiterals + bytes({0x29, 0x07, 0x00}), 64, ErrorCode::Truncated},
                    BrokenCase{"OffsetBeforeStart", kEightLiterals + bytes({0x12, 0x20, 0x00}), 64, ErrorCode::Corrupt},
                    BrokenCase{"OffsetZero", kEightLiterals + bytes({0x23, 0x00, 0x00, 0x08}), 64, ErrorCode::Corrupt},
                    BrokenCase{"MatchPastOutput", kEightLiterals + bytes({0x29, 0x07, 0x00, 0x00, 0x00}), 64,
                               ErrorCode::Corrupt},
                    BrokenCase{"LiteralPastOutput", kEightLiterals, 7, ErrorCode::Corrupt}),
    [](const testing::TestParamInfo<BrokenCase>& param) { return std::string(param.param.name); });

// Random and cut-off streams must end in a value or a fault, never in a crash, hang or overrun
// (the sanitizer build checks the last).
TEST(R2007Decompressor, GarbageNeverOverruns)
{
    std::mt19937 random(2007);
    Bytes out(4096);
    int succeeded = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes stream(random() % 64);
        for (auto& b : stream)
            b = static_cast<std::uint8_t>(random());
        const auto written = decompressR2007(stream, std::span(out).first(random() % out.size()));
        if (written.ok()) {
            ++succeeded;
            EXPECT_LE(*written, out.size());
        } else {
            EXPECT_FALSE(written.fault().detail.empty());
            EXPECT_LE(written.fault().offset, stream.size());
        }
    }
    EXPECT_GT(succeeded, 0);
}

TEST(R2007Decompressor, EveryPrefixOfAValidStreamEndsCleanly)
{
    const Bytes stream = kEightLiterals + bytes({0x33, 0x01}) + std::string("z") + bytes({0x00, 0x0B, 0x00}) +
                         bytes({0x29, 0x07, 0x00, 0x00, 0x00});
    const auto whole = inflate(stream);
    ASSERT_TRUE(whole.ok()) << whole.fault().detail;
    ASSERT_EQ(whole->size(), std::size_t{8 + 3 + 1 + 19 + 257});
    for (std::size_t cut = 0; cut < stream.size(); ++cut) {
        const auto out = inflate(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)));
        if (out.ok()) {
            EXPECT_LT(out->size(), whole->size()) << "cut at " << cut;
        }
    }
}

TEST(R2007ReedSolomon, DeinterleavesWordByWord)
{
    // Three words of four payload bytes and two parity bytes; byte j of word i is 0xi0 + j.
    constexpr std::size_t words = 3, k = 4, total = 6;
    Bytes stored(words * total, 0xEE);
    for (std::size_t i = 0; i < words; ++i)
        for (std::size_t j = 0; j < k; ++j)
            stored[i + j * words] = static_cast<std::uint8_t>(0x10 * i + j);
    Bytes payload;
    ASSERT_TRUE(deinterleaveR2007(stored, words, k, payload));
    EXPECT_EQ(payload, bytes({0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13, 0x20, 0x21, 0x22, 0x23}));

    // The payload ends at byte words * k: parity may be missing, payload may not.
    ASSERT_TRUE(deinterleaveR2007(std::span(stored).first(words * k), words, k, payload));
    EXPECT_EQ(payload.size(), words * k);
    EXPECT_FALSE(deinterleaveR2007(std::span(stored).first(words * k - 1), words, k, payload));
    EXPECT_TRUE(payload.empty());
}

TEST(R2007ReedSolomon, RejectsImpossibleSizes)
{
    Bytes payload;
    const Bytes stored(1024, 0);
    EXPECT_FALSE(deinterleaveR2007(stored, 5, 0, payload));
    EXPECT_FALSE(deinterleaveR2007(stored, 5, 256, payload));
    EXPECT_FALSE(deinterleaveR2007(stored, std::size_t{1} << 62, 251, payload));
    EXPECT_TRUE(deinterleaveR2007(stored, 0, 251, payload));
    EXPECT_TRUE(payload.empty());
    EXPECT_EQ(r2007BlockCount(0, 251), 0u);
    EXPECT_EQ(r2007BlockCount(251, 251), 1u);
    EXPECT_EQ(r2007BlockCount(252, 251), 2u);
}

} // namespace
} // namespace dwg
