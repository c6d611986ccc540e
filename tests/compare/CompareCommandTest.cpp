// End-to-end tests of "darv2007-cli compare" on temporary data folders: exit codes, output, report bytes.
#include "app/CompareCommand.h"

#include "base/DataFolder.h"
#include "compare/CollectedDataFile.h"

#include "compare/CompareTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace darv {
namespace {

using test::quotedLines;
using test::readFile;
using test::writeFile;

class CompareCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* sub :
             {"compares", "time conflicts", "handle conflicts", "date conflicts", "projects", "class"})
            std::filesystem::create_directories(data.file(sub));
        writeFile(locationFilePath(data.path(), "WEEK3"), quotedLines({"-" + data.file("class")}));
        for (const char* name : {"plate.dwg", "bracket.dwg", "nut.dwg"})
            writeFile(data.file(std::string("class/") + name), "");
    }

    int compare(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return runCompareCommand(args, data.path(), out, err);
    }

    void writeCollected(const std::vector<std::string>& lines)
    {
        std::string content;
        for (const std::string& line : lines)
            content += line;
        writeFile(collectedDataPath(data.path(), "WEEK3"), content);
    }

    void seedOldReports()
    {
        writeFile(timeReportPath(data.path(), "WEEK3"), "old time");
        writeFile(handleReportPath(data.path(), "WEEK3"), "old handles");
        writeFile(ageReportPath(data.path(), "WEEK3"), "old age");
    }

    std::string report(std::string (*path)(const std::string&, const std::string&)) const
    {
        return readFile(path(data.path(), "WEEK3"));
    }

    test::TempFolder data;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CompareCommandTest, ConflictsGiveExitOneAndTheReports)
{
    writeCollected({recordLine("PLATE", 2454001.5, "1$2$3$"), recordLine("BRACKET", 2454001.5, "1$2$3$"),
                    recordLine("NUT", 2454001.60418981, "7$")});
    EXPECT_EQ(compare({"WEEK3", "--data", data.path(), "--entity", "LINE", "--checks", "time,handles,age", "--age",
                       "over 5 years"}),
              1);
    EXPECT_EQ(report(timeReportPath),
              quotedLines({"PLATE vs. BRACKET at 12 hours, 0 minutes, 0 seconds [2454001.5 as Julian]"}));
    EXPECT_EQ(report(handleReportPath), quotedLines({"** PLATE vs. BRACKET has a 100% LINE handle match [3 total]."}));
    EXPECT_EQ(report(ageReportPath), quotedLines({"No DWG date check conflicts!"}));
    const std::string printed = out.str();
    EXPECT_NE(printed.find("Files: 0003\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Time Conflicts: 0001\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Entity Conflicts: 0001\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Age Conflicts: 0000\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Complete!\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("DARV!!!\n"), std::string::npos) << printed;
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST_F(CompareCommandTest, DefaultsAreTheWindowsInitialOptions)
{
    writeCollected({recordLine("PLATE", 2454001.5, "1$"), recordLine("BRACKET", 2454001.7, "2$"),
                    recordLine("NUT", 2454001.9, "3$")});
    EXPECT_EQ(compare({"WEEK3"}), 0); // default data folder, checks time,handles, percent 100, entity RAY
    EXPECT_EQ(report(timeReportPath), quotedLines({"No time conflicts!"}));
    EXPECT_EQ(report(handleReportPath), quotedLines({"No entity [RAY] conflicts >= 100% match!"}));
    EXPECT_EQ(report(ageReportPath), quotedLines({"DWG date conflicts not reported due to option selection."}));
    EXPECT_NE(out.str().find("NO DARV's\n"), std::string::npos);

    writeFile(data.file("default.fil"), "9\r\n"); // the entity saved at the last exit: LINE
    EXPECT_EQ(compare({"week3", "--percent", "85.5", "--age", "2 YEARS"}), 0); // names are upper-case
    EXPECT_EQ(report(handleReportPath), quotedLines({"No entity [LINE] conflicts >= 85.5% match!"}));
}

TEST_F(CompareCommandTest, OptionsThatMeanNothingAreRefused)
{
    writeCollected({recordLine("PLATE", 2454001.5, "1$")});
    for (const std::vector<std::string>& words : {std::vector<std::string>{"WEEK3", "--percent", "abc"},
                                                  {"WEEK3", "--percent", "85abc"},
                                                  {"WEEK3", "--percent", "101"},
                                                  {"WEEK3", "--age", "1 Month!"},
                                                  {"WEEK3", "--age", "6 weeks"}}) {
        err.str("");
        EXPECT_EQ(compare(words), 2) << words[2];
        EXPECT_TRUE(err.str().find("'1 month'") != std::string::npos || err.str().find("0 to 100") != std::string::npos)
            << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(data.file("time conflicts/WEEK3.tim")));
}

TEST_F(CompareCommandTest, EmptyDataWithTimeCheckChangesNoFile)
{
    seedOldReports();
    writeCollected({});
    EXPECT_EQ(compare({"WEEK3", "--data", data.path()}), 2);
    EXPECT_NE(err.str().find("XXXXXXavailable due to no entity matches - turning OFF."), std::string::npos);
    EXPECT_EQ(report(timeReportPath), "old time");
    EXPECT_EQ(report(handleReportPath), "old handles");
    EXPECT_EQ(report(ageReportPath), "old age");
    EXPECT_EQ(readFile(collectedDataPath(data.path(), "WEEK3")), "");

    // Without the time check the run goes ahead, but nothing compared is no success.
    EXPECT_EQ(compare({"WEEK3", "--checks", "handles"}), 2);
    EXPECT_NE(err.str().find("3 of the 3 drawings were not compared"), std::string::npos) << err.str();
    EXPECT_EQ(out.str().find("NO DARV's"), std::string::npos) << out.str();
    EXPECT_EQ(report(timeReportPath), quotedLines({"Time conflicts not reported due to option selection."}));
    EXPECT_EQ(report(handleReportPath), quotedLines({"No entity [RAY] conflicts >= 100% match!"}));
}

TEST_F(CompareCommandTest, DamagedDataIsAnErrorAndKeepsTheReports)
{
    seedOldReports();
    writeCollected({recordLine("PLATE", 2454001.5, "1$"), "\"BROKEN\"\r\n"});
    EXPECT_EQ(compare({"WEEK3"}), 2);
    EXPECT_NE(err.str().find("DARV Warning"), std::string::npos);
    EXPECT_NE(err.str().find("Line 2"), std::string::npos);
    EXPECT_EQ(report(timeReportPath), "old time");
    EXPECT_EQ(report(handleReportPath), "old handles");
}

TEST_F(CompareCommandTest, ProjectWithoutDrawingsIsAnError)
{
    seedOldReports();
    EXPECT_EQ(compare({"NOSUCH", "--checks", "handles"}), 2);
    EXPECT_NE(err.str().find("nothing was compared"), std::string::npos);
    EXPECT_EQ(report(handleReportPath), "old handles");
}

TEST_F(CompareCommandTest, BadWordsAreRefused)
{
    const std::vector<std::vector<std::string>> refused = {
        {},
        {""},
        {"a/b"},
        {"."},
        {".."},
        {std::string("WE\0K", 4)},
        {"WEEK3", "WEEK4"},
        {"WEEK3", "--nope", "x"},
        {"WEEK3", "--percent"},
        {"WEEK3", "--checks", "time,size"},
        {"WEEK3", "--checks", ""},
        {"WEEK3", "--data", data.file("no such folder")},
    };
    for (const auto& args : refused) {
        EXPECT_EQ(compare(args), 2) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_EQ(runCompareCommand({"WEEK3"}, "", out, err), 2); // no data folder known
}

TEST_F(CompareCommandTest, OptionsAlsoWithEqualsSign)
{
    writeCollected({recordLine("PLATE", 2454001.5, "1$"), recordLine("BRACKET", 2453000.5, "2$")});
    EXPECT_EQ(compare({"--checks=age", "--age=1 year", "WEEK3", "--data=" + data.path()}), 1);
    // The age depends on today's date; the lines and their order are what is checked here.
    const std::string ages = report(ageReportPath);
    const auto plate = ages.find("\"PLATE" + std::string(27, '.') + " [over 1 year old] :");
    const auto bracket = ages.find("\"BRACKET" + std::string(25, '.') + " [over 1 year old] :");
    ASSERT_NE(plate, std::string::npos) << ages;
    ASSERT_NE(bracket, std::string::npos) << ages;
    EXPECT_LT(plate, bracket);
    EXPECT_EQ(report(timeReportPath), quotedLines({"Time conflicts not reported due to option selection."}));
}

} // namespace
} // namespace darv
