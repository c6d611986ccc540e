// The collection run: the walk, one record per drawing, the warnings, the fatal path and a run over
// real drawings that finds planted copies.
#include "collect/CollectionRun.h"
#include "collect/DwgCadHost.h"
#include "compare/CollectedDataFile.h"
#include "compare/CompareTestSupport.h"
#include "projects/ProjectLock.h"
#include "support/FailingFolders.h"
#include "support/FakeCadHost.h"
#include "support/UpperCase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace darv;
using namespace darv::test;

namespace {

// Records what a collection run shows; what a comparison shows goes to the comparison's recorder.
class RecordingCollectView : public CollectView
{
public:
    void setStatusText(const std::string& text) override { rec.setStatusText(text); }
    void setElapsedText(const std::string& text) override { rec.setElapsedText(text); }
    void setCounterText(CounterLabel label, const std::string& text) override { rec.setCounterText(label, text); }
    void showPicture(Picture picture, const std::string& path) override { rec.showPicture(picture, path); }
    void setVerdict(Verdict verdict) override { rec.setVerdict(verdict); }
    bool playAlertSound(const std::string& path) override { return rec.playAlertSound(path); }
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        rec.showMessage(icon, title, text);
    }
    void clearTimeOption() override { rec.clearTimeOption(); }
    void disableRecompare() override { rec.disableRecompare(); }
    void setProgress(double percent) override { progress.push_back(percent); }
    void setLocationText(const std::string& text) override { locationTexts.push_back(text); }
    void setSubfolderText(const std::string& text) override { subfolderTexts.push_back(text); }
    void setFileText(const std::string& text) override { fileTexts.push_back(text); }
    void enableRecompare() override { rec.events.push_back("enable recompare"); }
    void endApplication() override { ++endCalls; }

    RecordingView rec;
    std::vector<double> progress;
    std::vector<std::string> locationTexts;
    std::vector<std::string> subfolderTexts;
    std::vector<std::string> fileTexts;
    int endCalls = 0;
};

// A data folder with its sub-folders and a folder of drawings beside it.
struct CollectFixture
{
    TempFolder root;
    std::string data = root.file("data");
    std::string drawings = root.file("drawings");
    RecordingCollectView view;
    FakeClock clock;
    CompareRun compare{view, clock};
    FakeCadHost host;
    CollectionRun run{view, compare, host, upperAscii};

    CollectFixture()
    {
        makeDataFolders(data);
        fs::create_directories(drawings);
    }
    void drawing(const std::string& relative, FakeDrawing content = {})
    {
        fs::create_directories((fs::path(drawings) / relative).parent_path());
        writeFile((fs::path(drawings) / relative).string(), "x");
        host.drawings[fs::path(relative).filename().string()] = std::move(content);
    }
    std::string collected() const { return readFile(data + "/compares/P.cmp"); }
    CollectResult collect(const std::vector<std::string>& locations, CompareOptions options = {})
    {
        options.entity = "LINE";
        return run.collect(data, "P", locations, options);
    }
};

FakeDrawing lines(std::initializer_list<const char*> handles, double created)
{
    FakeDrawing d;
    for (const char* h : handles)
        d.entities.push_back({"AcDbLine", h});
    d.entities.push_back({"AcDbCircle", "FF"});
    d.tdcreate = created;
    return d;
}

} // namespace

