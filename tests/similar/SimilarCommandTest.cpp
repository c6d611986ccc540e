// "darv2007-cli similar" end to end on a generated class: exit status, progress and warning lines, the report's
// bytes and its JSON, remembered templates, and the errors: bad options, a held lock, a report that cannot be
// written.
#include "app/SimilarCommand.h"
#include "base/DataFolder.h"
#include "projects/ProjectLock.h"
#include "similar/DepartmentServer.h"
#include "similar/PlantedClass.h"
#include "similar/SqliteEvidenceStore.h"
#include "submissions/Manifest.h"
#include "support/FailingFolders.h"

#include <gtest/gtest.h>

#include <algorithm>

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
                        "\"    13 of 13 rare shapes of A (3 of 3 details) are in B, moved by (-83.17, 41.5)\"\r\n"),
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

// A class imported from a learning platform: the report and the JSON name the students as the manifest does.
TEST_F(SimilarCommandTest, StudentsAreNamedAsTheImportsManifestNamesThem)
{
    submissions::Manifest manifest;
    manifest.project = "WEEK 6";
    for (const auto& [studentFolder, name] : {std::pair{"copier moved", "Zoë Copier"}, {"student 2", "Anna Meier"}}) {
        submissions::ManifestFile file;
        file.student = studentFolder;
        file.file = "bracket.dwg";
        file.displayName = name;
        manifest.files.push_back(file);
    }
    writeFile(folder.root() + "/WEEK 6 class/import.json", submissions::manifestJson(manifest));
    ASSERT_EQ(similar({"--template", c.templatePath}), 1) << err.str();
    EXPECT_NE(report().find("\"Students Zoë Copier / Anna Meier\"\r\n"), std::string::npos) << report();
    ASSERT_EQ(similar({"--json"}), 1) << err.str();
    const auto json = nlohmann::json::parse(out.str());
    const auto named = std::find_if(json["pairs"].begin(), json["pairs"].end(),
                                    [](const auto& pair) { return pair["student_name_a"] == "Zoë Copier"; });
    ASSERT_NE(named, json["pairs"].end()) << out.str();
    EXPECT_EQ((*named)["student_a"], "copier moved");
    EXPECT_EQ((*named)["student_name_b"], "Anna Meier");
    EXPECT_EQ((*named)["student_b"], "student 2");
}

