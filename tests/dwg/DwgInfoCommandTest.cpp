// darv2007-cli dwginfo: the lines it prints for readable and unreadable drawings, and its exit code.
#include "app/DwgInfoCommand.h"

#include "CorpusFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace darv {
namespace {

using darv::test::corpusDir;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class DwgInfoCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_broken = std::filesystem::temp_directory_path() /
                   ("darv_dwginfo_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".dwg");
        std::ofstream(m_broken, std::ios::binary) << "AC1015 but nothing else";
    }
    void TearDown() override { std::filesystem::remove(m_broken); }

    std::filesystem::path m_broken;
};

TEST_F(DwgInfoCommandTest, ReadableDrawing)
{
    const auto path = (corpusDir() / "sample_AC1015.dwg").string();
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({path}, out), 0);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 5u + 169u);
    EXPECT_EQ(lines[0], "file " + path);
    EXPECT_EQ(lines[1], "version AC1015");
    EXPECT_EQ(lines[2], "tdcreate 2459632.47434028"); // TZ=Europe/Berlin (set for the test run)
    EXPECT_EQ(lines[3], "tducreate 2459632.43267361");
    EXPECT_EQ(lines[4], "entities 169");
    EXPECT_EQ(lines[5], "240 AcDbViewport");
    EXPECT_EQ(lines[17], "2C7 AcDbLine");
    EXPECT_EQ(out.str().back(), '\n');
}

TEST_F(DwgInfoCommandTest, R14DrawingHasNoUniversalTime)
{
    const auto path = (corpusDir() / "leader_r14.dwg").string();
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({path}, out), 0);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], "version AC1014");
    EXPECT_EQ(lines[3], "tducreate -");
    EXPECT_EQ(lines[4], "entities 10");
    EXPECT_EQ(lines[5], "72E AcDbLeader");
}

TEST_F(DwgInfoCommandTest, BrokenFileGivesAnErrorLineAndExitCodeTwo)
{
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({m_broken.string()}, out), 2);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "file " + m_broken.string());
    EXPECT_EQ(lines[1].rfind("error truncated", 0), 0u) << lines[1];
}

TEST_F(DwgInfoCommandTest, OneFailureAmongGoodFilesStillReportsAll)
{
    const auto good = (corpusDir() / "leader_r14.dwg").string();
    if (!std::filesystem::exists(good)) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({m_broken.string(), good, "/nonexistent/x.dwg"}, out), 2);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 2u + 15u + 2u);
    EXPECT_EQ(lines[2], "file " + good);
    EXPECT_EQ(lines[17], "file /nonexistent/x.dwg");
    EXPECT_EQ(lines[18].rfind("error cannot read the file", 0), 0u) << lines[18];
}

// A DXF is a drawing too: the same lines, its creation time as the file states it, "format": "dxf" in JSON.
TEST_F(DwgInfoCommandTest, DxfDrawingsAreRead)
{
    const std::filesystem::path dxf = corpusDir().parent_path() / "dxf-corpus" / "sample_AC1015_ascii.dxf";
    if (!std::filesystem::exists(dxf))
        GTEST_SKIP() << "no DXF corpus";
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({dxf.string()}, out), 0);
    EXPECT_NE(out.str().find("\ntdcreate 2459632.47434028\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\nentities 169\n"), std::string::npos) << out.str();
    std::ostringstream json;
    EXPECT_EQ(runDwgInfo({"--json", dxf.string()}, json), 0);
    EXPECT_NE(json.str().find("\"format\":\"dxf\""), std::string::npos);
}

// A drawing with a damaged object map is shown as far as it could be read, with warning lines, and no all-clear.
TEST_F(DwgInfoCommandTest, PartlyReadDrawingWarnsAndExitsTwo)
{
    std::ifstream in(corpusDir() / "example_2000.dwg", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    bytes[0x8DA8B + 40] = static_cast<char>(bytes[0x8DA8B + 40] ^ 0x10); // the object map starts at 0x8DA8B
    std::ofstream(m_broken, std::ios::binary | std::ios::trunc) << bytes;
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({m_broken.string()}, out), 2);
    EXPECT_NE(out.str().find("\nwarning the object map's page 1 fails its CRC check\n"), std::string::npos)
        << out.str();
    std::ostringstream json;
    EXPECT_EQ(runDwgInfo({"--json", m_broken.string()}, json), 2);
    EXPECT_NE(json.str().find("\"warnings\":[\"the object map's page 1 fails its CRC check\""), std::string::npos)
        << json.str();
}

TEST_F(DwgInfoCommandTest, NoFilesPrintsNothing)
{
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({}, out), 0);
    EXPECT_EQ(out.str(), "");
}

} // namespace
} // namespace darv
