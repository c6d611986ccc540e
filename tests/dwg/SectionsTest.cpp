// Header and class sections and the R2007+ string stream, on hand-made bit streams.
#include "dwg/ClassTable.h"
#include "dwg/SectionFrame.h"
#include "dwg/TextSource.h"

#include "BitWriter.h"

#include <gtest/gtest.h>

namespace dwg {
namespace {

using darv::test::BitWriter;

// Appends the string-stream trailer that ends at the returned bit: length field(s) and the flag bit.
std::uint64_t closeStringStream(BitWriter& w, std::uint64_t streamStart)
{
    std::uint64_t length = w.bitCount() - streamStart;
    if (length < 0x8000) {
        w.rawShort(static_cast<std::uint16_t>(length));
    } else {
        w.rawShort(static_cast<std::uint16_t>(length >> 15)); // high part sits below the low part
        w.rawShort(static_cast<std::uint16_t>(0x8000 | (length & 0x7FFF)));
    }
    w.bit(true);
    return w.bitCount();
}

TEST(StringStream, ShortStream)
{
    BitWriter w;
    w.bits(0x5, 3); // data stream bits before the strings
    const std::uint64_t start = w.bitCount();
    w.textU("*Model_Space");
    w.textU("x");
    const std::uint64_t end = closeStringStream(w, start);
    w.bits(0, 5); // handle stream would follow
    TextSource text = TextSource::stringStream(w.data(), end);
    EXPECT_EQ(text.read(), "*Model_Space");
    EXPECT_EQ(text.read(), "x");
    EXPECT_FALSE(text.failed());
}

TEST(StringStream, LongStreamUsesTwoLengthFields)
{
    BitWriter w;
    const std::uint64_t start = w.bitCount();
    const std::string big(2100, 'q'); // 2100 UTF-16 units: more than 0x7FFF bits
    w.textU(big);
    w.textU("tail");
    const std::uint64_t end = closeStringStream(w, start);
    TextSource text = TextSource::stringStream(w.data(), end);
    EXPECT_EQ(text.read(), big);
    EXPECT_EQ(text.read(), "tail");
    EXPECT_FALSE(text.failed());
}

TEST(StringStream, NoStringsFlagGivesEmptyStrings)
{
    BitWriter w;
    w.bits(0x3, 7);
    w.bit(false);
    TextSource text = TextSource::stringStream(w.data(), w.bitCount());
    EXPECT_EQ(text.read(), "");
    EXPECT_EQ(text.read(), "");
    EXPECT_FALSE(text.failed());
}

TEST(StringStream, LengthBeyondTheStartFails)
{
    BitWriter w;
    w.rawShort(0x7000);
    w.bit(true);
    TextSource text = TextSource::stringStream(w.data(), w.bitCount());
    EXPECT_TRUE(text.failed());
    EXPECT_EQ(text.read(), "");
}

// A classes section in the R13-R2000 form: sentinel, RL size, records until the data area ends.
std::vector<std::uint8_t> classesR2000(const std::vector<std::pair<std::string, std::uint16_t>>& classes)
{
    BitWriter body;
    std::uint16_t number = 500;
    for (const auto& [name, itemClassId] : classes) {
        body.bitShort(number++);
        body.bitShort(0);
        body.textV("ObjectDBX Classes");
        body.textV(name);
        body.textV("DXF_" + name);
        body.bit(false);
        body.bitShort(itemClassId);
    }
    BitWriter w;
    w.bytes(std::vector<std::uint8_t>(classesSentinel.begin(), classesSentinel.end()));
    w.rawLong(static_cast<std::uint32_t>(body.data().size()));
    w.bytes(body.data());
    w.rawShort(0); // CRC, not checked
    return w.data();
}

TEST(Classes, R2000RecordsUntilTheDataAreaEnds)
{
    const auto section = classesR2000({{"AcDbPolyline", 0x1F2}, {"AcDbXrecord", 0x1F3}, {"AcDbHatch", 0x1F2}});
    auto table = readClasses(section, flagsFor(Version::R2000, 0));
    ASSERT_TRUE(table) << table.fault().detail;
    ASSERT_EQ(table->entries.size(), 3u);
    EXPECT_EQ(table->entries[0].cppName, "AcDbPolyline");
    EXPECT_EQ(table->entries[0].dxfName, "DXF_AcDbPolyline");
    EXPECT_TRUE(table->entries[0].isEntity);
    EXPECT_FALSE(table->entries[1].isEntity);
    ASSERT_NE(table->find(502), nullptr);
    EXPECT_EQ(table->find(502)->cppName, "AcDbHatch");
    EXPECT_EQ(table->find(503), nullptr);
}

TEST(Classes, WrongSentinelIsCorrupt)
{
    auto section = classesR2000({{"AcDbPolyline", 0x1F2}});
    section[0] ^= 0xFF;
    auto table = readClasses(section, flagsFor(Version::R2000, 0));
    ASSERT_FALSE(table);
    EXPECT_EQ(table.fault().code, ErrorCode::Corrupt);
}

TEST(Classes, SizeBeyondTheSectionIsTruncated)
{
    auto section = classesR2000({{"AcDbPolyline", 0x1F2}});
    section.resize(section.size() - 12);
    auto table = readClasses(section, flagsFor(Version::R2000, 0));
    ASSERT_FALSE(table);
    EXPECT_EQ(table.fault().code, ErrorCode::Truncated);
}

TEST(Classes, R2004CountComesFromTheHighestNumber)
{
    BitWriter body;
    body.bitShort(501); // highest class number: two records
    body.rawByte(0);
    body.rawByte(0);
    body.bit(true);
    for (const bool first : {true, false}) {
        const std::uint16_t number = first ? 500 : 501;
        body.bitShort(number);
        body.bitShort(0);
        body.textV("app");
        body.textV(number == 500 ? "AcDbMLeader" : "AcDbScale");
        body.textV("X");
        body.bit(false);
        body.bitShort(number == 500 ? 0x1F2 : 0x1F3);
        for (int i = 0; i < 5; ++i) {
            body.bitLong(329); // the values that only parse as BL
        }
    }
    body.bits(0xFFFF, 16); // trailing bytes that are not a record
    BitWriter w;
    w.bytes(std::vector<std::uint8_t>(classesSentinel.begin(), classesSentinel.end()));
    w.rawLong(static_cast<std::uint32_t>(body.data().size()));
    w.bytes(body.data());
    auto table = readClasses(w.data(), flagsFor(Version::R2004, 104));
    ASSERT_TRUE(table) << table.fault().detail;
    ASSERT_EQ(table->entries.size(), 2u);
    EXPECT_EQ(table->entries[0].cppName, "AcDbMLeader");
    EXPECT_TRUE(table->entries[0].isEntity);
    EXPECT_EQ(table->entries[1].cppName, "AcDbScale");
}

TEST(SectionFrame, HighSizePartAndBitSizeShiftTheData)
{
    // R2018: sentinel, RL size, RL high size, RL bit size, then data.
    BitWriter w;
    w.bytes(std::vector<std::uint8_t>(headerSentinel.begin(), headerSentinel.end()));
    w.rawLong(13);
    w.rawLong(0);
    w.rawLong(200);
    w.rawByte(0xAB);
    w.bytes(std::vector<std::uint8_t>(8, 0));
    auto frame = openSection(w.data(), headerSentinel, flagsFor(Version::R2018, 0), "header");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->data.readByte(), 0xAB);
    EXPECT_EQ(frame->stringsEnd, (16u + 4u + 4u) * 8u + 200u);
    EXPECT_EQ(frame->data.end(), (16u + 4u + 13u) * 8u);
}

} // namespace
} // namespace dwg
