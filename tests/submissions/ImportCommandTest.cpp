// darv2007-cli import: the project and its "+" location, the exit status, and the import's message.
#include "ImportFixture.h"

#include "app/CommandLine.h"
#include "base/DataFolder.h"
#include "projects/QuotedLinesFile.h"
#include "support/UpperCase.h"

#include <sstream>

using namespace darv;
using namespace darv::test;

TEST_F(ImportFixture, commandAddsTheProjectAndItsLocationOnce)
{
    makeDataFolders(data());
    writeArchive(archive("moodle.zip"), ArchiveFormat::Zip,
                 {{"Anna Meier_1_assignsubmission_file_/a.dwg", corpusDrawing(0)},
                  {"Bo Kim_2_assignsubmission_file_/own.zip", "no archive"}});
    std::ostringstream out;
    std::ostringstream err;
    const auto run = [&] {
        out.str({});
        err.str({});
        return runCommandLine({"import", archive("moodle.zip"), "--project", "class", "--data", data()}, {}, upperAscii,
                              out, err);
    };
    EXPECT_EQ(run(), 1) << err.str(); // one entry skipped: not everything can be read
    EXPECT_NE(out.str().find("Bo Kim_2_assignsubmission_file_/own.zip: the archive cannot be unpacked"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("Project CLASS was added"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Location +" + target() + " was added to project CLASS"), std::string::npos);
    EXPECT_TRUE(holds(target() + "/Anna Meier_1/a.dwg", corpusDrawing(0)));

    EXPECT_EQ(run(), 1);
    EXPECT_NE(out.str().find("Nothing changed"), std::string::npos) << out.str();
    EXPECT_EQ(readQuotedLines(projectListPath(data())), std::vector<std::string>{"CLASS"});
    EXPECT_EQ(readQuotedLines(locationFilePath(data(), "CLASS")), std::vector<std::string>{"+" + target()});

    // An import that stops says why, changes nothing and exits with 2.
    writeFile(archive("cut.zip"), readFile(archive("moodle.zip")).substr(0, 100));
    out.str({});
    err.str({});
    EXPECT_EQ(
        runCommandLine({"import", archive("cut.zip"), "--project=CLASS", "--data=" + data()}, {}, upperAscii, out, err),
        2);
    EXPECT_NE(err.str().find("The submissions were not imported: " + archive("cut.zip")), std::string::npos)
        << err.str();
    EXPECT_TRUE(holds(target() + "/Anna Meier_1/a.dwg", corpusDrawing(0)));
    EXPECT_EQ(runCommandLine({"import", archive("moodle.zip"), "--data", data()}, {}, upperAscii, out, err), 2);
    EXPECT_NE(err.str().find("no project given"), std::string::npos);
}

TEST_F(ImportFixture, importedClassIsCollectedAndAnEncryptedDrawingGivesNoAllClear)
{
    if (corpusDrawing(0).rfind("AC10", 0) != 0 || corpusDrawing(0).size() < 1000)
        GTEST_SKIP() << "drawing corpus not present";
    makeDataFolders(data());
    const std::string locked = archiveBytes(scratch(), ArchiveFormat::Zip, {{"secret.dwg", corpusDrawing(2)}}, "pw");
    writeArchive(archive("moodle.zip"), ArchiveFormat::Zip,
                 {{"Anna Meier_1_assignsubmission_file_/a.dwg", corpusDrawing(0)},
                  {"Bo Kim_2_assignsubmission_file_/b.dwg", corpusDrawing(1)},
                  {"Cy Lu_3_assignsubmission_file_/work.zip", locked}});
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runCommandLine({"import", archive("moodle.zip"), "--project", "CLASS", "--data", data()}, {}, upperAscii,
                             out, err),
              1)
        << err.str();
    out.str({});
    err.str({});
    EXPECT_NE(runCommandLine({"collect", "CLASS", "--data", data()}, {}, upperAscii, out, err), 0);
    EXPECT_NE(out.str().find("Files: 0003"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("a.dwg: "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("secret.dwg: cannot be read"), std::string::npos) << err.str();
}