TEST(CollectionRun, EmptyLocationListDeletesDataWarnsTwiceAndStillCompares)
{
    CollectFixture f;
    writeFile(f.data + "/compares/P.cmp", "\"OLD,1,,END\"\r\n");
    const CollectResult result = f.collect({});
    EXPECT_FALSE(fs::exists(f.data + "/compares/P.cmp"));
    ASSERT_EQ(f.view.rec.messages.size(), 2u);
    EXPECT_EQ(f.view.rec.messages[0].text, "Sorry, no locations to compare!");
    EXPECT_EQ(f.view.rec.messages[1].text, "Sorry, no drawings found!");
    EXPECT_EQ(f.view.rec.messages[0].title, "DARV Warning");
    EXPECT_EQ(f.view.rec.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(result.drawingCount, 0);
    EXPECT_EQ(result.compare.outcome, CompareOutcome::NothingCounted);
    EXPECT_EQ(f.view.rec.events.back(), "enable recompare");
    EXPECT_EQ(f.view.rec.counters[0], "0000");
}

TEST(CollectionRun, RecordsInWalkOrderWithSubfolderMarkers)
{
    CollectFixture f;
    f.drawing("Class/b.dwg", lines({"2F", "30"}, 2454001.60418981));
    f.drawing("Class/A.dwg", lines({}, 2454001.5));
    f.drawing("Class/Anna/Plan,Rev,3.dwg", lines({"41"}, 2454002.0));
    f.drawing("Class/Anna/Deep/deeper.dwg", lines({"99"}, 2454003.0));
    const CollectResult result = f.collect({"+" + f.drawings + "/Class"});
    EXPECT_EQ(result.drawingCount, 3);
    EXPECT_EQ(f.collected(),
              quotedLines({"A,2454001.5,,END", "B,2454001.60418981,2F$30$,END", "PLAN_REV_3,2454002,41$,END"}));
    EXPECT_EQ(f.view.fileTexts, (std::vector<std::string>{"A.dwg", "b.dwg", "/Anna/Plan,Rev,3.dwg", ""}));
    EXPECT_EQ(f.view.locationTexts.front(), f.drawings + "/Class");
    EXPECT_EQ(f.view.subfolderTexts.front(), "All sub folders included (one level only)...");
    ASSERT_GE(f.view.progress.size(), 3u);
    EXPECT_DOUBLE_EQ(f.view.progress[0], 100.0 / 3.0);
    EXPECT_DOUBLE_EQ(f.view.progress[2], 100.0);
    EXPECT_DOUBLE_EQ(f.view.progress.back(), 0.0);
    EXPECT_EQ(f.host.liveSelectionSets, 0);
    EXPECT_EQ(f.view.rec.status, "Complete!");
}

TEST(CollectionRun, SubfolderDrawingsOnlyWithPlusMarker)
{
    CollectFixture f;
    f.drawing("Class/Anna/a.dwg", lines({"1"}, 2454001.5));
    f.collect({"-" + f.drawings + "/Class"});
    EXPECT_FALSE(fs::exists(f.data + "/compares/P.cmp"));
    EXPECT_EQ(f.view.subfolderTexts.front(), "This folder only...");
    f.collect({"+" + f.drawings + "/Class"});
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END"}));
}

TEST(CollectionRun, SameSubfolderCollectedTwice)
{
    CollectFixture f;
    f.drawing("Class/Anna/a.dwg", lines({"1"}, 2454001.5));
    f.collect({"+" + f.drawings + "/Class", "-" + f.drawings + "/Class/Anna"});
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END", "A,2454001.5,1$,END"}));
}

TEST(CollectionRun, SecondRunReplacesTheWholeFile)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/b.dwg", lines({"2"}, 2454001.75));
    f.collect({"-" + f.drawings + "/Class"});
    fs::remove(f.drawings + "/Class/b.dwg");
    f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END"}));
}

TEST(CollectionRun, UnreadableDrawingGetsEmptyTimeNotThePreviousOne)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    writeFile(f.drawings + "/Class/broken.dwg", "not a drawing");
    f.drawing("Class/c.dwg", lines({"1"}, 2454009.5));
    std::vector<DrawingOutcome> outcomes;
    f.run.drawingRead = [&](const DrawingOutcome& o) { outcomes.push_back(o); };
    f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END", "BROKEN,,,END", "C,2454009.5,1$,END"}));
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_FALSE(outcomes[1].opened);
    EXPECT_EQ(outcomes[1].failure, "cannot open");
    // No time conflict between the broken drawing and its neighbour.
    EXPECT_EQ(readFile(f.data + "/time conflicts/P.tim"), quotedLines({"No time conflicts!"}));
}

