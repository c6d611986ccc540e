// Tests of the collected-data file: drawing names, record lines byte for byte, appending, and parsing with line
// numbers.
#include "compare/CollectedDataFile.h"

#include "compare/CompareTestSupport.h"

#include <gtest/gtest.h>

namespace darv {
namespace {

using test::readFile;
using test::writeFile;

TEST(DrawingName, CommasDotDwgAndCase)
{
    EXPECT_EQ(drawingName("Bracket, left.dwg"), "BRACKET_ LEFT");
    EXPECT_EQ(drawingName("Plan,Rev,3.dwg"), "PLAN_REV_3");
    EXPECT_EQ(drawingName("Part7.DWG"), "PART7");
    EXPECT_EQ(drawingName("a.b.dwg"), "A.B");
    EXPECT_EQ(drawingName(".dwg"), "");
    EXPECT_EQ(drawingName("x"), "");
    // Bytes of 0x80 and above stay; the caller upper-cases with Unicode rules and says so.
    EXPECT_EQ(drawingName("pl\xC3\xA4tte.dwg"), "PL\xC3\xA4TTE");
    EXPECT_EQ(drawingName("PL\xC3\x84TTE,1.DWG", NameCase::AsGiven), "PL\xC3\x84TTE_1");
    EXPECT_EQ(drawingName("mixed.dwg", NameCase::AsGiven), "mixed");
}

TEST(RecordLine, ByteForByte)
{
    EXPECT_EQ(recordLine("BRACKET_ LEFT", 2454001.60418981, handleListText({"2F", "30"})),
              "\"BRACKET_ LEFT,2454001.60418981,2F$30$,END\"\r\n");
    EXPECT_EQ(recordLine("PART7", 2454001.5, handleListText({})), "\"PART7,2454001.5,,END\"\r\n");
    EXPECT_EQ(recordLine("NOTIME", std::nullopt, "A$"), "\"NOTIME,,A$,END\"\r\n");
    EXPECT_EQ(recordLine("WHOLE", 2454001.0, ""), "\"WHOLE,2454001,,END\"\r\n");
}

TEST(ParseTimeField, NumbersOrZero)
{
    EXPECT_EQ(parseTimeField("2454001.60418981"), 2454001.60418981);
    EXPECT_EQ(parseTimeField("2454001"), 2454001.0);
    EXPECT_EQ(parseTimeField(" 2454001.5 "), 2454001.5);
    EXPECT_EQ(parseTimeField("+2.5"), 2.5);
    for (const char* bad : {"", " ", "abc", "2454001.5x", "1,5", "nan", "inf", "1e999", "+-1", "0x10"})
        EXPECT_EQ(parseTimeField(bad), 0.0) << bad;
}

class CollectedDataFileTest : public ::testing::Test
{
protected:
    test::TempFolder folder;
    std::string path = folder.file("WEEK 3.cmp");
};

TEST_F(CollectedDataFileTest, AppendedRecordsReadBackInOrder)
{
    const std::string lines =
        recordLine("BRACKET_ LEFT", 2454001.60418981, "2F$30$") + recordLine("PART7", 2454001.5, "");
    EXPECT_EQ(lines, "\"BRACKET_ LEFT,2454001.60418981,2F$30$,END\"\r\n\"PART7,2454001.5,,END\"\r\n");
    writeFile(path, lines);
    const CollectedData data = readCollectedData(path, 10);
    EXPECT_EQ(data.fault, CollectedDataFault::None);
    ASSERT_EQ(data.records.size(), 2u);
    EXPECT_EQ(data.records[0].name, "BRACKET_ LEFT");
    EXPECT_EQ(data.records[0].time, 2454001.60418981);
    EXPECT_EQ(data.records[0].handles, "2F$30$");
    EXPECT_EQ(data.records[1].name, "PART7");
    EXPECT_EQ(data.records[1].handles, "");
}

TEST_F(CollectedDataFileTest, MissingOrEmptyFileHasNoRecords)
{
    EXPECT_EQ(readCollectedData(path, 5).fault, CollectedDataFault::None);
    EXPECT_TRUE(readCollectedData(path, 5).records.empty());
    writeFile(path, "");
    EXPECT_EQ(readCollectedData(path, 5).fault, CollectedDataFault::None);
    EXPECT_TRUE(readCollectedData(path, 5).records.empty());
}

TEST_F(CollectedDataFileTest, FieldsSplitAtTheFirstThreeCommas)
{
    writeFile(path, "\"A,1,X$Y$Z,END,more,commas\"\nB-line-without-cr-at-end");
    CollectedDataFault fault = CollectedDataFault::None;
    const auto record = parseRecord("\"A,1,X$Y$Z,END,more,commas\"", fault);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->handles, "X$Y$Z");
    EXPECT_EQ(record->time, 1.0);
    // LF alone ends a line too; the second line is no record.
    const CollectedData data = readCollectedData(path, 5);
    EXPECT_EQ(data.records.size(), 1u);
    EXPECT_EQ(data.fault, CollectedDataFault::NotQuoted);
    EXPECT_EQ(data.faultLine, 2);
}

TEST_F(CollectedDataFileTest, FaultsNameTheirLine)
{
    struct Case
    {
        std::string content;
        std::size_t maxRecords;
        CollectedDataFault fault;
        std::int64_t line;
    };
    const std::string good = "\"A,2454001.5,1$,END\"\r\n";
    const Case cases[] = {
        {good + "\"B,2454001.5,1$\"\r\n", 5, CollectedDataFault::TooFewCommas, 2},
        {good + good + "\"B\"\r\n", 5, CollectedDataFault::TooFewCommas, 3},
        {"B,2454001.5,1$,END\r\n", 5, CollectedDataFault::NotQuoted, 1},
        {good + "\"B,2454001.5,1$,END\r\n", 5, CollectedDataFault::NotQuoted, 2},
        {good + "\r\n", 5, CollectedDataFault::NotQuoted, 2},
        {"\"\r\n", 5, CollectedDataFault::NotQuoted, 1},
        {good + good + good, 2, CollectedDataFault::TooManyRecords, 3},
        {good + good + "garbage\r\n", 2, CollectedDataFault::TooManyRecords, 3},
    };
    for (const Case& c : cases) {
        writeFile(path, c.content);
        const CollectedData data = readCollectedData(path, c.maxRecords);
        EXPECT_EQ(data.fault, c.fault) << c.content;
        EXPECT_EQ(data.faultLine, c.line) << c.content;
        EXPECT_EQ(data.records.size(), static_cast<std::size_t>(c.line - 1)) << c.content;
    }
    writeFile(path, good + good);
    EXPECT_EQ(readCollectedData(path, 2).fault, CollectedDataFault::None);
}

TEST_F(CollectedDataFileTest, FolderInsteadOfFileIsUnreadable)
{
    std::filesystem::create_directories(path);
    const CollectedData data = readCollectedData(path, 5);
    EXPECT_EQ(data.fault, CollectedDataFault::Unreadable);
}

} // namespace
} // namespace darv
