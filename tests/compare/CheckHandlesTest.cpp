// Tests of the handle match check: percentages, thresholds, report lines byte for byte, and the fast count.
#include "compare/CheckHandles.h"
#include "compare/HandleMatcher.h"

#include "compare/CompareTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace darv {
namespace {

using test::quotedLines;
using test::readFile;

// A handle list of count handles numbered from first upward in hex, as the host writes them.
std::string handleRun(int first, int count)
{
    std::string list;
    char buffer[16];
    for (int k = 0; k < count; ++k) {
        std::snprintf(buffer, sizeof buffer, "%X$", first + k);
        list += buffer;
    }
    return list;
}

class CheckHandlesTest : public ::testing::Test
{
protected:
    std::string run(const std::vector<std::pair<std::string, std::string>>& slots, const std::string& percent,
                    const std::string& entity = "LINE")
    {
        CompareTables tables(slots.size());
        for (std::size_t k = 0; k < slots.size(); ++k) {
            tables.names[k] = slots[k].first;
            tables.handles[k] = slots[k].second;
        }
        CompareOptions options;
        options.entity = entity;
        options.percent = percent;
        ReportFile file(report);
        reported = checkHandles(tables, options, file, observer, alertGiven);
        file.commit();
        return readFile(report);
    }

    test::TempFolder folder;
    std::string report = folder.file("WEEK3.hnd");
    test::RecordingObserver observer;
    bool alertGiven = false;
    std::int64_t reported = 0;
};

TEST_F(CheckHandlesTest, FullMatchWhateverTheThreshold)
{
    for (const char* percent : {"100", "0", "90"}) {
        EXPECT_EQ(run({{"PLATE", handleRun(0x100, 40)}, {"PLATE2", handleRun(0x100, 40)}}, percent),
                  quotedLines({"** PLATE vs. PLATE2 has a 100% LINE handle match [40 total]."}))
            << percent;
    }
}

TEST_F(CheckHandlesTest, FirstLargerShows75Of100)
{
    // PLATE 40 handles, PLATE2 35 of which 30 are PLATE's.
    const std::string plate2 = handleRun(0x100, 30) + handleRun(0x900, 5);
    EXPECT_EQ(run({{"PLATE", handleRun(0x100, 40)}, {"PLATE2", plate2}}, "70"),
              quotedLines({"PLATE vs. PLATE2 has a 75% / 100% LINE handle match."}));
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(observer.alerts, 1);
    EXPECT_EQ(run({{"PLATE", handleRun(0x100, 40)}, {"PLATE2", plate2}}, "80"),
              quotedLines({"No entity [LINE] conflicts >= 80% match!"}));
}

TEST_F(CheckHandlesTest, SecondLargerShows100Of75)
{
    const std::string first = handleRun(0x100, 30) + handleRun(0x900, 5);
    EXPECT_EQ(run({{"A", first}, {"B", handleRun(0x100, 40)}}, "70"),
              quotedLines({"A vs. B has a 100% / 75% LINE handle match."}));
}

TEST_F(CheckHandlesTest, AllOfTheSmallerListIsNoFullMatch)
{
    EXPECT_EQ(run({{"A", handleRun(0x100, 20)}, {"B", handleRun(0x100, 40)}}, "50"),
              quotedLines({"A vs. B has a 100% / 50% LINE handle match."}));
    EXPECT_EQ(run({{"A", handleRun(0x100, 20)}, {"B", handleRun(0x100, 40)}}, "51"),
              quotedLines({"No entity [LINE] conflicts >= 51% match!"}));
}

TEST_F(CheckHandlesTest, TwoThirdsShows67ButStaysBelow67)
{
    const std::pair<std::string, std::string> a{"A", "1$2$3$"};
    const std::pair<std::string, std::string> b{"B", "1$2$9$"};
    EXPECT_EQ(run({a, b}, "67"), quotedLines({"No entity [LINE] conflicts >= 67% match!"}));
    EXPECT_EQ(run({a, b}, "66"), quotedLines({"A vs. B has a 100% / 67% LINE handle match."}));
}

TEST_F(CheckHandlesTest, AnEighthShows13)
{
    EXPECT_EQ(run({{"A", handleRun(0x100, 8)}, {"B", handleRun(0x107, 8)}}, "12"),
              quotedLines({"A vs. B has a 100% / 13% LINE handle match."}));
}

TEST_F(CheckHandlesTest, HalfwayValueIsShownAfterRoundingTo15Digits)
{
    // 23 of 40 is 57.49999999999999 in double: shown as 58, yet below a threshold of 57.5.
    const std::string big = handleRun(0x100, 23) + handleRun(0x900, 17);
    EXPECT_EQ(run({{"A", big}, {"B", handleRun(0x100, 23)}}, "57"),
              quotedLines({"A vs. B has a 58% / 100% LINE handle match."}));
    EXPECT_EQ(run({{"A", big}, {"B", handleRun(0x100, 23)}}, "57.5"),
              quotedLines({"No entity [LINE] conflicts >= 57.5% match!"}));
}

TEST_F(CheckHandlesTest, DrawingWithoutHandlesOnlyAtThresholdZero)
{
    EXPECT_EQ(run({{"A", handleRun(0x100, 5)}, {"B", ""}}, "0"),
              quotedLines({"A vs. B has a 0% / 100% LINE handle match."}));
    EXPECT_EQ(run({{"A", handleRun(0x100, 5)}, {"B", ""}}, "1"),
              quotedLines({"No entity [LINE] conflicts >= 1% match!"}));
    // Never the first of a pair: no pair status, nothing reported even at 0.
    observer = {};
    EXPECT_EQ(run({{"B", ""}, {"A", handleRun(0x100, 5)}}, "0"),
              quotedLines({"No entity [LINE] conflicts >= 0% match!"}));
    EXPECT_EQ(observer.statuses, std::vector<std::string>{"Checking handles..."});
    EXPECT_EQ(observer.elapsedCalls, 1); // only the end of the row
}

TEST_F(CheckHandlesTest, EmptyTrailingSlotsReportedOnlyAtThresholdZero)
{
    EXPECT_EQ(run({{"A", handleRun(0x100, 5)}, {"", ""}, {"", ""}}, "0"),
              quotedLines({"A vs.  has a 0% / 100% LINE handle match.", "A vs.  has a 0% / 100% LINE handle match."}));
}

TEST_F(CheckHandlesTest, PairsInOrderWithTheirStatusTexts)
{
    const std::string same = handleRun(0x100, 10);
    EXPECT_EQ(run({{"A", same}, {"B", same}, {"C", same}}, "100"),
              quotedLines({"** A vs. B has a 100% LINE handle match [10 total].",
                           "** A vs. C has a 100% LINE handle match [10 total].",
                           "** B vs. C has a 100% LINE handle match [10 total]."}));
    EXPECT_EQ(observer.statuses, (std::vector<std::string>{"Checking handles...", "Comparing  1 vs.  2",
                                                           "Comparing  1 vs.  3", "Comparing  2 vs.  3"}));
    ASSERT_EQ(observer.counters.size(), 1u); // the counter label is set once, at the end
    EXPECT_EQ(observer.counters[0], std::make_pair(ConflictCounter::Handle, std::int64_t{3}));
    EXPECT_EQ(observer.elapsedCalls, 5);
    EXPECT_EQ(observer.alerts, 1);
}

TEST_F(CheckHandlesTest, NoneFoundQuotesEntityAndPercentTextUnchanged)
{
    EXPECT_EQ(run({{"A", "1$"}, {"B", "2$"}}, "90"), quotedLines({"No entity [LINE] conflicts >= 90% match!"}));
    EXPECT_EQ(run({{"A", "1$"}, {"B", "2$"}}, "85abc", "CIRCLE"),
              quotedLines({"No entity [CIRCLE] conflicts >= 85abc% match!"}));
    EXPECT_TRUE(observer.counters.empty());
    EXPECT_EQ(observer.alerts, 0);
}

TEST_F(CheckHandlesTest, TypedTextCountsByItsLeadingNumber)
{
    // 85abc is threshold 85: 17 of 20 (85%) is reported, 16 of 20 is not.
    const std::string twenty = handleRun(0x100, 20);
    EXPECT_EQ(run({{"A", handleRun(0x100, 17) + "X$Y$Z$"}, {"B", twenty}}, "85abc"),
              quotedLines({"A vs. B has a 100% / 85% LINE handle match."}));
    EXPECT_EQ(run({{"A", handleRun(0x100, 16) + "W$X$Y$Z$"}, {"B", twenty}}, "85abc"),
              quotedLines({"No entity [LINE] conflicts >= 85abc% match!"}));
}

TEST_F(CheckHandlesTest, OptionOffWritesOnlyItsLine)
{
    CompareTables tables(2);
    tables.handles = {"1$", "1$"};
    CompareOptions options;
    options.handleCheck = false;
    ReportFile file(report);
    EXPECT_EQ(checkHandles(tables, options, file, observer, alertGiven), 0);
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readFile(report), quotedLines({"Handle conflicts not reported due to option selection."}));
    EXPECT_TRUE(observer.statuses.empty());
    EXPECT_TRUE(observer.counters.empty());
    EXPECT_EQ(observer.alerts, 0);
}