// What could be read of a damaged drawing is collected and compared, but the run names it and gives no all-clear.
TEST(CollectionRun, PartlyReadDrawingIsNamedAndGivesNoAllClear)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    FakeDrawing damaged = lines({"2"}, 2454009.5);
    damaged.warnings = {"the object map's page 1 fails its CRC check", "5 of the 9 objects could not be read"};
    f.drawing("Class/b.dwg", damaged);
    std::vector<DrawingOutcome> outcomes;
    f.run.drawingRead = [&](const DrawingOutcome& o) { outcomes.push_back(o); };
    const CollectResult result = f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END", "B,2454009.5,2$,END"}));
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].warnings.empty());
    EXPECT_EQ(outcomes[1].warnings, damaged.warnings);
    EXPECT_EQ(result.compare.partlyRead, 1);
    EXPECT_FALSE(result.compare.alertGiven);
    EXPECT_EQ(f.view.rec.verdict, Verdict::None);
    ASSERT_FALSE(f.view.rec.messages.empty());
    EXPECT_EQ(f.view.rec.messages.back().title, "DARV Warning");
    EXPECT_NE(f.view.rec.messages.back().text.find("1 of the 2 drawings could be read only in part"),
              std::string::npos);
    EXPECT_NE(f.view.rec.messages.back().text.find("\n  B: the object map's page 1 fails its CRC check"),
              std::string::npos);
    // Recompare still knows it from the list kept beside the collected data.
    CompareOptions options;
    options.entity = "LINE";
    const CompareResult again = f.compare.recompare(f.data, "P", {"-" + f.drawings + "/Class"}, options);
    EXPECT_EQ(again.partlyRead, 1);
    EXPECT_EQ(f.view.rec.verdict, Verdict::None);
    EXPECT_NE(f.view.rec.messages.back().text.find("\n  B: the object map's page 1 fails its CRC check"),
              std::string::npos);
    // The next run over undamaged drawings forgets it, and so does the Recompare after it.
    f.host.drawings["b.dwg"].warnings.clear();
    EXPECT_EQ(f.collect({"-" + f.drawings + "/Class"}).compare.partlyRead, 0);
    EXPECT_FALSE(fs::exists(f.data + "/compares/P.prt"));
    EXPECT_EQ(f.compare.recompare(f.data, "P", {"-" + f.drawings + "/Class"}, options).partlyRead, 0);
}

TEST(CollectionRun, EachFailingHostOperationStillGivesARecord)
{
    for (const char* operation : {"open", "activate", "add", "select", "enumerate", "tdcreate", "delete", "close"}) {
        CollectFixture f;
        f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
        f.host.failing.insert(operation);
        f.collect({"-" + f.drawings + "/Class"});
        const std::string line = f.collected();
        EXPECT_EQ(line.substr(0, 3), "\"A,") << operation;
        EXPECT_NE(line.find(",END\"\r\n"), std::string::npos) << operation;
        const std::string op = operation;
        const bool keepsHandles = op == "tdcreate" || op == "delete" || op == "close";
        const bool keepsTime = op != "open" && op != "activate" && op != "tdcreate";
        EXPECT_EQ(line.find("1$") != std::string::npos, keepsHandles) << operation;
        EXPECT_EQ(line.find("2454001.5") != std::string::npos, keepsTime) << operation;
    }
}

TEST(CollectionRun, EntityTextMatchesExactly)
{
    CollectFixture f;
    FakeDrawing d;
    d.entities = {{"AcDbLine", "A1"}, {"AcDbLineX", "A2"}, {"acdbline", "A3"}, {"AcDbPolyline", "A4"}};
    d.tdcreate = 2454001.5;
    f.drawing("Class/a.dwg", d);
    CompareOptions options;
    f.run.collect(f.data, "P", {"-" + f.drawings + "/Class"}, options); // entity "RAY"
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,,END"}));
    options.entity = "line"; // typed in lower case: matches nothing
    f.run.collect(f.data, "P", {"-" + f.drawings + "/Class"}, options);
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,,END"}));
    options.entity = "LINE";
    f.run.collect(f.data, "P", {"-" + f.drawings + "/Class"}, options);
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,A1$A3$,END"}));
    options.entity = "";
    f.run.collect(f.data, "P", {"-" + f.drawings + "/Class"}, options);
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,,END"}));
}

TEST(CollectionRun, ReadOnlyCollectedDataIsFatal)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    const std::string cmp = f.data + "/compares/P.cmp";
    writeFile(cmp, "\"OLD,1,,END\"\r\n");
    ::chmod(cmp.c_str(), 0444);
    const CollectResult result = f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(result.outcome, CollectOutcome::Fatal);
    ASSERT_EQ(f.view.rec.messages.size(), 1u);
    EXPECT_EQ(f.view.rec.messages[0].title, "DARV Fatal Error");
    EXPECT_EQ(f.view.rec.messages[0].icon, MessageIcon::Critical);
    const std::string& text = f.view.rec.messages[0].text;
    EXPECT_EQ(text.substr(text.size() - 17), " - Aborting DARV!");
    EXPECT_EQ(f.view.endCalls, 1);
    EXPECT_TRUE(f.host.calls.empty());
    EXPECT_EQ(readFile(cmp), "\"OLD,1,,END\"\r\n");
    ::chmod(cmp.c_str(), 0644);
}

