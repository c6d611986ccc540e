// Start drawings handed to some students without being named as a template: their shared fingerprint and what
// the start drawing holds make no pair of them a copy, whether 2, 4 or 10 of 20 or 12 of 100 began from it, and
// the report says once that they did. The planted copies are still found.
#include "similar/PlantedClass.h"
#include "similar/SimilarReport.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

namespace darv::test {
namespace {

struct StartCase
{
    int students;
    int starters; // students 6 on (the planted copies' sources are 0 to 5) began from the start drawing
    std::uint64_t seed;
};

class StartDrawing : public ::testing::TestWithParam<StartCase>
{
};

// The start drawing's own entities: a few hand-drawn lines, with the handles the start file gave them.
std::vector<dwg::Entity> startEntities(std::uint64_t firstHandle, double scale)
{
    std::vector<dwg::Entity> entities;
    for (int i = 0; i < 5; ++i) {
        dwg::Entity e;
        e.handle = firstHandle + static_cast<std::uint64_t>(i);
        e.className = "AcDbLine";
        e.space = "*Model_Space";
        e.layer = "Sketch";
        const double x = scale * (31.4159265 + 17.7320508 * i), y = scale * (211.2360679 - 9.4142135 * i);
        e.geometry = dwg::LineGeometry{{x, y, 0}, {x + scale * 23.60679775, y + scale * 4.12310562 * i, 0}};
        entities.push_back(std::move(e));
    }
    return entities;
}

TEST_P(StartDrawing, MakesNoPairOfItsStudentsACopy)
{
    const StartCase param = GetParam();
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(param.seed), param.seed * 77);
    PlantedClass c = plantClass(folder, generator, "START", param.students);
    const std::uint64_t seed = generator.templateDrawing().handSeed.value_or(0);
    const std::vector<dwg::Entity> extra = startEntities(seed, generator.scale());
    std::vector<std::string> starters;
    for (int i = 6; i < 6 + param.starters; ++i) {
        dwg::Drawing& d = c.drawings[static_cast<std::size_t>(i)];
        d.fingerprintGuid = "{5A1E0C2B-7D44-4E19-9A3B-0C8F2D6E1B7A}";
        d.created = dwg::StoredTime{2460735, 41234567};
        for (dwg::Entity& e : d.entities)
            if (e.handle >= seed)
                e.handle += extra.size();
        d.entities.insert(d.entities.end(), extra.begin(), extra.end());
        std::sort(d.entities.begin(), d.entities.end(),
                  [](const dwg::Entity& x, const dwg::Entity& y) { return x.handle < y.handle; });
        d.handSeed = d.handSeed.value_or(seed) + extra.size();
        folder.replace(c.students[static_cast<std::size_t>(i)], d);
        starters.push_back(c.students[static_cast<std::size_t>(i)]);
    }

    similar::SimilarOptions options;
    options.templates = std::vector<std::string>{c.templatePath};
    options.minScore = 0;
    const std::atomic<bool> cancel{false};
    const similar::SimilarResult all =
        similar::SimilarRun(folder.data(), "START", options, folder.source()).run(cancel);
    ASSERT_EQ(all.outcome, similar::SimilarOutcome::Complete) << all.message;
    double lowestPlanted = 100, highestIndependent = 0;
    for (const similar::SimilarPair& pair : all.pairs) {
        if (c.planted.count(orderedPair(pair.a.path, pair.b.path)))
            lowestPlanted = std::min(lowestPlanted, pair.score);
        else
            highestIndependent = std::max(highestIndependent, pair.score);
    }
    EXPECT_GE(lowestPlanted, 50);
    EXPECT_GT(lowestPlanted, highestIndependent);

    const similar::SimilarResult reported =
        similar::SimilarRun(folder.data(), "START", similar::SimilarOptions{}, folder.source()).run(cancel);
    std::set<PathPair> found;
    for (const similar::SimilarPair& pair : reported.pairs)
        found.insert(orderedPair(pair.a.path, pair.b.path));
    EXPECT_EQ(found, c.planted);
    ASSERT_EQ(reported.startDrawings.size(), 1u);
    EXPECT_EQ(reported.startDrawings[0].drawings.size(), starters.size());
    const std::string text = similar::reportText("START", reported, similar::SimilarOptions{});
    EXPECT_NE(text.find(std::to_string(starters.size()) +
                        " drawings began from one start drawing {5A1E0C2B-7D44-4E19-9A3B-0C8F2D6E1B7A}"),
              std::string::npos)
        << text;
}

INSTANTIATE_TEST_SUITE_P(HandedOut, StartDrawing,
                         ::testing::Values(StartCase{20, 2, 4}, StartCase{20, 4, 5}, StartCase{20, 4, 15},
                                           StartCase{20, 10, 6}, StartCase{100, 12, 7}),
                         [](const auto& param) {
                             return std::to_string(param.param.starters) + "_of_" +
                                    std::to_string(param.param.students) + "_seed" + std::to_string(param.param.seed);
                         });

} // namespace
} // namespace darv::test
