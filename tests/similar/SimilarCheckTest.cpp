// The similarity check on generated classes: every planted copy ranks above every independent pair and is
// reported, no independent pair is, the template never counts, and copies of an earlier year are found; solids
// count by their modeler data's hash.
#include "similar/EntityBlob.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace darv::test {
namespace {

using similar::SimilarOptions;
using similar::SimilarOutcome;
using similar::SimilarPair;
using similar::SimilarResult;

SimilarResult runCheck(const ClassFolder& folder, const std::string& project, SimilarOptions options)
{
    const std::atomic<bool> cancel{false};
    similar::SimilarRun run(folder.data(), project, std::move(options), folder.source());
    SimilarResult result = run.run(cancel);
    EXPECT_EQ(result.outcome, SimilarOutcome::Complete) << result.message;
    return result;
}

PathPair pathsOf(const SimilarPair& pair)
{
    return orderedPair(pair.a.path, pair.b.path);
}

struct ClassCase
{
    const char* name;
    Assignment (*assignment)(std::uint64_t seed);
    std::uint64_t seed;
};

Assignment corpusSample(std::uint64_t)
{
    return corpusAssignment(std::string(DARV_CORPUS_DIR) + "/sample_AC1015.geometry.json");
}

class PlantedCopies : public ::testing::TestWithParam<ClassCase>
{
};

// Scores of every compared pair (threshold 0): the planted ones all at or above 50 % and above every
// independent one; then with the default threshold exactly the planted pairs are reported.
TEST_P(PlantedCopies, RankAboveEveryIndependentPairAndAreTheOnlyOnesReported)
{
    const Assignment assignment = GetParam().assignment(GetParam().seed);
    if (assignment.given.empty())
        GTEST_SKIP() << "drawing corpus not present";
    ClassFolder folder;
    ClassGenerator generator(assignment, GetParam().seed * 1000);
    const PlantedClass c = plantClass(folder, generator, "WEEK 3");
    SimilarOptions options;
    options.templates = std::vector<std::string>{c.templatePath};
    options.minScore = 0;
    const SimilarResult all = runCheck(folder, "WEEK 3", options);
    double lowestPlanted = 100, highestIndependent = 0;
    std::set<PathPair> found;
    for (const SimilarPair& pair : all.pairs) {
        if (c.planted.count(pathsOf(pair))) {
            found.insert(pathsOf(pair));
            lowestPlanted = std::min(lowestPlanted, pair.score);
        } else {
            highestIndependent = std::max(highestIndependent, pair.score);
        }
    }
    EXPECT_EQ(found, c.planted);
    EXPECT_GT(lowestPlanted, highestIndependent);
    EXPECT_GE(lowestPlanted, 50);

    const SimilarResult reported = runCheck(folder, "WEEK 3", SimilarOptions{}); // the template is remembered
    std::set<PathPair> reportedPairs;
    for (const SimilarPair& pair : reported.pairs)
        reportedPairs.insert(pathsOf(pair));
    EXPECT_EQ(reportedPairs, c.planted);
}

INSTANTIATE_TEST_SUITE_P(Assignments, PlantedCopies,
                         ::testing::Values(ClassCase{"bracket", bracketAssignment, 7},
                                           ClassCase{"flange", flangeAssignment, 11},
                                           ClassCase{"corpus_drawing", corpusSample, 3}),
                         [](const auto& param) { return std::string(param.param.name); });

// The template's entities are marked and never matched; the move of the moved copy is the one planted; and a
// class whose template is not named (a start file handed out) gives the same verdict: what everybody has
// counts for nothing.
TEST(SimilarCheck, TheTemplateNeverCountsAndTheMoveIsFound)
{
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(5), 5000);
    const PlantedClass c = plantClass(folder, generator, "WEEK 4");
    SimilarOptions options;
    options.templates = std::vector<std::string>{c.templatePath};
    const SimilarResult result = runCheck(folder, "WEEK 4", options);
    std::set<std::uint64_t> templateHandles;
    for (const dwg::Entity& e : generator.templateDrawing().entities)
        templateHandles.insert(e.handle);
    bool sawMove = false;
    for (const SimilarPair& pair : result.pairs) {
        EXPECT_EQ(pair.templateHandlesA.size(), templateHandles.size()) << pair.a.shownName;
        for (const std::uint64_t handle : pair.handlesA)
            EXPECT_EQ(templateHandles.count(handle), 0u) << pair.a.shownName;
        for (const std::uint64_t handle : pair.handlesB)
            EXPECT_EQ(templateHandles.count(handle), 0u) << pair.b.shownName;
        if (pathsOf(pair) == orderedPair(c.movedSource, c.movedCopy)) {
            ASSERT_TRUE(pair.placement);
            EXPECT_TRUE(pair.placement->onlyMoves());
            const double sign = pair.a.path == c.movedSource ? 1 : -1;
            EXPECT_NEAR(pair.placement->offset.x, sign * c.move.x, 1e-6);
            EXPECT_NEAR(pair.placement->offset.y, sign * c.move.y, 1e-6);
            sawMove = true;
        }
    }
    EXPECT_TRUE(sawMove);