TEST(CollectionRun, MissingComparesFolderIsFatal)
{
    CollectFixture f;
    fs::remove_all(f.data + "/compares");
    f.collect({});
    ASSERT_EQ(f.view.rec.messages.size(), 1u);
    EXPECT_EQ(f.view.rec.messages[0].title, "DARV Fatal Error");
    EXPECT_EQ(f.view.endCalls, 1);
}

// Real drawings through the built-in reader: a drawing handed in twice under two students' names is
// found by both checks; two different drawings are not.
// A failed write of the records must never end in a verdict over what was lost.
TEST(CollectionRun, RecordsThatCannotBeWrittenStopTheRunBeforeAnyVerdict)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/b.dwg", lines({"1"}, 2454001.5));
    writeFile(f.data + "/time conflicts/P.tim", "\"old report\"\r\n");
    if (!makeReadOnly(f.data + "/compares"))
        GTEST_SKIP() << "cannot make a read-only folder here";
    const CollectResult result = f.collect({"-" + f.drawings + "/Class"});
    unmount(f.data + "/compares");
    EXPECT_EQ(result.outcome, CollectOutcome::Stopped);
    EXPECT_EQ(f.view.rec.status, "Stopped");
    ASSERT_EQ(f.view.rec.messages.size(), 1u);
    EXPECT_EQ(f.view.rec.messages[0].title, "DARV Error");
    EXPECT_NE(f.view.rec.messages[0].text.find("Read-only file system"), std::string::npos);
    EXPECT_NE(f.view.rec.messages[0].text.find("/compares/P.cmp"), std::string::npos);
    EXPECT_EQ(f.view.rec.verdict, Verdict::None);
    EXPECT_NE(f.view.rec.picture, Picture::Check);
    EXPECT_EQ(readFile(f.data + "/time conflicts/P.tim"), "\"old report\"\r\n");
    EXPECT_FALSE(fs::exists(f.data + "/compares/P.cmp"));
}

TEST(CollectionRun, AFullDiskStopsTheRunAndLeavesNoPartOfAClass)
{
    CollectFixture f;
    for (int k = 0; k < 300; ++k)
        f.drawing("Class/d" + std::to_string(k) + ".dwg", lines({"1", "2", "3"}, 2454001.5 + k));
    if (!mountTinyDisk(f.data + "/compares", 16 * 1024))
        GTEST_SKIP() << "cannot mount a small file system here";
    f.host.drawings["d0.dwg"].entities.assign(20000, {"AcDbLine", "ABCDEF"}); // one record larger than the disk
    writeFile(f.data + "/compares/P.cmp", "\"OLD,1,,END\"\r\n");
    const CollectResult result = f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(result.outcome, CollectOutcome::Stopped);
    EXPECT_NE(f.view.rec.messages.at(0).text.find("No space left on device"), std::string::npos);
    // The earlier collected data stays for Recompare, and no temporary file is left.
    EXPECT_EQ(f.collected(), "\"OLD,1,,END\"\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(f.data + "/compares"), fs::directory_iterator()), 1);
    unmount(f.data + "/compares");
}

// A student's folder the teacher cannot list is no empty folder: the class gets no all-clear, and the
// warning names the folder.
TEST(CollectionRun, AFolderThatCannotBeListedIsNoAllClear)
{
    CollectFixture f;
    f.drawing("Class/s01/a.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/s02/b.dwg", lines({"2"}, 2454002.5));
    f.drawing("Class/s03/copy.dwg", lines({"1"}, 2454001.5));
    CollectResult result;
    {
        const UnreadableFolder locked(f.drawings + "/Class/s03");
        result = f.collect({"+" + f.drawings + "/Class"});
    }
    EXPECT_EQ(result.drawingCount, 2);
    EXPECT_EQ(result.compare.unlistedFolders, std::vector<std::string>{f.drawings + "/Class/s03"});
    EXPECT_EQ(f.view.rec.verdict, Verdict::None);
    EXPECT_NE(f.view.rec.picture, Picture::Check);
    ASSERT_EQ(f.view.rec.messages.size(), 1u);
    EXPECT_EQ(f.view.rec.messages[0].title, "DARV Warning");
    EXPECT_NE(f.view.rec.messages[0].text.find("Class/s03 (Permission denied)"), std::string::npos)
        << f.view.rec.messages[0].text;
}

TEST(CollectionRun, ADeadRunsTemporaryFileIsRemovedByTheNextRun)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = f.data + "/compares/.darv-" + std::to_string(child) + "-a1b2c3";
    const std::string alive = f.data + "/compares/.darv-" + std::to_string(::getppid()) + "-d4e5f6";
    writeFile(dead, "\"HALF");
    writeFile(alive, "\"ANOTHER RUN");
    f.collect({"-" + f.drawings + "/Class"});
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_EQ(f.collected(), quotedLines({"A,2454001.5,1$,END"}));
}

