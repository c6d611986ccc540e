// Tests of the comparison run: Recompare's empty-data case, the resets, the recount, the alert per run,
// damaged collected data, and what the panel shows at the end.
#include "compare/CompareRun.h"

#include "base/DataFolder.h"
#include "compare/CollectedDataFile.h"

#include "compare/CompareTestSupport.h"
#include "projects/ProjectLock.h"
#include "support/FailingFolders.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace darv {
namespace {

using test::quotedLines;
using test::readFile;
using test::writeFile;

const char* const kProject = "WEEK3";

class CompareRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* sub :
             {"compares", "time conflicts", "handle conflicts", "date conflicts", "resources", "projects", "class"})
            std::filesystem::create_directories(data.file(sub));
        options.ageCheck = true;
        options.age = "6 months";
    }

    // Puts count empty drawing files into the class folder (the recount only lists them).
    void makeDrawings(int count)
    {
        for (int k = 0; k < count; ++k)
            writeFile(data.file("class/D" + std::to_string(k) + ".dwg"), "");
    }

    void writeRecords(const std::vector<std::string>& lines)
    {
        std::string content;
        for (const std::string& line : lines)
            content += line;
        writeFile(cmpPath(), content);
    }

    void seedOldReports()
    {
        writeFile(timeReportPath(data.path(), kProject), "old time");
        writeFile(handleReportPath(data.path(), kProject), "old handles");
        writeFile(ageReportPath(data.path(), kProject), "old age");
    }

    void expectOldReports()
    {
        EXPECT_EQ(readFile(timeReportPath(data.path(), kProject)), "old time");
        EXPECT_EQ(readFile(handleReportPath(data.path(), kProject)), "old handles");
        EXPECT_EQ(readFile(ageReportPath(data.path(), kProject)), "old age");
    }

    CompareResult recompare() { return run.recompare(data.path(), kProject, locations, options); }
    std::string cmpPath() const { return collectedDataPath(data.path(), kProject); }
    std::string timeReport() const { return readFile(timeReportPath(data.path(), kProject)); }
    std::string handleReport() const { return readFile(handleReportPath(data.path(), kProject)); }
    std::string ageReport() const { return readFile(ageReportPath(data.path(), kProject)); }
    bool sawEvent(const std::string& event) const
    {
        return std::find(view.events.begin(), view.events.end(), event) != view.events.end();
    }

    test::TempFolder data;
    test::RecordingView view;
    test::FakeClock clock;
    CompareRun run{view, clock};
    CompareOptions options;
    std::vector<std::string> locations{"-" + data.file("class")};
};

TEST_F(CompareRunTest, EmptyOrMissingDataWithTimeMatchesTurnsTheOptionOff)
{
    seedOldReports();
    makeDrawings(2);
    for (bool missing : {true, false}) {
        view = {};
        if (!missing)
            writeFile(cmpPath(), "");
        const CompareResult result = recompare();
        EXPECT_EQ(result.outcome, CompareOutcome::NoCollectedData);
        EXPECT_EQ(view.events,
                  (std::vector<std::string>{"message Darv2007", "clear time option", "disable recompare"}));
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(view.messages[0].text, "XXXXXXavailable due to no entity matches - turning OFF.");
        expectOldReports();
    }
}

// Nothing was compared, so nothing may look like an all-clear: the checks run, the run says so.
TEST_F(CompareRunTest, EmptyDataWithoutTimeMatchesRunsButGivesNoAllClear)
{
    makeDrawings(2);
    writeFile(cmpPath(), "");
    options.timeCheck = false;
    const CompareResult result = recompare();
    EXPECT_EQ(result.outcome, CompareOutcome::Complete);
    EXPECT_EQ(result.notCompared, 2);
    EXPECT_EQ(view.status, "Complete!");
    EXPECT_EQ(view.picture, Picture::Logo);
    EXPECT_EQ(view.verdict, Verdict::None);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].title, "DARV Warning");
    EXPECT_NE(view.messages[0].text.find("2 of the 2 drawings were not compared"), std::string::npos);
    EXPECT_EQ(view.counters[0], "0002");
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(view.counters[k], "0000");
    EXPECT_EQ(timeReport(), quotedLines({"Time conflicts not reported due to option selection."}));
    EXPECT_EQ(handleReport(), quotedLines({"No entity [RAY] conflicts >= 100% match!"}));
    EXPECT_EQ(ageReport(), quotedLines({"No DWG date check conflicts!"}));
    EXPECT_EQ(view.sounds, 0);
}

