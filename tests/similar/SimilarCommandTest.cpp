// "darv2007-cli similar" end to end on a generated class: exit status, progress and warning lines, the report's
// bytes and its JSON, remembered templates, and the errors: bad options, a held lock, a report that cannot be
// written.
#include "app/SimilarCommand.h"
#include "app/DataFolder.h"
#include "projects/ProjectLock.h"
#include "similar/EvidenceStore.h"
#include "similar/PlantedClass.h"
#include "support/FailingFolders.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

namespace darv::test {
namespace {

class SimilarCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClassGenerator generator(bracketAssignment(8), 8000);
        c = plantClass(folder, generator, "WEEK 6", 8);
    }

    int similar(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"WEEK 6", "--data", folder.data()});
        return runSimilarCommand(args, "", out, err, folder.source());
    }

    std::string report() const { return readFile(similarReportPath(folder.data(), "WEEK 6")); }

    ClassFolder folder;
    PlantedClass c;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(SimilarCommandTest, PairsGiveExitOneTheRankedListTheReportAndTheJson)
{
    ASSERT_EQ(similar({"--template", c.templatePath}), 1) << err.str();
    EXPECT_NE(err.str().find("[1/15] WEEK 6 class/copier dxf/bracket.dwg: read\n"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("1. 100 %   A  WEEK 6 class/copier dxf/bracket.dwg\n"
                             "           B  WEEK 6 class/student 4/bracket.dwg\n"),
              std::string::npos)
        << out.str();
    const std::string text = report();
    std::istringstream lines(text);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line, '\n')) {
        ++count;
        ASSERT_GE(line.size(), 3u);
        EXPECT_EQ(line.front(), '"');
        EXPECT_EQ(line.substr(line.size() - 2), "\"\r") << line;
    }
    EXPECT_GT(count, c.planted.size() * 3);
    EXPECT_NE(text.find("\"Similar drawings in project WEEK 6: 15 drawings compared\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"3. 100 %   A  WEEK 6 class/copier moved/bracket.dwg\"\r\n"
                        "\"           B  WEEK 6 class/student 2/bracket.dwg\"\r\n"
                        "\"    100 % of the geometry of A (3 of 3 details, 13 of 13 shapes) is in B, moved by "
                        "(-83.17, 41.5)\"\r\n"),
              std::string::npos)
        << text;

    ASSERT_EQ(similar({"--json"}), 1) << err.str();
    const auto json = nlohmann::json::parse(out.str());
    EXPECT_EQ(json["project"], "WEEK 6");
    EXPECT_EQ(json["drawings"], 15);
    ASSERT_EQ(json["pairs"].size(), c.planted.size());
    int previous = 100;
    for (const auto& pair : json["pairs"]) {
        EXPECT_TRUE(c.planted.count(orderedPair(pair["a"], pair["b"]))) << pair.dump();
        EXPECT_LE(pair["score"].get<int>(), previous);
        previous = pair["score"];
        EXPECT_GE(previous, 50);
        ASSERT_FALSE(pair["signals"].empty());
        EXPECT_TRUE(pair["signals"][0].contains("kind") && pair["signals"][0].contains("share"));
    }
    EXPECT_TRUE(json["unread"].empty());
}

TEST_F(SimilarCommandTest, TemplatesAreRememberedAndAnUnreadableDrawingIsAWarning)
{
    ASSERT_EQ(similar({"--template", c.templatePath, "--json"}), 1);
    const auto withTemplate = nlohmann::json::parse(out.str());
    similar::EvidenceStore store;
    ASSERT_TRUE(store.open(evidenceStorePath(folder.data())));
    EXPECT_EQ(store.templatePaths(*store.findProject("WEEK 6")),
              std::optional(std::vector<std::string>{c.templatePath}));

    folder.addUnreadable("WEEK 6", "zoe");
    ASSERT_EQ(similar({"--json"}), 1);
    const auto json = nlohmann::json::parse(out.str());
    EXPECT_EQ(json["pairs"], withTemplate["pairs"]);
    ASSERT_EQ(json["unread"].size(), 1u);
    EXPECT_NE(err.str().find("WEEK 6 class/zoe/bracket.dwg: warning: cannot be read: not a DWG drawing (test)"),
              std::string::npos)
        << err.str();
    EXPECT_NE(report().find("\"NOT COMPARED: 1 drawing could not be read and is in no pair above:\"\r\n"
                            "\"    WEEK 6 class/zoe/bracket.dwg: not a DWG drawing (test)\"\r\n"),
              std::string::npos)
        << report();
}

TEST(SimilarCommand, AClassWithoutCopiesExitsZero)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    for (int i = 0; i < 6; ++i)
        folder.add("QUIET", "student " + std::to_string(i), generator.student(i));
    std::ostringstream out, err;
    EXPECT_EQ(runSimilarCommand({"QUIET", "--data", folder.data()}, "", out, err, folder.source()), 0) << err.str();
    EXPECT_EQ(out.str(), "No similar drawings found among 6 drawings.\n");
    EXPECT_NE(readFile(similarReportPath(folder.data(), "QUIET")).find("\"No similar drawings found!\"\r\n"),
              std::string::npos);
}

TEST_F(SimilarCommandTest, BadOptionsAndUnknownEarlierProjectsAreErrors)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--min", "150"},
                                                 {"--share=x"},
                                                 {"--bogus"},
                                                 {"--min"},
                                                 {"OTHER"},
                                                 {"--against", "WEEK 6"},
                                                 {"--against", "NO SUCH"},
                                                 {"--against", "../x"}})
        EXPECT_EQ(similar(args), 2) << args[0];
    EXPECT_NE(err.str().find("'../x' cannot be a project name"), std::string::npos) << err.str();
    ASSERT_EQ(similar({"--against", "NO SUCH"}), 2);
    EXPECT_NE(err.str().find("the earlier project NO SUCH has no stored drawings"), std::string::npos) << err.str();
    out.str("");
    err.str("");
    EXPECT_EQ(runSimilarCommand({}, folder.data(), out, err, folder.source()), 2);
    EXPECT_NE(err.str().find("no project given"), std::string::npos);
}

TEST_F(SimilarCommandTest, AHeldLockEndsTheRunAndTouchesNothing)
{
    const ProjectLock held = ProjectLock::acquire(folder.data(), "WEEK 6");
    ASSERT_TRUE(held.held());
    EXPECT_EQ(similar({}), 2);
    EXPECT_EQ(err.str(), ProjectLock::busyMessage("WEEK 6", ::getpid()) + "\n");
    EXPECT_FALSE(std::filesystem::exists(evidenceStorePath(folder.data())));
    EXPECT_FALSE(std::filesystem::exists(similarReportFolder(folder.data())));
}

TEST_F(SimilarCommandTest, AReportThatCannotBeWrittenIsAnErrorAndTheOldOneStays)
{
    ASSERT_EQ(similar({"--template", c.templatePath}), 1);
    const std::string old = report();
    if (!makeReadOnly(similarReportFolder(folder.data())))
        GTEST_SKIP() << "cannot make a read-only folder here";
    EXPECT_EQ(similar({}), 2);
    EXPECT_NE(err.str().find("the report cannot be written: "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Read-only file system"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(report(), old);
    unmount(similarReportFolder(folder.data()));
}

} // namespace
} // namespace darv::test
