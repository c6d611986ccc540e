// The folder listing shared by the count, the walk and the recount.
#include "projects/FolderListing.h"
#include "base/NameBytes.h"
#include "projects/ProjectName.h"
#include "projects/QuotedLinesFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace darv;

namespace {

class TempFolder
{
public:
    TempFolder()
    {
        std::random_device random;
        m_path = fs::temp_directory_path() / ("darv-listing-" + std::to_string(random()));
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    std::string path(const std::string& relative = {}) const
    {
        return relative.empty() ? m_path.string() : (m_path / relative).string();
    }
    void touch(const std::string& relative) const
    {
        fs::create_directories((m_path / relative).parent_path());
        std::ofstream(m_path / relative) << "x";
    }
    std::string bytes(const std::string& relative) const
    {
        std::ifstream in(m_path / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    fs::path m_path;
};

} // namespace

TEST(FolderListing, DrawingsInAnyLetterCaseWithoutHiddenOrOtherFiles)
{
    TempFolder t;
    for (const char* name : {"b.Dwg", "A.DWG", "c.dwg.bak", ".hidden.dwg", "notes.txt", "dwg", "zeta.dwg"})
        t.touch(name);
    fs::create_directories(t.path("folder.dwg"));
    const auto files = listDrawingFiles(t.path());
    ASSERT_TRUE(files);
    EXPECT_EQ(*files, (std::vector<std::string>{"A.DWG", "b.Dwg", "zeta.dwg"}));
    t.touch("plan.DXF");
    t.touch(".hidden.dxf");
    EXPECT_EQ(*listDrawingFiles(t.path()), *files) << "DXF files only where asked for";
    EXPECT_EQ(*listDrawingFiles(t.path(), DrawingTypes::DwgAndDxf),
              (std::vector<std::string>{"A.DWG", "b.Dwg", "plan.DXF", "zeta.dwg"}));
}

TEST(FolderListing, MissingFolderCannotBeListed)
{
    TempFolder t;
    EXPECT_FALSE(listDrawingFiles(t.path("gone")));
    EXPECT_FALSE(listSubfolders(t.path("gone")));
    EXPECT_FALSE(listDrawingFiles(""));
}

TEST(FolderListing, SortedWithoutRegardToCaseThenByBytes)
{
    std::vector<std::string> names = {"beta", "Alpha", "alpha", "ALPHA2", "a"};
    std::sort(names.begin(), names.end(), listingLess);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "Alpha", "alpha", "ALPHA2", "beta"}));
}

TEST(DrawingCount, MarkersDecideWhetherSubfoldersCount)
{
    TempFolder t;
    for (const char* name : {"Class/a.dwg", "Class/b.dwg", "Class/c.dwg", "Class/Anna/x.dwg", "Class/Anna/y.dwg",
                             "Class/Ben/z.dwg", "Class/Ben/w.dwg", "Class/Ben/v.dwg", "Class/Ben/Deep/deeper.dwg"})
        t.touch(name);
    EXPECT_EQ(countDrawings({"-" + t.path("Class")}, CountFailure::Stop).total, 3);
    EXPECT_EQ(countDrawings({"+" + t.path("Class")}, CountFailure::Stop).total, 8);
    EXPECT_EQ(counterText(countDrawings({"+" + t.path("Class")}, CountFailure::Stop).total), "0008");
    // A folder listed twice is counted twice.
    EXPECT_EQ(countDrawings({"+" + t.path("Class"), "-" + t.path("Class/Anna")}, CountFailure::Stop).total, 10);
    EXPECT_EQ(countDrawings({}, CountFailure::Stop).total, 0);
}

TEST(DrawingCount, FailingFolderStopsOrIsSkipped)
{
    TempFolder t;
    t.touch("A/one.dwg");
    t.touch("C/two.dwg");
    const std::vector<std::string> entries = {"-" + t.path("A"), "-" + t.path("B"), "-" + t.path("C")};
    const DrawingCount stopped = countDrawings(entries, CountFailure::Stop);
    EXPECT_TRUE(stopped.failed);
    const DrawingCount skipped = countDrawings(entries, CountFailure::Skip);
    EXPECT_FALSE(skipped.failed);
    EXPECT_EQ(skipped.total, 2);
}

TEST(DrawingCount, CounterPatternShowsEveryDigit)
{
    EXPECT_EQ(counterText(0), "0000");
    EXPECT_EQ(counterText(7), "0007");
    EXPECT_EQ(counterText(12345), "12345");
    EXPECT_EQ(counterText(40000), "40000");
    EXPECT_EQ(counterText(5000000000LL), "5000000000");
}