TEST(PercentThreshold, TakesTheLeadingNumber)
{
    EXPECT_EQ(percentThreshold("100"), 100.0);
    EXPECT_EQ(percentThreshold("85abc"), 85.0);
    EXPECT_EQ(percentThreshold(" 7.5%"), 7.5);
    EXPECT_EQ(percentThreshold("abc"), 0.0);
    EXPECT_EQ(percentThreshold(""), 0.0);
    EXPECT_EQ(percentThreshold("-"), 0.0);
    EXPECT_EQ(percentThreshold("."), 0.0);
    EXPECT_EQ(percentThreshold("-5"), -5.0);
    EXPECT_EQ(percentThreshold("1e1x"), 10.0);
    EXPECT_EQ(percentThreshold("85e"), 85.0);
    EXPECT_EQ(percentThreshold(".5"), 0.5);
}

TEST(ShownPercent, RoundsTo15DigitsThenHalfUp)
{
    EXPECT_EQ(shownPercent(23.0 / 40.0 * 100.0), 58);
    EXPECT_EQ(shownPercent(12.5), 13);
    EXPECT_EQ(shownPercent(2.0 / 3.0 * 100.0), 67);
    EXPECT_EQ(shownPercent(0.0), 0);
    EXPECT_EQ(shownPercent(100.0), 100);
    EXPECT_EQ(shownPercent(0.49), 0);
    EXPECT_EQ(shownPercent(99.5), 100);
}