TEST_F(CompareRunTest, ResetsInOrderThenChecksThenComplete)
{
    makeDrawings(3);
    writeRecords({recordLine("PLATE", 2454001.5, "1$2$"), recordLine("BRACKET", 2454001.5, "7$"),
                  recordLine("NUT", 2454001.6, "9$")});
    const CompareResult result = recompare();
    ASSERT_EQ(result.outcome, CompareOutcome::Complete);
    const std::vector<std::string> start(view.events.begin(), view.events.begin() + 9);
    EXPECT_EQ(start, (std::vector<std::string>{"counter time 0000", "counter handle 0000", "counter age 0000",
                                               "status Comparing...", "elapsed ",
                                               "picture " + resourcePath(data.path(), "darvlogo.jpg"),
                                               "verdict NO DARV's", "counter files 0003", "status Checking times..."}));
    EXPECT_EQ(result.timeConflicts, 1);
    EXPECT_EQ(result.handleConflicts, 0);
    EXPECT_EQ(result.ageConflicts, 3);
    EXPECT_EQ(timeReport(), quotedLines({"PLATE vs. BRACKET at 12 hours, 0 minutes, 0 seconds [2454001.5 as Julian]"}));
    EXPECT_EQ(view.events.back(), "status Complete!");
    // The alert came once, from the time check: sound, verdict, conflict picture; no all-clear picture after it.
    EXPECT_EQ(view.sounds, 1);
    EXPECT_EQ(view.verdict, Verdict::Darv);
    EXPECT_EQ(view.picture, Picture::Wrong);
    EXPECT_EQ(view.picturePath, resourcePath(data.path(), "darvwrong.jpg"));
    EXPECT_TRUE(sawEvent("sound " + resourcePath(data.path(), "conflict.wav")));
    EXPECT_EQ(view.counters[1], "0001");
    EXPECT_EQ(view.counters[3], "0003");
    EXPECT_TRUE(result.alertGiven);
}

TEST_F(CompareRunTest, AlertRaisedAgainOnASecondRecompare)
{
    makeDrawings(2);
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.5, "1$")});
    EXPECT_TRUE(recompare().alertGiven);
    EXPECT_EQ(view.sounds, 1);
    EXPECT_TRUE(recompare().alertGiven);
    EXPECT_EQ(view.sounds, 2);
    EXPECT_EQ(view.verdict, Verdict::Darv);
    EXPECT_EQ(view.picture, Picture::Wrong);
}

TEST_F(CompareRunTest, RunCompareOnItsOwnKeepsTheFlagUntilTheNextRunBegins)
{
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.5, "1$")});
    run.beginRun();
    EXPECT_EQ(run.runCompare(data.path(), kProject, 2, options).outcome, CompareOutcome::Complete);
    EXPECT_EQ(view.sounds, 1);
    EXPECT_TRUE(run.alertGiven());
    run.runCompare(data.path(), kProject, 2, options); // same run: the alert is not raised twice
    EXPECT_EQ(view.sounds, 1);
    run.beginRun();
    EXPECT_FALSE(run.alertGiven());
    run.runCompare(data.path(), kProject, 2, options);
    EXPECT_EQ(view.sounds, 2);
    // The run proper makes no panel resets of its own: the caller did them.
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "status Comparing..."), 0);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "verdict NO DARV's"), 0);
}

TEST_F(CompareRunTest, OnlyTheAgeCheckRaisesTheAlertAtItsEnd)
{
    makeDrawings(2);
    writeRecords({recordLine("A", 2453805.5, "1$"), recordLine("B", 2453806.5, "2$")});
    recompare();
    const auto sound =
        std::find(view.events.begin(), view.events.end(), "sound " + resourcePath(data.path(), "conflict.wav"));
    const auto dates = std::find(view.events.begin(), view.events.end(), "status Checking dates...");
    ASSERT_NE(sound, view.events.end());
    EXPECT_LT(dates, sound);
    EXPECT_EQ(timeReport(), quotedLines({"No time conflicts!"}));
    EXPECT_EQ(handleReport(), quotedLines({"No entity [RAY] conflicts >= 100% match!"}));
}

