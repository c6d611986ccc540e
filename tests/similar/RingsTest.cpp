// Copy rings in small classes: one drawing's work in three, four or five drawings is over the common share, yet
// it is copying, not the assignment. Every pair of the ring is reported, nothing else is, and the ring is shown
// as one group.
#include "similar/PlantedClass.h"
#include "similar/SimilarReport.h"
#include "similar/SimilarRun.h"
#include "similar/Students.h"

#include <gtest/gtest.h>

namespace darv::test {
namespace {

struct RingCase
{
    int students; // independent ones, the ring's source among them
    int ringSize; // the source and its copiers
    std::uint64_t seed;
};

class CopyRing : public ::testing::TestWithParam<RingCase>
{
};

void checkRing(const RingCase& param)
{
    ClassFolder folder;
    ClassGenerator generator(param.seed % 2 ? bracketAssignment(param.seed) : flangeAssignment(param.seed),
                             param.seed * 31);
    const std::string project = "RING";
    const std::string templatePath = folder.addTemplate(generator.templateDrawing());
    std::vector<dwg::Drawing> drawings;
    std::vector<std::string> ring;
    for (int i = 0; i < param.students; ++i) {
        drawings.push_back(generator.student(i));
        const std::string path = folder.add(project, "s" + std::to_string(10 + i), drawings.back());
        if (i == 2)
            ring.push_back(path);
    }
    const double k = generator.scale();
    std::vector<CopyTrick> tricks(4);
    tricks[0].wholeFile = true;
    tricks[2].move = {37.2291842 * k, -12.75 * k, 0};
    tricks[3].move = {-50 * k, 20.5 * k, 0};
    tricks[3].deleted = 0.15;
    tricks[3].added = 3;
    for (int c = 0; c + 1 < param.ringSize; ++c)
        ring.push_back(folder.add(project, "copier " + std::to_string(c),
                                  generator.copy(drawings[2], 100 + c, tricks[static_cast<std::size_t>(c) % 4])));
    std::set<PathPair> planted;
    for (std::size_t i = 0; i < ring.size(); ++i)
        for (std::size_t j = i + 1; j < ring.size(); ++j)
            planted.insert(orderedPair(ring[i], ring[j]));

    similar::SimilarOptions options;
    options.templates = std::vector<std::string>{templatePath};
    options.minScore = 0;
    const std::atomic<bool> cancel{false};
    const similar::SimilarResult all =
        similar::SimilarRun(folder.data(), project, options, folder.source()).run(cancel);
    ASSERT_EQ(all.outcome, similar::SimilarOutcome::Complete) << all.message;
    double lowestPlanted = 100, highestIndependent = 0;
    for (const similar::SimilarPair& pair : all.pairs) {
        if (planted.count(orderedPair(pair.a.path, pair.b.path)))
            lowestPlanted = std::min(lowestPlanted, pair.score);
        else
            highestIndependent = std::max(highestIndependent, pair.score);
    }
    EXPECT_GE(lowestPlanted, 50);
    EXPECT_GT(lowestPlanted, highestIndependent);

    const similar::SimilarResult reported =
        similar::SimilarRun(folder.data(), project, similar::SimilarOptions{}, folder.source()).run(cancel);
    std::set<PathPair> found;
    for (const similar::SimilarPair& pair : reported.pairs)
        found.insert(orderedPair(pair.a.path, pair.b.path));
    EXPECT_EQ(found, planted);
    const auto rings = similar::copyRings(reported.pairs);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].size(), ring.size());
    EXPECT_NE(similar::reportText(project, reported, options).find("Copy ring: copier 0, "), std::string::npos);
}

// Each case on three seeds.
TEST_P(CopyRing, IsFoundWholeAndShownAsOneGroup)
{
    for (const std::uint64_t more : {0u, 10u, 20u}) {
        RingCase param = GetParam();
        param.seed += more;
        SCOPED_TRACE("seed " + std::to_string(param.seed));
        checkRing(param);
    }
}

INSTANTIATE_TEST_SUITE_P(SmallClasses, CopyRing,
                         ::testing::Values(RingCase{7, 3, 1}, RingCase{7, 4, 2}, RingCase{8, 4, 3}, RingCase{10, 3, 4},
                                           RingCase{10, 5, 5}, RingCase{20, 5, 6}, RingCase{20, 4, 7},
                                           RingCase{20, 8, 8}),
                         [](const auto& param) {
                             return "class" + std::to_string(param.param.students) + "_ring" +
                                    std::to_string(param.param.ringSize) + "_seed" + std::to_string(param.param.seed);
                         });

} // namespace
} // namespace darv::test
