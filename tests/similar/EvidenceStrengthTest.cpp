// How strong a copy's evidence is does not depend on how the class uses layers: in classes drawn on layer 0 every
// planted copy ranks above every independent pair and only the copies are reported. Nor does it need own geometry:
// where the sheet gives every position, the notes and points a copy shares at hand-picked places are enough. Where
// students draw nothing but the part on layer 0, no dimension and hardly a line of their own, two of them share
// their one choice (the centre lines' length) by chance as often as a copy shares it: such a pair is never reported,
// not even when both were last saved on one lab computer, and a copy is found where the drawing order confirms it.
#include "similar/HandPlaced.h"
#include "similar/PlantedClass.h"
#include "similar/SignalText.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace darv::test {
namespace {

struct StyleCase
{
    const char* name;
    ClassStyle style;
    // False where a source holds too little of its own: a partly redrawn copy of it keeps no more than what two
    // independent students share, and not every copy reaches the threshold.
    bool everyCopyFound = true;
};

class ClassStyles : public ::testing::TestWithParam<StyleCase>
{
};

void checkClass(const StyleCase& param, std::uint64_t seed, int students = 20, std::uint64_t generatorSeed = 0)
{
    const ClassStyle& style = param.style;
    ClassFolder folder;
    ClassGenerator generator(seed % 2 ? bracketAssignment(seed) : flangeAssignment(seed),
                             generatorSeed != 0 ? generatorSeed : seed * 977, style);
    const std::string project = "STYLE";
    const PlantedClass c = plantClass(folder, generator, project, students);
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
        const bool redrawn = (pair.a.path + pair.b.path).find("copier redrawn") != std::string::npos;
        if (planted) {
            found.insert(orderedPair(pair.a.path, pair.b.path));
            if (param.everyCopyFound || !redrawn)
                lowestPlanted = std::min(lowestPlanted, pair.score);
        } else {
            highestIndependent = std::max(highestIndependent, pair.score);
        }
    }
    EXPECT_EQ(found, c.planted);
    EXPECT_GT(lowestPlanted, highestIndependent);

    std::set<PathPair> reported;
    for (const similar::SimilarPair& pair :
         similar::SimilarRun(folder.data(), project, similar::SimilarOptions{}, folder.source()).run(cancel).pairs)
        reported.insert(orderedPair(pair.a.path, pair.b.path));
    if (param.everyCopyFound) {
        EXPECT_GE(lowestPlanted, 50);
        EXPECT_EQ(reported, c.planted);
    } else {
        EXPECT_TRUE(std::includes(c.planted.begin(), c.planted.end(), reported.begin(), reported.end()));
        EXPECT_GE(reported.size() * 2, c.planted.size()) << "fewer than half of the copies found";
    }
}

// A flange drawn on layer 0 without dimensions by 20 students and their copiers, checked at the threshold.
similar::SimilarResult checkBareFlange(ClassFolder& folder, std::uint64_t seed, PlantedClass& c,
                                       double threshold = similar::SimilarOptions{}.minScore)
{
    ClassGenerator generator(flangeAssignment(seed), seed * 977, ClassStyle{true, false, false});
    c = plantClass(folder, generator, "FLANGE");
    similar::SimilarOptions options;
    options.templates = std::vector<std::string>{c.templatePath};
    options.minScore = threshold;
    const std::atomic<bool> cancel{false};
    return similar::SimilarRun(folder.data(), "FLANGE", options, folder.source()).run(cancel);
}

