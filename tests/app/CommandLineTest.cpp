// The command line: dispatch, and "collect" end to end over real drawings.
#include "app/CommandLine.h"
#include "compare/CompareTestSupport.h"
#include "support/FailingFolders.h"
#include "support/UpperCase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace darv;
using namespace darv::test;

namespace {

struct Cli
{
    std::ostringstream out;
    std::ostringstream err;
    int run(const std::vector<std::string>& args, const std::string& dataFolder = {})
    {
        out.str({});
        err.str({});
        return runCommandLine(args, dataFolder, upperAscii, out, err);
    }
};

} // namespace

TEST(CommandLine, UsageAndUnknownCommands)
{
    Cli cli;
    EXPECT_EQ(cli.run({}), 2);
    EXPECT_NE(cli.err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(cli.run({"--help"}), 0);
    EXPECT_NE(cli.out.str().find("collect PROJECT"), std::string::npos);
    EXPECT_EQ(cli.run({"frobnicate"}), 2);
    EXPECT_NE(cli.err.str().find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(cli.run({"dwginfo"}), 2);
    EXPECT_EQ(cli.run({"collect"}), 2);
    EXPECT_EQ(cli.run({"collect", "../X", "--data", "/tmp"}), 2);
}

TEST(CommandLine, CollectFindsCopiesAndWritesWhatCompareWrites)
{
    const fs::path corpus = DARV_CORPUS_DIR;
    if (!fs::exists(corpus / "example_2004.dwg"))
        GTEST_SKIP() << "drawing corpus not present";
    TempFolder root;
    const std::string data = root.file("data");
    makeDataFolders(data);
    const fs::path students = root.file("students");
    fs::create_directories(students / "Anna");
    fs::create_directories(students / "Ben");
    fs::copy_file(corpus / "example_2004.dwg", students / "Anna" / "part.dwg");
    fs::copy_file(corpus / "example_2004.dwg", students / "Ben" / "part copy.dwg");
    writeFile((students / "Ben" / "broken.dwg").string(), "AC1015 but nothing else");
    writeFile(data + "/projects/W1.prj", quotedLines({"+" + students.string()}));

    Cli cli;
    EXPECT_EQ(cli.run({"collect", "W1", "--data", data, "--entity", "LINE"}), 1);
    const std::string progress = cli.err.str();
    EXPECT_NE(progress.find("part.dwg: "), std::string::npos) << progress;
    EXPECT_NE(progress.find("broken.dwg: cannot be read: "), std::string::npos) << progress;
    EXPECT_NE(cli.out.str().find("Files: 0003"), std::string::npos) << cli.out.str();
    EXPECT_NE(cli.out.str().find("DARV!!!"), std::string::npos);
    const std::string collected = readFile(data + "/compares/W1.cmp");
    EXPECT_NE(collected.find("\"BROKEN,,,END\"\r\n"), std::string::npos) << collected;

    const std::string tim = readFile(data + "/time conflicts/W1.tim");
    const std::string hnd = readFile(data + "/handle conflicts/W1.hnd");
    const std::string dat = readFile(data + "/date conflicts/W1.dat");
    EXPECT_EQ(tim.rfind("\"PART vs. PART COPY at ", 0), 0u) << tim;
    EXPECT_EQ(hnd.rfind("\"** PART vs. PART COPY has a 100% LINE handle match [", 0), 0u) << hnd;

    // Comparing the collected data again writes the same reports.
    EXPECT_EQ(cli.run({"compare", "W1", "--data", data, "--entity", "LINE"}), 1);
    EXPECT_EQ(readFile(data + "/time conflicts/W1.tim"), tim);
    EXPECT_EQ(readFile(data + "/handle conflicts/W1.hnd"), hnd);
    EXPECT_EQ(readFile(data + "/date conflicts/W1.dat"), dat);
}

TEST(CommandLine, DwgInfoNamesTheFault)
{
    TempFolder root;
    writeFile(root.file("empty.dwg"), "");
    Cli cli;
    EXPECT_EQ(cli.run({"dwginfo", root.file("empty.dwg")}), 2);
    EXPECT_NE(cli.out.str().find("file " + root.file("empty.dwg") + "\nerror "), std::string::npos) << cli.out.str();
}

// The program itself, as a teacher's script runs it: a collection whose records cannot be written ends
// with exit status 2, no "Complete!" and the old reports untouched.
TEST(CommandLine, CollectIntoAReadOnlyFolderExitsTwoAndKeepsTheReports)
{
#ifndef DARV_CLI_PATH
    GTEST_SKIP() << "the command-line program is not built here";
#else
    TempFolder root;
    const std::string data = root.file("data");
    makeDataFolders(data);
    const fs::path students = root.file("students");
    fs::create_directories(students);
    writeFile((students / "a.dwg").string(), "AC1015 not really a drawing");
    writeFile(data + "/projects/W1.prj", quotedLines({"-" + students.string()}));
    writeFile(data + "/time conflicts/W1.tim", "\"old\"\r\n");
    if (!makeReadOnly(data + "/compares"))
        GTEST_SKIP() << "cannot make a read-only folder here";
    const std::string command = std::string(DARV_CLI_PATH) + " collect W1 --data '" + data + "' 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    const int status = ::pclose(pipe);
    unmount(data + "/compares");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2) << output;
    EXPECT_EQ(output.find("Complete!"), std::string::npos) << output;
    EXPECT_EQ(output.find("NO DARV's"), std::string::npos) << output;
    EXPECT_NE(output.find("Read-only file system"), std::string::npos) << output;
    EXPECT_EQ(readFile(data + "/time conflicts/W1.tim"), "\"old\"\r\n");
#endif
}