TEST(HandleList, SplitsAtEveryDollar)
{
    EXPECT_EQ(splitHandleList("2F$30$"), (std::vector<std::string_view>{"2F", "30"}));
    EXPECT_EQ(splitHandleList("2F$30"), (std::vector<std::string_view>{"2F"}));
    EXPECT_EQ(splitHandleList("$$"), (std::vector<std::string_view>{"", ""}));
    EXPECT_TRUE(splitHandleList("").empty());
}

TEST(LiteralMatches, CountsDuplicatesOfTheFirstListEachTime)
{
    EXPECT_EQ(literalMatches(splitHandleList("A$A$B$"), splitHandleList("A$")), 2);
    EXPECT_EQ(literalMatches(splitHandleList("A$"), splitHandleList("A$A$A$")), 1);
    EXPECT_EQ(literalMatches(splitHandleList("$$"), splitHandleList("$")), 2);
    EXPECT_EQ(literalMatches(splitHandleList("a$"), splitHandleList("A$")), 0); // case-sensitive
}

// Random classes of drawings: handles from a pool (small pools make most handles common to many drawings,
// large ones leave most rare), with duplicates inside one list and empty handles now and then.
std::vector<std::string> randomLists(std::mt19937& random, std::size_t drawings, int pool, int longest)
{
    std::vector<std::string> lists(drawings);
    std::uniform_int_distribution<int> length(0, longest);
    std::uniform_int_distribution<int> pick(0, pool - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    for (std::string& list : lists) {
        const int count = length(random);
        std::string previous;
        for (int k = 0; k < count; ++k) {
            std::string handle;
            const int roll = percent(random);
            if (roll < 3)
                handle = "";
            else if (roll < 10 && !previous.empty())
                handle = previous; // the same handle twice in one list
            else
                handle = std::to_string(pick(random));
            list += handle + "$";
            previous = handle;
        }
    }
    return lists;
}

TEST(HandleMatcher, SameCountsAsTheLiteralAlgorithm)
{
    std::mt19937 random(20070901);
    struct Shape
    {
        std::size_t drawings;
        int pool;
        int longest;
    };
    const Shape shapes[] = {{40, 30, 40}, {40, 5000, 60}, {60, 400, 80}, {3, 10, 5}, {1, 10, 5}, {0, 10, 5}};
    for (const Shape& shape : shapes) {
        for (int round = 0; round < 3; ++round) {
            const auto lists = randomLists(random, shape.drawings, shape.pool, shape.longest);
            const HandleMatcher matcher(lists);
            ASSERT_EQ(matcher.size(), lists.size());
            std::vector<std::vector<std::string_view>> split;
            for (const std::string& list : lists)
                split.push_back(splitHandleList(list));
            std::vector<std::int64_t> matches;
            for (std::size_t i = 0; i < lists.size(); ++i) {
                EXPECT_EQ(matcher.entryCount(i), static_cast<std::int64_t>(split[i].size()));
                matcher.matchesFrom(i, matches);
                for (std::size_t j = i + 1; j < lists.size(); ++j)
                    ASSERT_EQ(matches[j], literalMatches(split[i], split[j]))
                        << "pool " << shape.pool << " pair " << i << "," << j;
            }
        }
    }
}

TEST(HandleMatcher, MixOfHandlesInEveryDrawingAndHandlesInOne)
{
    // Handles 0..63 in every drawing (kept as bits), each drawing's own handles (kept in lists), duplicates of both.
    std::vector<std::string> lists;
    for (int d = 0; d < 30; ++d) {
        std::string list =
            handleRun(0, 64) + handleRun(0x10000 + d * 1000, 60) + "5$5$" + handleRun(0x10000 + d * 1000, 3);
        if (d % 7 == 0)
            list += handleRun(0x10000 + (d + 1) * 1000, 20); // shares some of the next drawing's own handles
        lists.push_back(list);
    }
    std::vector<std::vector<std::string_view>> split;
    for (const std::string& list : lists)
        split.push_back(splitHandleList(list));
    const HandleMatcher matcher(lists);
    std::vector<std::int64_t> matches;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        matcher.matchesFrom(i, matches);
        for (std::size_t j = i + 1; j < lists.size(); ++j)
            ASSERT_EQ(matches[j], literalMatches(split[i], split[j])) << i << "," << j;
    }
}

} // namespace
} // namespace darv