TEST_P(ClassStyles, EveryCopyRanksAboveEveryIndependentPair)
{
    // Seed 14: two copiers of different drawings last saved theirs on one lab computer. Seed 48: two independent
    // students share half of their details.
    for (const std::uint64_t seed : {2u, 3u, 4u, 5u, 6u, 14u, 48u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        checkClass(GetParam(), seed);
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, ClassStyles,
                         ::testing::Values(StyleCase{"layer_zero", ClassStyle{true, false, true}},
                                           StyleCase{"every_position_given", ClassStyle{false, true, true}},
                                           StyleCase{"layer_zero_bare", ClassStyle{true, false, false}, false}),
                         [](const auto& param) { return std::string(param.param.name); });

// A length typed as a round number is a choice students share by chance. Seeds 24 and 30: independent students who
// drew nothing of their own but centre lines of one typed length, in much the same order, are not reported.
TEST(TypedChoices, AreSharedByChance)
{
    for (const std::uint64_t seed : {24u, 30u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ClassFolder folder;
        PlantedClass c;
        const similar::SimilarResult result = checkBareFlange(folder, seed, c);
        ASSERT_EQ(result.outcome, similar::SimilarOutcome::Complete) << result.message;
        EXPECT_FALSE(result.pairs.empty());
        for (const similar::SimilarPair& pair : result.pairs)
            EXPECT_TRUE(c.planted.count(orderedPair(pair.a.path, pair.b.path))) << pair.a.path << " " << pair.b.path;
    }
}

// In a large class each detail a student chooses is held by more students and weighs less. Seed 24 of 100: two
// independent students share five of their nine details by chance, and are not reported for it. Seed 5 of 300: a
// ring's copies share twelve of twelve details that a twentieth of the class holds each, and are.
TEST(LargeClasses, WeighWhatChanceGivesAmongAllTheirPairs)
{
    for (const auto& [students, seed] : {std::pair{100, 24u}, {300, 5u}}) {
        SCOPED_TRACE(std::to_string(students) + " students, seed " + std::to_string(seed));
        checkClass(StyleCase{"layers", ClassStyle{}}, seed, students);
    }
}

// Two independent students who made five of their nine choices alike (dimension lines at the same round distances)
// and the other four not are not reported; a copier who deleted some of a drawing and added lines of their own is.
TEST(PartlyAlike, IndependentStudentsDifferInChoiceAfterChoice)
{
    checkClass(StyleCase{"layers", ClassStyle{}}, 33, 20, 33 * 77);
}

// A symmetric part mirrored onto itself is only moved: two students who chose the same length of centre lines share
// one decision however the placement is found, and are not reported as a mirrored copy.
TEST(SymmetricParts, AreNotTakenForMirroredCopies)
{
    for (const std::uint64_t seed : {14u, 18u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ClassFolder folder;
        PlantedClass c;
        const similar::SimilarResult result = checkBareFlange(folder, seed, c, 0);
        ASSERT_EQ(result.outcome, similar::SimilarOutcome::Complete) << result.message;
        for (const similar::SimilarPair& pair : result.pairs) {
            if (c.planted.count(orderedPair(pair.a.path, pair.b.path)) == 0) {
                EXPECT_TRUE(!pair.placement || pair.placement->onlyMoves()) << pair.a.path << " " << pair.b.path;
            }
        }
    }
}

// Typed values stay typed through a DXF's 16 significant digits and at any size; a value picked with the mouse
// is not typed however small.
TEST(HandPickedPositions, AreTheCoordinatesNobodyTypes)
{
    const auto throughDxf = [](double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.16g", value);
        return std::strtod(text, nullptr);
    };
    for (const double typed : {0.0, 20.0, -37.5, 12.25, 0.125, 150.001, 99999.5, 0.1 + 0.2, 1234567.891}) {
        EXPECT_TRUE(similar::typedCoordinate(typed)) << typed;
        EXPECT_TRUE(similar::typedCoordinate(throughDxf(typed))) << typed;
    }
    for (const double picked : {37.2291842, -0.0004, 12.2501, 150.0017, 1234567.8915})
        EXPECT_FALSE(similar::typedCoordinate(picked)) << picked;
}

// Positions alone are counted in words that agree with their number.
TEST(HandPickedPositions, AreSaidInPlainWords)
{
    similar::SignalEvidence s;
    s.kind = similar::SignalKind::GeometryMoved;
    s.matched = s.countable = s.places = 1;
    s.placement = similar::Placement::moved({-20.25, 33, 0});
    EXPECT_EQ(similar::signalText(s, "A", "B"), "1 hand-picked position of A is in B, moved by (-20.25, 33)");
    s.kind = similar::SignalKind::GeometryInPlace;
    s.matched = s.countable = s.places = 2;
    EXPECT_EQ(similar::signalText(s, "A", "B"), "2 hand-picked positions of A lie at the same place in B");
}

// A part said beside its count agrees with it, though the score weighs the handles by rarity.
TEST(EvidenceLines, SayThePartOfWhatTheyCount)
{
    similar::SignalEvidence s;
    s.kind = similar::SignalKind::SharedHandles;
    s.share = 0.19;
    s.itemsMatched = 4;
    s.items = 20;
    s.smallerIsA = true;
    EXPECT_EQ(similar::signalText(s, "A", "B"),
              "20 % of the handles of A beyond the template's (4 of 20 handles) are in B on the same entities");
}

} // namespace
} // namespace darv::test