TEST(CollectionRun, NoProjectOrABusyProjectTouchesNothing)
{
    CollectFixture f;
    f.drawing("Class/a.dwg", lines({"1"}, 2454001.5));
    CompareOptions options;
    f.run.collect(f.data, "", {"-" + f.drawings + "/Class"}, options);
    EXPECT_TRUE(fs::is_empty(f.data + "/compares"));
    EXPECT_TRUE(f.host.calls.empty());

    const ProjectLock other = ProjectLock::acquire(f.data, "P");
    ASSERT_TRUE(other.held());
    writeFile(f.data + "/compares/P.cmp", "\"OLD,1,,END\"\r\n");
    EXPECT_EQ(f.collect({"-" + f.drawings + "/Class"}).outcome, CollectOutcome::Busy);
    EXPECT_EQ(f.view.rec.messages.back().text, ProjectLock::busyMessage("P", ::getpid()));
    EXPECT_EQ(f.collected(), "\"OLD,1,,END\"\r\n");
    EXPECT_TRUE(f.host.calls.empty());
}

// Linux file names may hold line ends and bytes that are not UTF-8: each drawing keeps one record line
// of its own, and two different names never become one.
TEST(CollectionRun, NamesWithLineEndsAndForeignBytesKeepTheirRecords)
{
    CollectFixture f;
    f.drawing("Class/two\nlines.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/carriage\rreturn.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/caf\xC9.dwg", lines({"1"}, 2454001.5));
    f.drawing("Class/caf\xE9.dwg", lines({"1"}, 2454001.5));
    f.collect({"-" + f.drawings + "/Class"});
    EXPECT_EQ(f.collected(), quotedLines({"CAF\xC9,2454001.5,1$,END", "CAF\xE9,2454001.5,1$,END",
                                          "CARRIAGE_RETURN,2454001.5,1$,END", "TWO_LINES,2454001.5,1$,END"}));
    // The record file reads back whole: four records, and the run compares them.
    EXPECT_EQ(readCollectedData(f.data + "/compares/P.cmp", 4).records.size(), 4u);
    EXPECT_EQ(f.view.rec.status, "Complete!");
}

TEST(CollectionRun, FindsPlantedCopiesAmongRealDrawings)
{
    const fs::path corpus = DARV_CORPUS_DIR;
    if (!fs::exists(corpus / "example_2000.dwg") || !fs::exists(corpus / "sample_AC1015.dwg"))
        GTEST_SKIP() << "drawing corpus not present";
    TempFolder root;
    const std::string data = root.file("data");
    makeDataFolders(data);
    const fs::path students = root.file("students");
    fs::create_directories(students / "Anna");
    fs::create_directories(students / "Ben");
    fs::create_directories(students / "Cleo");
    fs::copy_file(corpus / "example_2000.dwg", students / "Anna" / "bracket.dwg");
    fs::copy_file(corpus / "example_2000.dwg", students / "Ben" / "my bracket.dwg");
    fs::copy_file(corpus / "sample_AC1015.dwg", students / "Cleo" / "plate.dwg");

    RecordingCollectView view;
    FakeClock clock;
    CompareRun compare(view, clock);
    DwgCadHost host;
    host.attach();
    CollectionRun run(view, compare, host, upperAscii);
    CompareOptions options;
    options.entity = "LINE";
    const CollectResult result = run.collect(data, "P", {"+" + students.string()}, options);
    EXPECT_EQ(result.drawingCount, 3);
    EXPECT_EQ(result.compare.timeConflicts, 1);
    EXPECT_EQ(result.compare.handleConflicts, 1);
    const std::string tim = readFile(data + "/time conflicts/P.tim");
    EXPECT_EQ(tim.rfind("\"BRACKET vs. MY BRACKET at ", 0), 0u) << tim;
    const std::string hnd = readFile(data + "/handle conflicts/P.hnd");
    EXPECT_EQ(hnd.rfind("\"** BRACKET vs. MY BRACKET has a 100% LINE handle match [", 0), 0u) << hnd;
    EXPECT_EQ(hnd.find("PLATE"), std::string::npos);
    EXPECT_EQ(view.rec.verdict, Verdict::Darv);
}