TEST(DrawingWalk, WalkOrderAndShownNames)
{
    TempFolder t;
    for (const char* name : {"Class/b.dwg", "Class/A.dwg", "Class/Zed/z.dwg", "Class/anna/a.dwg", "Other/o.dwg"})
        t.touch(name);
    std::vector<std::string> shown;
    std::vector<std::string> paths;
    std::vector<std::string> starts;
    WalkCallbacks callbacks;
    callbacks.locationStarted = [&](std::size_t, const std::string& folder, bool subs) {
        starts.push_back(folder + (subs ? " +" : " -"));
    };
    callbacks.drawing = [&](const WalkStep& step) {
        shown.push_back(step.shownName);
        paths.push_back(step.fullPath);
    };
    walkDrawings({"+" + t.path("Class"), "-" + t.path("Other"), "-" + t.path("Missing")}, callbacks);
    EXPECT_EQ(shown, (std::vector<std::string>{"A.dwg", "b.dwg", "/anna/a.dwg", "/Zed/z.dwg", "o.dwg"}));
    EXPECT_EQ(paths.front(), t.path("Class") + "/A.dwg");
    EXPECT_EQ(paths[2], t.path("Class") + "/anna/a.dwg");
    EXPECT_EQ(starts.size(), 3u);
}

TEST(DrawingWalk, RootFolderGivesNoDoubledSeparator)
{
    EXPECT_EQ(joinPath("/", "a.dwg"), "/a.dwg");
    EXPECT_EQ(joinPath("/home/ann", "a.dwg"), "/home/ann/a.dwg");
}

TEST(QuotedLines, ExactBytesAndRoundTrip)
{
    TempFolder t;
    const std::string file = t.path("projects.fil");
    ASSERT_TRUE(appendQuotedLine(file, "TUTORIAL 3"));
    EXPECT_EQ(t.bytes("projects.fil"), "\"TUTORIAL 3\"\r\n");
    EXPECT_EQ(t.bytes("projects.fil").size(), 14u);
    ASSERT_TRUE(appendQuotedLine(file, "SAY \"HI\", ÄRGER"));
    const auto back = readQuotedLines(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (std::vector<std::string>{"TUTORIAL 3", "SAY \"HI\", ÄRGER"}));
}

TEST(QuotedLines, ShortLinesAndMissingFile)
{
    TempFolder t;
    {
        std::ofstream out(t.path("f"), std::ios::binary);
        out << "\"A\"\r\n\"\"\r\nx\r\n\r\n\"B\"\n";
    }
    EXPECT_EQ(*readQuotedLines(t.path("f")), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_FALSE(readQuotedLines(t.path("missing")));
}

TEST(QuotedLines, RewriteReplacesWholeFileAndKeepsOldOneOnFailure)
{
    TempFolder t;
    const std::string file = t.path("list.prj");
    ASSERT_TRUE(appendQuotedLine(file, "-/b"));
    ASSERT_TRUE(appendQuotedLine(file, "-/a"));
    ASSERT_TRUE(rewriteQuotedLines(file, {"-/a"}));
    EXPECT_EQ(t.bytes("list.prj"), "\"-/a\"\r\n");
    ASSERT_TRUE(rewriteQuotedLines(file, {}));
    EXPECT_EQ(t.bytes("list.prj"), "");
    // A folder that cannot be written: the rewrite fails with the reason and nothing else is touched.
    const FileWrite failed = rewriteQuotedLines(t.path("no such folder/list.prj"), {"-/a"});
    ASSERT_FALSE(failed);
    const std::string& error = failed.error().text;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_EQ(fs::directory_iterator(t.path()) != fs::directory_iterator(), true);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(t.path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST(ProjectNames, UnsafeNamesAreThoseThatLeaveTheFolder)
{
    for (const std::string& name :
         std::vector<std::string>{".", "..", "A/B", "/ETC", std::string("A\0B", 3), "WEEK\n3", "A\x1B[2J", "A\x7F"})
        EXPECT_TRUE(isUnsafeProjectName(name)) << name;
    for (const std::string name : {"TUTORIAL 3", "SAY \"HI\"", "ÄRGER", "...", ".HIDDEN", "A\\B"})
        EXPECT_FALSE(isUnsafeProjectName(name)) << name;
}

// Names that are not UTF-8 keep their bytes; only valid runs follow the Unicode rule.
TEST(NameBytes, UpperCasingKeepsForeignBytes)
{
    const auto upper = [](const std::string& run) {
        std::string text = run;
        for (char& c : text)
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        return text;
    };
    EXPECT_EQ(upperCaseName("caf\xC9 b\xE9", upper), "CAF\xC9 B\xE9");
    EXPECT_EQ(upperCaseName("\xC3\xA9t\xC3", upper), "\xC3\xA9T\xC3"); // a cut sequence at the end
    // An overlong "/" and a surrogate are no valid UTF-8 and are kept byte by byte.
    const auto pieces = splitUtf8Runs("a\xC0\xAFz\xED\xA0\x80");
    std::vector<bool> valid;
    for (const NamePiece& piece : pieces)
        valid.push_back(piece.validUtf8);
    EXPECT_EQ(valid, (std::vector<bool>{true, false, false, true, false, false, false}));
}
