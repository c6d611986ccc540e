// Tests of the drawing age check: age limits, ages, the dotted name field and the report lines byte for byte.
#include "compare/CheckDates.h"

#include "compare/CompareTestSupport.h"

#include <gtest/gtest.h>

namespace darv {
namespace {

using test::quotedLines;
using test::readFile;

constexpr double kSep2006 = 2454001.5; // 22 September 2006
constexpr double kNov2006 = 2454045.5; // 5 November 2006
constexpr double kMar2006 = 2453805.5; // 10 March 2006
constexpr double kOct2007 = 2454381.5; // 7 October 2007

TEST(AgeLimit, TableOfTheListTexts)
{
    EXPECT_EQ(ageLimit("1 month").months, 1);
    EXPECT_EQ(ageLimit("6 months").months, 6);
    EXPECT_EQ(ageLimit("1 year").years, 1);
    EXPECT_EQ(ageLimit("5 years").years, 5);
    EXPECT_EQ(ageLimit("over 5 years").years, 99);
    for (const char* other : {"7 months", "1 Month", " 1 month", "6 years", ""}) {
        EXPECT_EQ(ageLimit(other).months, 0) << other;
        EXPECT_EQ(ageLimit(other).years, 0) << other;
    }
}

TEST(DrawingAge, WholeMonthsRegardlessOfTheDay)
{
    const DrawingAge nov = drawingAge(kNov2006, {2007, 2});
    EXPECT_EQ(nov.years, 0);
    EXPECT_EQ(nov.months, 3);
    const DrawingAge mar = drawingAge(kMar2006, {2007, 9});
    EXPECT_EQ(mar.years, 1);
    EXPECT_EQ(mar.months, 6);
    const DrawingAge ahead = drawingAge(kOct2007, {2007, 9});
    EXPECT_EQ(ahead.years, -1);
    EXPECT_EQ(ahead.months, 11);
}

TEST(AgeReported, LimitsOfBothKinds)
{
    EXPECT_TRUE(ageReported({0, 3}, ageLimit("3 months")));
    EXPECT_FALSE(ageReported({0, 3}, ageLimit("4 months")));
    EXPECT_FALSE(ageReported({0, 3}, ageLimit("1 year")));
    EXPECT_TRUE(ageReported({1, 6}, ageLimit("6 months")));
    EXPECT_TRUE(ageReported({1, 0}, ageLimit("6 months")));
    EXPECT_TRUE(ageReported({1, 0}, ageLimit("1 year")));
    EXPECT_FALSE(ageReported({98, 11}, ageLimit("over 5 years")));
    EXPECT_TRUE(ageReported({99, 0}, ageLimit("over 5 years")));
    for (const char* limit : {"1 month", "6 months", "1 year", "5 years", "over 5 years", "7 months"})
        EXPECT_FALSE(ageReported({-1, 11}, ageLimit(limit))) << limit;
}

TEST(AgeConflictLine, NamePaddedWithDotsTo32Characters)
{
    EXPECT_EQ(ageConflictLine("BRACKET", "6 months", {1, 6}),
              "BRACKET......................... [over 6 months old] :1 year(s) & 6 month(s).");
    const std::string name32(32, 'N');
    EXPECT_EQ(ageConflictLine(name32, "1 year", {2, 0}), name32 + " [over 1 year old] :2 year(s) & 0 month(s).");
    const std::string name40(40, 'L');
    EXPECT_EQ(ageConflictLine(name40, "1 year", {2, 0}), name40 + " [over 1 year old] :2 year(s) & 0 month(s).");
    EXPECT_EQ(ageConflictLine("A", "x", {-1, 11}),
              "A" + std::string(31, '.') + " [over x old] :-1 year(s) & 11 month(s).");
    // "PLÄTTE" is six characters (seven bytes) and gets 26 dots.
    EXPECT_EQ(ageConflictLine("PL\xC3\x84TTE", "1 year", {1, 0}),
              "PL\xC3\x84TTE" + std::string(26, '.') + " [over 1 year old] :1 year(s) & 0 month(s).");
}

class CheckDatesTest : public ::testing::Test
{
protected:
    std::string run(const std::vector<std::pair<std::string, double>>& slots, const std::string& limit, YearMonth today,
                    bool enabled = true)
    {
        CompareTables tables(slots.size());
        for (std::size_t k = 0; k < slots.size(); ++k) {
            tables.names[k] = slots[k].first;
            tables.times[k] = slots[k].second;
        }
        ReportFile file(report);
        reported = checkDates(tables, enabled, limit, today, file, observer, alertGiven);
        file.commit();
        return readFile(report);
    }

