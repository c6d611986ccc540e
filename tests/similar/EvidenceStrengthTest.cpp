// How strong a copy's evidence is does not depend on how the class uses layers: in classes drawn on layer 0 every
// planted copy ranks above every independent pair and only the copies are reported.
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

namespace darv::test {
namespace {

struct StyleCase
{
    const char* name;
    ClassStyle style;
};

class ClassStyles : public ::testing::TestWithParam<StyleCase>
{
};

void checkClass(const ClassStyle& style, std::uint64_t seed)
{
    ClassFolder folder;
    ClassGenerator generator(seed % 2 ? bracketAssignment(seed) : flangeAssignment(seed), seed * 977, style);
    const std::string project = "STYLE";
    const PlantedClass c = plantClass(folder, generator, project);
    similar::SimilarOptions options;
    options.templates = std::vector<std::string>{c.templatePath};
    options.minScore = 0;
    const std::atomic<bool> cancel{false};
    const similar::SimilarResult all =
        similar::SimilarRun(folder.data(), project, options, folder.source()).run(cancel);
    ASSERT_EQ(all.outcome, similar::SimilarOutcome::Complete) << all.message;
    double lowestPlanted = 100, highestIndependent = 0;
    std::set<PathPair> found;
    for (const similar::SimilarPair& pair : all.pairs) {
        const bool planted = c.planted.count(orderedPair(pair.a.path, pair.b.path)) != 0;
        if (planted) {
            found.insert(orderedPair(pair.a.path, pair.b.path));
            lowestPlanted = std::min(lowestPlanted, pair.score);
        } else {
            highestIndependent = std::max(highestIndependent, pair.score);
        }
    }
    EXPECT_EQ(found, c.planted);
    EXPECT_GE(lowestPlanted, 50);
    EXPECT_GT(lowestPlanted, highestIndependent);

    std::set<PathPair> reported;
    for (const similar::SimilarPair& pair :
         similar::SimilarRun(folder.data(), project, similar::SimilarOptions{}, folder.source()).run(cancel).pairs)
        reported.insert(orderedPair(pair.a.path, pair.b.path));
    EXPECT_EQ(reported, c.planted);
}

TEST_P(ClassStyles, EveryCopyRanksAboveEveryIndependentPair)
{
    for (const std::uint64_t seed : {2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        checkClass(GetParam().style, seed);
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, ClassStyles,
                         ::testing::Values(StyleCase{"layer_zero", ClassStyle{true, false, true}}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace darv::test
