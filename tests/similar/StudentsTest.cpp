// Whose drawing is whose: one student's own sheets are shown apart and never reported, and a student who copied
// several sheets of another is one case.
#include "similar/Students.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarReport.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace darv::test {
namespace {

using similar::DrawingName;
using similar::SimilarPair;
using similar::studentOf;

TEST(Students, AreTheLocationsSubFoldersOfOneProject)
{
    EXPECT_EQ(studentOf(DrawingName{"/t/class/anna/sub/b.dwg", "class/anna/sub/b.dwg", "P"}).name, "anna");
    EXPECT_EQ(studentOf(DrawingName{"/t/class/anna/b.dwg", "class/anna/b.dwg", "P"}).key,
              studentOf(DrawingName{"/t/class/anna/c.dwg", "class/anna/c.dwg", "P"}).key);
    // Another location with a folder of the same names is another class; last year's anna is not this year's.
    EXPECT_NE(studentOf(DrawingName{"/t/class/anna/b.dwg", "class/anna/b.dwg", "P"}).key,
              studentOf(DrawingName{"/u/class/anna/b.dwg", "class/anna/b.dwg", "P"}).key);
    EXPECT_NE(studentOf(DrawingName{"/t/class/anna/b.dwg", "class/anna/b.dwg", "P"}).key,
              studentOf(DrawingName{"/t/class/anna/b.dwg", "class/anna/b.dwg", "Q"}).key);
    // Directly in the location's folder: a student of its own.
    const auto own = studentOf(DrawingName{"/t/class/b.dwg", "class/b.dwg", "P"});
    EXPECT_EQ(own.name, "b.dwg");
    EXPECT_NE(own.key, studentOf(DrawingName{"/t/class/c.dwg", "class/c.dwg", "P"}).key);
}

// Every student hands in two or three sheets, the second saved as from the first, the third a moved detail sheet
// of it; one copier takes both sheets of a classmate, another pastes and moves one.
TEST(Students, OwnSheetsAreShownApartAndCopiesOfSeveralSheetsAreOneCase)
{
    for (const std::uint64_t seed : {3u, 8u}) {
        ClassFolder folder;
        ClassGenerator generator(bracketAssignment(seed), seed * 100);
        const std::string project = "SHEETS";
        folder.addTemplate(generator.templateDrawing());
        std::vector<dwg::Drawing> firsts, seconds;
        std::set<PathPair> own;
        std::vector<std::string> paths;
        CopyTrick saveAs;
        saveAs.wholeFile = true;
        CopyTrick detail;
        detail.move = {140 * generator.scale(), 0, 0};
        detail.deleted = 0.3;
        for (int i = 0; i < 14; ++i) {
            const std::string who = "s" + std::to_string(10 + i);
            firsts.push_back(generator.student(i));
            seconds.push_back(generator.copy(firsts.back(), i, saveAs));
            const std::string a = folder.add(project, who, firsts.back(), "bracket.dwg");
            const std::string b = folder.add(project, who, seconds.back(), "sheet2.dwg");
            own.insert(orderedPair(a, b));
            if (i % 3 == 0) {
                const std::string c = folder.add(project, who, generator.copy(firsts.back(), i, detail), "sheet3.dwg");
                own.insert(orderedPair(a, c));
                own.insert(orderedPair(b, c));
            }
            paths.push_back(a);
            paths.push_back(b);
        }
        const std::string x1 = folder.add(project, "anna", generator.copy(firsts[1], 50, CopyTrick{}), "bracket.dwg");
        const std::string x2 = folder.add(project, "anna", generator.copy(seconds[1], 50, CopyTrick{}), "sheet2.dwg");
        CopyTrick moved;
        moved.move = {-61.25 * generator.scale(), 17 * generator.scale(), 0};
        const std::string y = folder.add(project, "ben", generator.copy(firsts[4], 51, moved), "bracket.dwg");
        own.insert(orderedPair(x1, x2)); // anna's two copies are of one drawing

        const std::atomic<bool> cancel{false};
        similar::SimilarRun run(folder.data(), project, similar::SimilarOptions{}, folder.source());
        const similar::SimilarResult result = run.run(cancel);
        ASSERT_EQ(result.outcome, similar::SimilarOutcome::Complete) << result.message;

        std::set<PathPair> reported, shownApart;
        for (const SimilarPair& pair : result.pairs)
            reported.insert(orderedPair(pair.a.path, pair.b.path));
        for (const SimilarPair& pair : result.sameStudent)
            shownApart.insert(orderedPair(pair.a.path, pair.b.path));
        EXPECT_EQ(shownApart, own) << "seed " << seed;
        const std::set<PathPair> copies{orderedPair(x1, paths[2]), orderedPair(x1, paths[3]), orderedPair(x2, paths[2]),
                                        orderedPair(x2, paths[3]), orderedPair(y, paths[8]),  orderedPair(y, paths[9])};
        EXPECT_EQ(reported, copies) << "seed " << seed;
        ASSERT_EQ(result.pairs.size(), 6u);
        // anna's four drawing pairs with s11 are one case, ben's two with s14 another, each ranked by its
        // strongest pair.
        const std::size_t first = similar::studentsText(result.pairs[0]).find("anna") != std::string::npos ? 0 : 2;
        EXPECT_EQ(similar::caseSize(result.pairs, first), 4u);
        EXPECT_EQ(similar::caseSize(result.pairs, first == 0 ? 4 : 0), 2u);
        for (std::size_t i = first; i < first + 4; ++i)
            EXPECT_NE(similar::studentsText(result.pairs[i]).find("s11"), std::string::npos);

        const std::string text = similar::reportText(project, result, similar::SimilarOptions{});
        EXPECT_NE(text.find("Students anna / s11: 4 drawing pairs"), std::string::npos) << text;
        EXPECT_NE(text.find("SAME STUDENT: " + std::to_string(own.size()) + " pairs"), std::string::npos);
        EXPECT_NE(text.find("(same student)"), std::string::npos);
        // The terminal's listing shows them apart too.
        EXPECT_NE(similar::pairListing(result).find("SAME STUDENT: " + std::to_string(own.size()) + " pairs"),
                  std::string::npos);
        const auto json = nlohmann::json::parse(similar::reportJson(project, result));
        EXPECT_EQ(json["same_student"].size(), own.size());
        EXPECT_EQ(json["pairs"].size(), 6u);
        EXPECT_EQ(json["pairs"][first]["project_b"], project);
    }
}

} // namespace
} // namespace darv::test