TEST_F(SimilarCommandTest, TemplatesAreRememberedAndAnUnreadableDrawingIsAWarning)
{
    ASSERT_EQ(similar({"--template", c.templatePath, "--json"}), 1);
    const auto withTemplate = nlohmann::json::parse(out.str());
    similar::SqliteEvidenceStore store;
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

// A department server that cannot be reached, refuses the login or holds no store ends the run with exit 2 and
// no verdict, and nothing is kept on this computer instead; a colleague's project is named only on a server.
TEST_F(SimilarCommandTest, AServerThatCannotBeUsedEndsTheRunAndNothingIsKeptHere)
{
    PostgresServer* server = DepartmentServer::server();
    ASSERT_TRUE(server) << DepartmentServer::reason();
    const std::vector<std::pair<std::string, std::string>> servers = {
        {server->unreachable(), "cannot be reached"},
        {server->conninfo("nobody_here"), "nobody_here"},
        {server->conninfo(), "holds no department store"}};
    for (const auto& [address, said] : servers) {
        EXPECT_EQ(similar({"--store", address}), 2) << address;
        EXPECT_NE(err.str().find(said), std::string::npos) << err.str();
        EXPECT_TRUE(out.str().empty()) << out.str();
    }
    EXPECT_FALSE(std::filesystem::exists(evidenceStorePath(folder.data())));
    EXPECT_FALSE(std::filesystem::exists(similarReportFolder(folder.data())));
    EXPECT_EQ(similar({"--against", "bert/WEEK 5"}), 2);
    EXPECT_NE(err.str().find("such projects are on a department server"), std::string::npos) << err.str();
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

namespace darv::test {
namespace {

// Good drawings and one that cannot be read: no all-clear.
TEST(SimilarCommand, NoPairWithAnUnreadDrawingExitsTwoAndNamesIt)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    for (int i = 0; i < 6; ++i)
        folder.add("QUIET", "student " + std::to_string(i), generator.student(i));
    folder.addUnreadable("QUIET", "cut short");
    std::ostringstream out, err;
    EXPECT_EQ(runSimilarCommand({"QUIET", "--data", folder.data()}, "", out, err, folder.source()), 2) << err.str();
    EXPECT_EQ(out.str(), "No similar drawings among the 6 drawings that could be read; 1 could not be read and were "
                         "not compared.\n");
    EXPECT_NE(err.str().find("1 drawing could not be read and was not compared:\n"
                             "    QUIET class/cut short/bracket.dwg: not a DWG drawing (test)\n"),
              std::string::npos)
        << err.str();
    EXPECT_NE(readFile(similarReportPath(folder.data(), "QUIET"))
                  .find("\"No similar drawings among the drawings that could be read - see below.\"\r\n"),
              std::string::npos);
}

// A damaged drawing read only in part is compared on what was read, and keeps the class from the all-clear on
// every run, also when it is taken unchanged from the store.
TEST(SimilarCommand, ADrawingReadOnlyInPartGivesNoAllClearOnEveryRun)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    for (int i = 0; i < 5; ++i)
        folder.add("QUIET", "student " + std::to_string(i), generator.student(i));
    dwg::Drawing damaged = generator.student(5);
    damaged.warnings = {"object map page 2: wrong CRC"};
    folder.add("QUIET", "damaged", damaged);
    for (int run = 0; run < 2; ++run) {
        std::ostringstream out, err;
        EXPECT_EQ(runSimilarCommand({"QUIET", "--data", folder.data()}, "", out, err, folder.source()), 2) << run;
        EXPECT_NE(err.str().find("1 drawing is damaged and was compared only on what could be read:\n"
                                 "    QUIET class/damaged/bracket.dwg: read only in part: object map page 2: wrong "
                                 "CRC\n"),
                  std::string::npos)
            << err.str();
        const std::string report = readFile(similarReportPath(folder.data(), "QUIET"));
        EXPECT_EQ(report.find("No similar drawings found!"), std::string::npos) << report;
        EXPECT_NE(report.find("\"READ ONLY IN PART: 1 drawing is damaged;"), std::string::npos) << report;
    }
    std::ostringstream out, err;
    runSimilarCommand({"QUIET", "--data", folder.data(), "--json"}, "", out, err, folder.source());
    const auto json = nlohmann::json::parse(out.str());
    ASSERT_EQ(json["partial"].size(), 1u);
    EXPECT_EQ(json["drawings"], 6);
}

// A student's folder the teacher cannot list is no folder without drawings: no all-clear, and it is named.
TEST(SimilarCommand, AFolderThatCannotBeListedExitsTwoAndNamesIt)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    for (int i = 0; i < 6; ++i)
        folder.add("QUIET", "student " + std::to_string(i), generator.student(i));
    const std::string locked = folder.add("QUIET", "locked", generator.student(0));
    std::ostringstream out, err;
    {
        const test::UnreadableFolder unreadable(std::filesystem::path(locked).parent_path().string());
        EXPECT_EQ(runSimilarCommand({"QUIET", "--data", folder.data()}, "", out, err, folder.source()), 2) << err.str();
    }
    EXPECT_NE(err.str().find("QUIET class/locked: the folder cannot be read: Permission denied"), std::string::npos)
        << err.str();
}

// Control characters in names are escapes on the terminal and in the report's lines; the JSON keeps every byte of
// a path that is not UTF-8.
TEST(SimilarCommand, ControlCharactersAreEscapedAndTheJsonKeepsThePathsBytes)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    const dwg::Drawing original = generator.student(1);
    folder.add("ODD", "anna\x1b[2J\n", original);
    const std::string latin1 = folder.add("ODD", "caf\xc9", generator.copy(original, 9, CopyTrick{}));
    for (int i = 2; i < 5; ++i)
        folder.add("ODD", "student " + std::to_string(i), generator.student(i));
    std::ostringstream out, err;
    ASSERT_EQ(runSimilarCommand({"ODD", "--data", folder.data()}, "", out, err, folder.source()), 1) << err.str();
    const std::string terminal = out.str() + err.str();
    EXPECT_EQ(terminal.find('\x1b'), std::string::npos);
    EXPECT_NE(terminal.find("ODD class/anna\\x1B[2J\\x0A/bracket.dwg"), std::string::npos) << terminal;
    const std::string text = readFile(similarReportPath(folder.data(), "ODD"));
    EXPECT_NE(text.find("ODD class/anna\\x1B[2J\\x0A/bracket.dwg\"\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_EQ(text.substr(at - 2, 2), "\"\r") << "every LF ends a quoted line";

    out.str("");
    ASSERT_EQ(runSimilarCommand({"ODD", "--data", folder.data(), "--json"}, "", out, err, folder.source()), 1);
    const auto json = nlohmann::json::parse(out.str());
    ASSERT_EQ(json["pairs"].size(), 1u);
    const auto& pair = json["pairs"][0];
    const std::string side = pair.contains("a_bytes") ? "a" : "b";
    ASSERT_TRUE(pair.contains(side + "_bytes")) << pair.dump();
    // base64 of the path's bytes
    std::string decoded;
    const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : pair[side + "_bytes"].get<std::string>()) {
        if (c == '=')
            break;
        bits = (bits << 6) | static_cast<std::uint32_t>(digits.find(c));
        if ((count += 6) >= 8) {
            count -= 8;
            decoded += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    EXPECT_EQ(decoded, latin1);
    const std::string other = side == "a" ? "b" : "a";
    EXPECT_FALSE(pair.contains(other + "_bytes"));
    EXPECT_NE(pair[other].get<std::string>().find("anna\x1b[2J\n"), std::string::npos) << "the JSON keeps the bytes";
}

} // namespace
} // namespace darv::test

namespace darv::test {
namespace {

// A drawing beyond the documented size is refused with a clear reason, not ground through.
TEST(SimilarCommand, ADrawingOfMoreThanTwoMillionPiecesIsNotCompared)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(3), 3000);
    for (int i = 0; i < 6; ++i)
        folder.add("HUGE", "student " + std::to_string(i), generator.student(i));
    dwg::Drawing huge = generator.student(7);
    dwg::Entity outline;
    outline.handle = 0x9999;
    outline.className = "AcDbPolyline";
    dwg::PolylineGeometry polyline;
    polyline.points.resize(2000001);
    for (std::size_t k = 0; k < polyline.points.size(); ++k)
        polyline.points[k] = {static_cast<double>(k % 1000), static_cast<double>(k / 1000), 0};
    outline.geometry = std::move(polyline);
    huge.entities.push_back(std::move(outline));
    folder.add("HUGE", "zoe", huge);
    std::ostringstream out, err;
    EXPECT_EQ(runSimilarCommand({"HUGE", "--data", folder.data()}, "", out, err, folder.source()), 2) << err.str();
    EXPECT_NE(err.str().find("HUGE class/zoe/bracket.dwg: it holds 2,000,0"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("more than the 2,000,000 the similarity check compares in one drawing"), std::string::npos)
        << err.str();
}

} // namespace
} // namespace darv::test