    test::TempFolder folder;
    std::string report = folder.file("WEEK3.dat");
    test::RecordingObserver observer;
    bool alertGiven = false;
    std::int64_t reported = 0;
};

TEST_F(CheckDatesTest, BracketFromMarch2006InSeptember2007)
{
    EXPECT_EQ(run({{"BRACKET", kMar2006}}, "6 months", {2007, 9}),
              quotedLines({"BRACKET......................... [over 6 months old] :1 year(s) & 6 month(s)."}));
    EXPECT_EQ(observer.statuses, std::vector<std::string>{"Checking dates..."});
    EXPECT_EQ(observer.counters, (std::vector<std::pair<ConflictCounter, std::int64_t>>{{ConflictCounter::Age, 1}}));
    EXPECT_EQ(observer.alerts, 1);
}

TEST_F(CheckDatesTest, ThreeMonthsOldUnderEachLimit)
{
    EXPECT_EQ(run({{"P", kNov2006}}, "3 months", {2007, 2}),
              quotedLines({"P............................... [over 3 months old] :0 year(s) & 3 month(s)."}));
    EXPECT_EQ(run({{"P", kNov2006}}, "4 months", {2007, 2}), quotedLines({"No DWG date check conflicts!"}));
    EXPECT_EQ(run({{"P", kNov2006}}, "1 year", {2007, 2}), quotedLines({"No DWG date check conflicts!"}));
}

TEST_F(CheckDatesTest, OneYearOldUnderMonthsAndYears)
{
    const std::string dots(31, '.');
    EXPECT_EQ(run({{"S", kSep2006}}, "6 months", {2007, 9}),
              quotedLines({"S" + dots + " [over 6 months old] :1 year(s) & 0 month(s)."}));
    EXPECT_EQ(run({{"S", kSep2006}}, "1 year", {2007, 9}),
              quotedLines({"S" + dots + " [over 1 year old] :1 year(s) & 0 month(s)."}));
}

TEST_F(CheckDatesTest, OverFiveYearsMeans99)
{
    EXPECT_EQ(run({{"OLD", kSep2006}}, "over 5 years", {2105, 8}), quotedLines({"No DWG date check conflicts!"}));
    EXPECT_EQ(run({{"OLD", kSep2006}}, "over 5 years", {2105, 9}),
              quotedLines({"OLD" + std::string(29, '.') + " [over over 5 years old] :99 year(s) & 0 month(s)."}));
}

TEST_F(CheckDatesTest, LimitOutsideTheTableReportsNothing)
{
    EXPECT_EQ(run({{"A", kMar2006}}, "7 months", {2007, 9}), quotedLines({"No DWG date check conflicts!"}));
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(observer.alerts, 0);
}

TEST_F(CheckDatesTest, DrawingFromNextMonthIsNeverReported)
{
    for (const char* limit : {"1 month", "1 year", "over 5 years"})
        EXPECT_EQ(run({{"AHEAD", kOct2007}}, limit, {2007, 9}), quotedLines({"No DWG date check conflicts!"})) << limit;
}

TEST_F(CheckDatesTest, SlotsWithoutTimeSkippedLastSlotLookedAt)
{
    EXPECT_EQ(run({{"", 0.0}, {"NOTIME", 0.0}, {"LAST", kMar2006}}, "1 month", {2007, 9}),
              quotedLines({"LAST" + std::string(28, '.') + " [over 1 month old] :1 year(s) & 6 month(s)."}));
    EXPECT_EQ(observer.elapsedCalls, 1); // one drawing looked at
}

TEST_F(CheckDatesTest, LinesInSlotOrderWithRisingCounter)
{
    EXPECT_EQ(run({{"B", kMar2006}, {"NEW", 2454360.5}, {"A", kSep2006}}, "6 months", {2007, 9}),
              quotedLines({"B" + std::string(31, '.') + " [over 6 months old] :1 year(s) & 6 month(s).",
                           "A" + std::string(31, '.') + " [over 6 months old] :1 year(s) & 0 month(s)."}));
    EXPECT_EQ(observer.counters, (std::vector<std::pair<ConflictCounter, std::int64_t>>{{ConflictCounter::Age, 1},
                                                                                        {ConflictCounter::Age, 2}}));
    EXPECT_EQ(observer.elapsedCalls, 3);
    EXPECT_EQ(observer.alerts, 1);
}

TEST_F(CheckDatesTest, OptionOffWritesOnlyItsLine)
{
    EXPECT_EQ(run({{"BRACKET", kMar2006}}, "1 month", {2007, 9}, false),
              quotedLines({"DWG date conflicts not reported due to option selection."}));
    EXPECT_TRUE(observer.statuses.empty());
    EXPECT_TRUE(observer.counters.empty());
    EXPECT_EQ(observer.alerts, 0);
}

} // namespace
} // namespace darv