TEST_F(CompareRunTest, FewerRecordsThanDrawingsLeavesEmptySlots)
{
    makeDrawings(3);
    writeRecords({recordLine("A", 2454001.5, "1$2$")});
    options.percent = "0";
    options.entity = "LINE";
    const CompareResult result = recompare();
    ASSERT_EQ(result.outcome, CompareOutcome::Complete);
    EXPECT_EQ(timeReport(), quotedLines({"No time conflicts!"}));
    EXPECT_EQ(handleReport(),
              quotedLines({"A vs.  has a 0% / 100% LINE handle match.", "A vs.  has a 0% / 100% LINE handle match."}));
    EXPECT_EQ(ageReport(), quotedLines({"A" + std::string(31, '.') + " [over 6 months old] :1 year(s) & 0 month(s)."}));
}

TEST_F(CompareRunTest, MoreRecordsThanDrawingsStopsAndKeepsTheReports)
{
    makeDrawings(2);
    seedOldReports();
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.5, "1$"), recordLine("C", 0, "")});
    const CompareResult result = recompare();
    EXPECT_EQ(result.outcome, CompareOutcome::Stopped);
    EXPECT_EQ(view.status, "Stopped");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(view.messages[0].title, "DARV Warning");
    EXPECT_NE(view.messages[0].text.find("Line 3"), std::string::npos);
    EXPECT_NE(view.messages[0].text.find(cmpPath()), std::string::npos);
    EXPECT_NE(view.messages[0].text.find("new collection run"), std::string::npos);
    expectOldReports();
    EXPECT_EQ(view.sounds, 0);
}

TEST_F(CompareRunTest, DamagedRecordStopsBeforeAnyReportIsWritten)
{
    makeDrawings(4);
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"\"B,2454001.5,1$\"\r\n", "fewer than three commas"},
        {"B,2454001.5,1$,END\r\n", "double quotes"},
        {"\r\n", "double quotes"},
    };
    for (const auto& [line, reason] : damaged) {
        seedOldReports();
        view = {};
        writeRecords({recordLine("A", 2454001.5, "1$"), line, recordLine("C", 2454001.5, "1$")});
        EXPECT_EQ(recompare().outcome, CompareOutcome::Stopped);
        EXPECT_EQ(view.status, "Stopped");
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_NE(view.messages[0].text.find("Line 2"), std::string::npos) << view.messages[0].text;
        EXPECT_NE(view.messages[0].text.find(reason), std::string::npos) << view.messages[0].text;
        expectOldReports();
    }
}

TEST_F(CompareRunTest, UnreadableDataStopsWithAWarning)
{
    makeDrawings(1);
    std::filesystem::create_directories(cmpPath()); // a folder where the file should be
    seedOldReports();
    options.timeCheck = false;
    EXPECT_EQ(recompare().outcome, CompareOutcome::Stopped);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("cannot be read"), std::string::npos);
    expectOldReports();
}

TEST_F(CompareRunTest, NoDrawingCountedEndsBeforeReading)
{
    seedOldReports();
    writeRecords({recordLine("A", 2454001.5, "1$")});
    locations = {"-" + data.file("no such folder"), "+" + data.file("class")};
    const CompareResult result = recompare();
    EXPECT_EQ(result.outcome, CompareOutcome::NothingCounted);
    EXPECT_EQ(view.status, "Comparing...");
    EXPECT_EQ(view.counters[0], "0000");
    EXPECT_EQ(view.picture, Picture::Logo);
    expectOldReports();
}

TEST_F(CompareRunTest, RecountSkipsFoldersThatCannotBeListed)
{
    makeDrawings(7);
    writeRecords({recordLine("A", 2454001.5, "1$")});
    locations = {"-" + data.file("gone"), "-" + data.file("class")};
    EXPECT_EQ(recompare().drawingCount, 7);
    EXPECT_EQ(view.counters[0], "0007");
}

TEST_F(CompareRunTest, TimeFieldEmptyOrNotANumberMeansNoTimeStamp)
{
    makeDrawings(3);
    writeRecords({"\"A,,1$,END\"\r\n", "\"B,abc,2$,END\"\r\n", "\"C,,3$,END\"\r\n"});
    const CompareResult result = recompare();
    ASSERT_EQ(result.outcome, CompareOutcome::Complete);
    EXPECT_EQ(timeReport(), quotedLines({"No time conflicts!"}));
    EXPECT_EQ(ageReport(), quotedLines({"No DWG date check conflicts!"}));
}

