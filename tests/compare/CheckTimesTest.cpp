// Tests of the creation-time check: time of day, report lines byte for byte, pair order, counter and alert.
#include "compare/CheckTimes.h"
#include "compare/JulianDate.h"

#include "compare/CompareTestSupport.h"

#include <gtest/gtest.h>

namespace darv {
namespace {

using test::quotedLines;
using test::readFile;

CompareTables tablesOf(const std::vector<std::pair<std::string, double>>& slots)
{
    CompareTables tables(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        tables.names[k] = slots[k].first;
        tables.times[k] = slots[k].second;
    }
    return tables;
}

struct TimeCase
{
    double stamp;
    std::int64_t hours, minutes, seconds;
};

TEST(TimeOfDay, CutsSecondsTheWayTheCheckAlwaysDid)
{
    const TimeCase cases[] = {
        {2454001.5, 12, 0, 0},        {2454001.60418981, 14, 30, 1}, // a hair below 14:30:02
        {2454001.00034722, 0, 0, 29}, {2454001.01041667, 0, 15, 0}, // stored a hair above 15 minutes: 900.00027 seconds
        {2454001.0, 0, 0, 0},         {2454001.99998843, 23, 59, 59},
    };
    for (const TimeCase& c : cases) {
        const TimeOfDay tod = timeOfDay(c.stamp);
        EXPECT_EQ(tod.hours, c.hours) << c.stamp;
        EXPECT_EQ(tod.minutes, c.minutes) << c.stamp;
        EXPECT_EQ(tod.seconds, c.seconds) << c.stamp;
    }
}

TEST(JulianToDate, ConvertsAcrossTheCalendarSwitch)
{
    struct Case
    {
        double t;
        std::int64_t year, month, day;
    };
    const Case cases[] = {
        {2454001.5, 2006, 9, 22},  // the fraction is not added
        {2299160.5, 1582, 10, 4},  // last day of the Julian calendar
        {2299161.0, 1582, 10, 15}, // first day of the Gregorian calendar
        {2454001.99, 2006, 9, 22}, {2451544.5, 1999, 12, 31}, {2451545.0, 2000, 1, 1}, {2454160.5, 2007, 2, 28},
        {2454161.5, 2007, 3, 1},   {2453795.5, 2006, 2, 28},  {2453796.0, 2006, 3, 1},
    };
    for (const Case& c : cases) {
        const CalendarDate date = julianToDate(c.t);
        EXPECT_EQ(date.year, c.year) << c.t;
        EXPECT_EQ(date.month, c.month) << c.t;
        EXPECT_EQ(date.day, c.day) << c.t;
    }
}

TEST(JulianToDate, OutOfRangeStampsGiveADateWithoutOverflow)
{
    const CalendarDate huge = julianToDate(1e300);
    EXPECT_GT(huge.year, 1'000'000'000);
    const CalendarDate tiny = julianToDate(-1e300);
    EXPECT_LT(tiny.year, -1'000'000'000);
}

class CheckTimesTest : public ::testing::Test
{
protected:
    // The check as a run uses it: a staged report that takes the old one's place at the end.
    std::int64_t check(const CompareTables& tables, bool enabled, const std::string& path)
    {
        ReportFile file(path);
        const std::int64_t conflicts = checkTimes(tables, enabled, file, observer, alertGiven);
        file.commit();
        return conflicts;
    }

    test::TempFolder folder;
    std::string report = folder.file("WEEK3.tim");
    test::RecordingObserver observer;
    bool alertGiven = false;
};

TEST_F(CheckTimesTest, PlateAndBracketAtNoon)
{
    const auto tables = tablesOf({{"PLATE", 2454001.5}, {"BRACKET", 2454001.5}});
    EXPECT_EQ(check(tables, true, report), 1);
    EXPECT_EQ(readFile(report),
              quotedLines({"PLATE vs. BRACKET at 12 hours, 0 minutes, 0 seconds [2454001.5 as Julian]"}));
    EXPECT_EQ(observer.statuses, std::vector<std::string>{"Checking times..."});
    ASSERT_EQ(observer.counters.size(), 1u);
    EXPECT_EQ(observer.counters[0].second, 1);
    EXPECT_EQ(observer.alerts, 1);
    EXPECT_TRUE(alertGiven);
}

TEST_F(CheckTimesTest, TimeOfDayAndStampInTheLine)
{
    const auto tables =
        tablesOf({{"A", 2454001.60418981}, {"B", 2454001.60418981}, {"C", 2454001.00034722}, {"D", 2454001.00034722}});
    EXPECT_EQ(check(tables, true, report), 2);
    EXPECT_EQ(readFile(report),
              quotedLines({"A vs. B at 14 hours, 30 minutes, 1 seconds [2454001.60418981 as Julian]",
                           "C vs. D at 0 hours, 0 minutes, 29 seconds [2454001.00034722 as Julian]"}));
}

TEST_F(CheckTimesTest, ThreeEqualStampsGiveThreePairsInOrder)
{
    const auto tables = tablesOf({{"A", 2454001.5}, {"B", 2454001.5}, {"C", 2454001.5}});
    EXPECT_EQ(check(tables, true, report), 3);
    const std::string tail = " at 12 hours, 0 minutes, 0 seconds [2454001.5 as Julian]";
    EXPECT_EQ(readFile(report), quotedLines({"A vs. B" + tail, "A vs. C" + tail, "B vs. C" + tail}));
    ASSERT_EQ(observer.counters.size(), 3u);
    EXPECT_EQ(observer.counters[2].second, 3);
    // Every pair and the end of every row: 3 pairs + 2 rows.
    EXPECT_EQ(observer.elapsedCalls, 5);
    EXPECT_EQ(observer.alerts, 1);
}

// Many drawings with few stamps, in no order: the same lines, in the same order, as comparing every
// pair of records would give.
TEST_F(CheckTimesTest, ManyEqualStampsGiveEveryPairInRecordOrder)
{
    std::vector<std::pair<std::string, double>> records;
    for (int k = 0; k < 300; ++k)
        records.emplace_back("D" + std::to_string(k), k % 7 == 0 ? 0.0 : 2454001.5 + (k * 37 % 11));
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < records.size(); ++i)
        for (std::size_t j = i + 1; j < records.size(); ++j)
            if (records[i].second != 0.0 && records[i].second == records[j].second)
                expected.push_back("\"" + timeConflictLine(records[i].first, records[j].first, records[i].second) +
                                   "\"\r\n");
    EXPECT_EQ(check(tablesOf(records), true, report), static_cast<std::int64_t>(expected.size()));
    std::string lines;
    for (const std::string& line : expected)
        lines += line;
    EXPECT_EQ(readFile(report), lines);
}

TEST_F(CheckTimesTest, EmptySlotsAndNearStampsAreNoConflict)
{
    const auto tables = tablesOf({{"", 0.0}, {"", 0.0}, {"A", 0.0}, {"B", 2454001.60418981}, {"C", 2454001.60418982}});
    EXPECT_EQ(check(tables, true, report), 0);
    EXPECT_EQ(readFile(report), quotedLines({"No time conflicts!"}));
    EXPECT_TRUE(observer.counters.empty());
    EXPECT_EQ(observer.alerts, 0);
    EXPECT_FALSE(alertGiven);
}

TEST_F(CheckTimesTest, OptionOffWritesOnlyItsLineAndTouchesNothingElse)
{
    test::writeFile(report, "old content");
    const auto tables = tablesOf({{"A", 2454001.5}, {"B", 2454001.5}});
    EXPECT_EQ(check(tables, false, report), 0);
    EXPECT_EQ(readFile(report), quotedLines({"Time conflicts not reported due to option selection."}));
    EXPECT_TRUE(observer.statuses.empty());
    EXPECT_TRUE(observer.counters.empty());
    EXPECT_EQ(observer.elapsedCalls, 0);
    EXPECT_EQ(observer.alerts, 0);
}

TEST_F(CheckTimesTest, NoSecondAlertOnceGivenInTheRun)
{
    alertGiven = true;
    const auto tables = tablesOf({{"A", 2454001.5}, {"B", 2454001.5}});
    EXPECT_EQ(check(tables, true, report), 1);
    EXPECT_EQ(observer.alerts, 0);
}

TEST_F(CheckTimesTest, AReportThatCannotBeWrittenRaisesNoAlert)
{
    ReportFile nowhere(folder.file("no such folder/WEEK3.tim"));
    const auto tables = tablesOf({{"A", 2454001.5}, {"B", 2454001.5}});
    checkTimes(tables, true, nowhere, observer, alertGiven);
    EXPECT_FALSE(nowhere.ok());
    EXPECT_NE(nowhere.error().find("No such file or directory"), std::string::npos) << nowhere.error();
    EXPECT_EQ(observer.alerts, 0);
    EXPECT_FALSE(alertGiven);
}

TEST_F(CheckTimesTest, SingleDrawingHasNoPairs)
{
    const auto tables = tablesOf({{"A", 2454001.5}});
    EXPECT_EQ(check(tables, true, report), 0);
    EXPECT_EQ(readFile(report), quotedLines({"No time conflicts!"}));
    EXPECT_EQ(observer.elapsedCalls, 0);
}

} // namespace
} // namespace darv
