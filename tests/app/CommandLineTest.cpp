// The command line: help texts, dispatch, and "collect" end to end over real drawings.
#include "app/CommandLine.h"
#include "app/BuildInfo.h"
#include "compare/CompareTestSupport.h"
#include "support/FailingFolders.h"
#include "support/UpperCase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST(CommandLine, HelpListsEveryCommandAndUnknownWordsGiveAShortUsage)
{
    Cli cli;
    EXPECT_EQ(cli.run({}), 2);
    EXPECT_NE(cli.err.str().find("usage: darv2007-cli COMMAND"), std::string::npos);
    EXPECT_EQ(cli.run({"--help"}), 0);
    const std::string help = cli.out.str();
    ASSERT_FALSE(commandNames().empty());
    for (const std::string& name : commandNames())
        EXPECT_NE(help.find("\n  " + name + " "), std::string::npos) << name << " is not listed:\n" << help;
    EXPECT_EQ(cli.run({"--version"}), 0);
    EXPECT_EQ(cli.out.str(), std::string("darv2007-cli ") + kVersion + "\n");

    EXPECT_EQ(cli.run({"frobnicate"}), 2);
    EXPECT_NE(cli.err.str().find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_NE(cli.err.str().find("usage:"), std::string::npos);
    EXPECT_EQ(cli.run({"--frobnicate"}), 2);
    EXPECT_NE(cli.err.str().find("unknown option '--frobnicate'"), std::string::npos);
    EXPECT_EQ(cli.run({"help", "frobnicate"}), 2);
    EXPECT_EQ(cli.run({"dwginfo"}), 2);
    EXPECT_EQ(cli.run({"collect"}), 2);
    EXPECT_EQ(cli.run({"collect", "../X", "--data", "/tmp"}), 2);
}

TEST(CommandLine, EachCommandShowsItsOptionsAndRefusesOthers)
{
    Cli cli;
    for (const std::string& name : commandNames()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(cli.run({name, "--help"}), 0);
        const std::string help = cli.out.str();
        EXPECT_EQ(help.rfind("usage: darv2007-cli " + name + " ", 0), 0u) << help;
        EXPECT_NE(help.find("\nExit status:\n  0  "), std::string::npos) << help;
        EXPECT_EQ(cli.run({"help", name}), 0);
        EXPECT_EQ(cli.out.str(), help);
        EXPECT_EQ(cli.run({name, "X", "--frobnicate=1"}), 2);
        EXPECT_NE(cli.err.str().find("unknown option '--frobnicate'"), std::string::npos) << cli.err.str();
        EXPECT_NE(cli.err.str().find("usage: darv2007-cli " + name), std::string::npos) << cli.err.str();
    }
    EXPECT_EQ(cli.run({"compare", "-h"}), 0);
    for (const char* option : {"--data DIR", "--checks LIST", "--entity TEXT", "--percent NUMBER", "--age TEXT"})
        EXPECT_NE(cli.out.str().find(option), std::string::npos) << option;
    // A value that starts with "--" belongs to its option, which then refuses it.
    EXPECT_EQ(cli.run({"compare", "W1", "--age", "--5", "--data", "/nonexistent/darv"}), 2);
    EXPECT_NE(cli.err.str().find("--age takes one of"), std::string::npos) << cli.err.str();
    EXPECT_EQ(cli.run({"compare", "W1", "--data", "/nonexistent/darv"}), 2);
    EXPECT_NE(cli.err.str().find("/nonexistent/darv does not exist"), std::string::npos) << cli.err.str();
}

TEST(CommandLine, TheManualPageDescribesEveryCommand)
{
    std::ifstream in(std::string(DARV_MAN_DIR) + "/darv2007-cli.1.in");
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(page.empty());
    for (const std::string& name : commandNames())
        EXPECT_NE(page.find("\n\\fB" + name + "\\fR"), std::string::npos) << name;
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

// A file name is no terminal command: an escape sequence or a bell in it is shown, not acted on; "--"
// ends the options, so a file may be called "--json".
TEST(CommandLine, NamesReachTheTerminalAsTextAndDoubleDashEndsTheOptions)
{
    TempFolder root;
    const std::string strange = root.file("a\x1b[2J\a.dwg");
    writeFile(strange, "");
    Cli cli;
    EXPECT_EQ(cli.run({"dwginfo", "--", strange, "--json"}), 2);
    const std::string shown = cli.out.str();
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_NE(shown.find("file " + root.file("a\\x1B[2J\\x07.dwg")), std::string::npos) << shown;
    EXPECT_NE(shown.find("file --json\nerror "), std::string::npos) << shown;
    EXPECT_EQ(shown.find("{\"file\""), std::string::npos) << "no JSON: --json came after --";
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