TEST_F(CompareRunTest, ElapsedTimeShownAsTheClockMoves)
{
    makeDrawings(2);
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.7, "2$")});
    clock.step = 1;
    recompare();
    EXPECT_EQ(view.elapsed.rfind("Elapsed Time: 00:00:", 0), 0u) << view.elapsed;
    EXPECT_NE(view.elapsed, "Elapsed Time: 00:00:00");
}

TEST(ElapsedText, HoursOfTheDayMinutesSeconds)
{
    EXPECT_EQ(elapsedText(0), "Elapsed Time: 00:00:00");
    EXPECT_EQ(elapsedText(3723), "Elapsed Time: 01:02:03");
    EXPECT_EQ(elapsedText(90061), "Elapsed Time: 01:01:01"); // a day and more shows the rest below a day
    EXPECT_EQ(elapsedText(-5), "Elapsed Time: 00:00:00");
}

// A report that cannot be written stops the run: no verdict, no all-clear, the old reports whole.
TEST_F(CompareRunTest, AReportThatCannotBeWrittenStopsWithoutVerdict)
{
    makeDrawings(2);
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.5, "1$")});
    seedOldReports();
    if (!test::makeReadOnly(data.file("handle conflicts")))
        GTEST_SKIP() << "cannot make a read-only folder here";
    const CompareResult result = recompare();
    test::unmount(data.file("handle conflicts"));
    EXPECT_EQ(result.outcome, CompareOutcome::Stopped);
    EXPECT_EQ(view.status, "Stopped");
    EXPECT_FALSE(sawEvent("status Complete!"));
    EXPECT_EQ(view.verdict, Verdict::None);
    EXPECT_EQ(view.picture, Picture::Logo);
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().title, "DARV Error");
    EXPECT_NE(view.messages.back().text.find("handle conflicts/WEEK3.hnd: Read-only file system"), std::string::npos)
        << view.messages.back().text;
    expectOldReports();
}

TEST_F(CompareRunTest, NoProjectOrABusyProjectTouchesNothing)
{
    makeDrawings(2);
    writeRecords({recordLine("A", 2454001.5, "1$"), recordLine("B", 2454001.5, "1$")});
    seedOldReports();
    EXPECT_EQ(run.recompare(data.path(), "", locations, options).outcome, CompareOutcome::Stopped);
    EXPECT_FALSE(std::filesystem::exists(data.file("time conflicts/.tim")));

    const ProjectLock other = ProjectLock::acquire(data.path(), kProject);
    ASSERT_TRUE(other.held());
    EXPECT_EQ(recompare().outcome, CompareOutcome::Busy);
    EXPECT_EQ(view.messages.back().title, "DARV Warning");
    EXPECT_EQ(view.messages.back().text, ProjectLock::busyMessage(kProject, ::getpid()));
    expectOldReports();
}

// A drawing that could not be read when collected has no time stamp: conflicts among the others are
// still shown, but "none" is no all-clear.
TEST_F(CompareRunTest, UnreadDrawingsPreventTheAllClearButNotTheAlert)
{
    makeDrawings(3);
    options.ageCheck = false;
    writeRecords(
        {recordLine("A", 2454001.5, "1$"), recordLine("BROKEN", std::nullopt, ""), recordLine("C", 2454002.5, "2$")});
    recompare();
    EXPECT_EQ(view.verdict, Verdict::None);
    EXPECT_NE(view.picture, Picture::Check);
    EXPECT_NE(view.messages.at(0).text.find("\n  BROKEN"), std::string::npos);

    writeRecords(
        {recordLine("A", 2454001.5, "1$"), recordLine("BROKEN", std::nullopt, ""), recordLine("C", 2454001.5, "2$")});
    const CompareResult result = recompare();
    EXPECT_TRUE(result.alertGiven);
    EXPECT_EQ(view.verdict, Verdict::Darv);
}

// Indexing thousands of long handle lists takes seconds: the status must move meanwhile.
TEST_F(CompareRunTest, IndexingManyHandlesShowsProgress)
{
    makeDrawings(3);
    std::string many;
    for (int k = 0; k < 30000; ++k)
        many += std::to_string(k) + "$";
    writeRecords({recordLine("A", 0, many), recordLine("B", 0, many), recordLine("C", 0, many)});
    options.timeCheck = false;
    recompare();
    EXPECT_TRUE(sawEvent("status Indexing  3 of  6") || sawEvent("status Indexing  2 of  6"));
    EXPECT_EQ(view.status, "Complete!");
}

} // namespace
} // namespace darv