    ClassFolder unnamed;
    ClassGenerator again(bracketAssignment(5), 5000);
    const PlantedClass d = plantClass(unnamed, again, "WEEK 4");
    std::set<PathPair> reported;
    for (const SimilarPair& pair : runCheck(unnamed, "WEEK 4", SimilarOptions{}).pairs)
        reported.insert(pathsOf(pair));
    EXPECT_EQ(reported, d.planted);
}

// Last year's class is compared by its stored drawings, after their files are gone; pairs within it are not
// reported, and the copy of one of its drawings is found by its stored path.
TEST(SimilarCheck, CopiesOfAnEarlierYearAreFoundWithoutItsFiles)
{
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(9), 9000);
    const PlantedClass earlier = plantClass(folder, generator, "BRACKET 2025", 20, 100);
    SimilarOptions lastYear;
    lastYear.templates = std::vector<std::string>{earlier.templatePath};
    ASSERT_EQ(runCheck(folder, "BRACKET 2025", lastYear).pairs.size(), earlier.planted.size());

    std::vector<std::string> students;
    for (int i = 0; i < 12; ++i)
        students.push_back(folder.add("BRACKET 2026", "new " + std::to_string(i), generator.student(200 + i)));
    CopyTrick moved;
    moved.move = {-31.5, 12.25, 0};
    const std::string copy = folder.add("BRACKET 2026", "new copier", generator.copy(earlier.drawings[7], 300, moved));
    std::filesystem::remove_all(std::filesystem::path(earlier.students[0]).parent_path().parent_path());

    SimilarOptions options;
    options.templates = lastYear.templates;
    options.earlierProjects = {"BRACKET 2025"};
    const SimilarResult result = runCheck(folder, "BRACKET 2026", options);
    ASSERT_EQ(result.pairs.size(), 1u);
    EXPECT_EQ(result.pairs[0].a.path, copy);
    EXPECT_EQ(result.pairs[0].b.path, earlier.students[7]);
    EXPECT_EQ(result.pairs[0].b.project, "BRACKET 2025");
    EXPECT_EQ(result.earlierDrawings, earlier.students.size() + 7);
}

// A modelling class: the template holds a solid, and each student's own work is four solids (after the template's;
// six students also hold one solid of a tutorial's). One student copied another's solids: only that pair is
// reported, on its solids, also when the drawings come from the store; the template's and the tutorial's solid never
// count.
TEST(SimilarCheck, CopiedSolidsCountAndTheTemplatesAndTheClasssDoNot)
{
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(13), 13000);
    const auto solid = [](std::uint64_t handle, std::uint64_t hash) {
        dwg::Entity e;
        e.handle = handle;
        e.className = "AcDb3dSolid";
        e.space = "*Model_Space";
        e.layer = "Solids";
        e.data = dwg::ModelerContents{true, "ACIS BinaryFile", hash};
        return e;
    };
    dwg::Drawing templ = generator.templateDrawing();
    const std::uint64_t templateSolid = *templ.handSeed;
    templ.entities.push_back(solid(templateSolid, 1));
    templ.handSeed = templateSolid + 1;
    const std::string templatePath = folder.addTemplate(templ);
    std::vector<std::string> paths;
    std::set<std::uint64_t> tutorial;
    std::set<std::uint64_t> copied;
    for (int i = 0; i < 10; ++i) {
        // Student 7 copied student 3's solids.
        const auto own = [i](std::uint64_t k) { return 100 + 10 * static_cast<std::uint64_t>(i == 7 ? 3 : i) + k; };
        dwg::Drawing d = generator.student(i); // the student's own identity, the template's entities
        d.entities = templ.entities;
        std::uint64_t handle = *templ.handSeed + 5 * static_cast<std::uint64_t>(i);
        if (i < 6) {
            tutorial.insert(handle);
            d.entities.push_back(solid(handle++, 2));
        }
        for (std::uint64_t k = 0; k < 4; ++k) {
            if (i == 7)
                copied.insert(handle);
            d.entities.push_back(solid(handle++, own(k)));
        }
        d.handSeed = handle;
        const auto stored = similar::decodeEntities(similar::encodeEntities(d.entities));
        ASSERT_TRUE(stored && stored->back().data.get_if<dwg::ModelerContents>());
        EXPECT_EQ(stored->back().data.get_if<dwg::ModelerContents>()->hash, own(3));
        paths.push_back(folder.add("WEEK 5", "student " + std::to_string(i), d));
    }
    SimilarOptions options;
    options.templates = std::vector<std::string>{templatePath};
    for (int run = 0; run < 2; ++run) { // the second from the store
        const SimilarResult result = runCheck(folder, "WEEK 5", options);
        ASSERT_EQ(result.pairs.size(), 1u) << "run " << run;
        const SimilarPair& pair = result.pairs[0];
        EXPECT_EQ(pathsOf(pair), orderedPair(paths[3], paths[7]));
        const auto& handles = pair.a.path == paths[7] ? pair.handlesA : pair.handlesB;
        EXPECT_EQ(std::set<std::uint64_t>(handles.begin(), handles.end()), copied);
        for (const auto* list : {&pair.handlesA, &pair.handlesB}) {
            for (const std::uint64_t handle : *list)
                EXPECT_TRUE(handle != templateSolid && tutorial.count(handle) == 0) << handle;
        }
        EXPECT_EQ(std::count(pair.templateHandlesA.begin(), pair.templateHandlesA.end(), templateSolid), 1);
    }
}

} // namespace
} // namespace darv::test
