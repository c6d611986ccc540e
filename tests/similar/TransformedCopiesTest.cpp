// Copies turned, mirrored or scaled after pasting, among independent students: each copy is reported at the
// default threshold with the placement that was applied, and no pair of independent students is.
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

namespace darv::test {
namespace {

using similar::Placement;
using similar::SimilarPair;

constexpr double kPi = 3.14159265358979323846;

// The placement a trick applies: B = move + about + R S M (A - about).
Placement placementOf(const CopyTrick& trick)
{
    Placement p;
    p.rotation = std::fmod(trick.turn + 360, 360) * kPi / 180;
    p.mirrored = trick.mirrored;
    p.scale = trick.scale;
    const dwg::Point3 about = p.apply(trick.about);
    p.offset = {trick.move.x + trick.about.x - about.x, trick.move.y + trick.about.y - about.y, 0};
    return p;
}

std::string oneDecimal(double value, const char* format)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The class of `Assignment` with copies made by the tricks, checked with the default threshold.
void expectFoundAsPlaced(Assignment (*assignment)(std::uint64_t), std::uint64_t seed,
                         const std::vector<CopyTrick>& tricks)
{
    ClassFolder folder;
    ClassGenerator generator(assignment(seed), seed * 1000);
    const std::string templatePath = folder.addTemplate(generator.templateDrawing());
    std::vector<dwg::Drawing> students;
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i) {
        students.push_back(generator.student(i));
        paths.push_back(folder.add("WEEK 6", "student " + std::to_string(i), students.back()));
    }
    std::map<PathPair, Placement> planted; // the placement that takes the source to the copy
    std::map<PathPair, std::string> sources;
    for (std::size_t t = 0; t < tricks.size(); ++t) {
        const std::string copy = folder.add("WEEK 6", "copier " + std::to_string(t),
                                            generator.copy(students[t], 100 + static_cast<int>(t), tricks[t]));
        planted[orderedPair(paths[t], copy)] = placementOf(tricks[t]);
        sources[orderedPair(paths[t], copy)] = paths[t];
    }
    similar::SimilarOptions options;
    options.templates = std::vector<std::string>{templatePath};
    const std::atomic<bool> cancel{false};
    // Twice: the second run compares the features that the first one stored.
    similar::SimilarRun(folder.data(), "WEEK 6", options, folder.source()).run(cancel);
    similar::SimilarRun run(folder.data(), "WEEK 6", options, folder.source());
    const similar::SimilarResult result = run.run(cancel);
    ASSERT_EQ(result.outcome, similar::SimilarOutcome::Complete) << result.message;
    std::set<PathPair> found;
    for (const SimilarPair& pair : result.pairs) {
        const PathPair key = orderedPair(pair.a.path, pair.b.path);
        const auto it = planted.find(key);
        if (it == planted.end()) {
            ADD_FAILURE() << "independent students reported: " << pair.a.shownName << ", " << pair.b.shownName;
            continue;
        }
        found.insert(key);
        const Placement expected = pair.a.path == sources[key] ? it->second : it->second.inverse();
        ASSERT_TRUE(pair.placement) << pair.b.shownName;
        const Placement& p = *pair.placement;
        EXPECT_EQ(p.mirrored, expected.mirrored) << pair.b.shownName;
        EXPECT_NEAR(std::remainder(p.rotation - expected.rotation, 2 * kPi), 0, 0.1 * kPi / 180) << pair.b.shownName;
        EXPECT_NEAR(p.scale / expected.scale, 1, 0.001) << pair.b.shownName;
        // The evidence line names what was done, said of either drawing.
        std::string line;
        for (const similar::Signal& s : pair.fired)
            if (s.kind == similar::SignalKind::GeometryMoved && line.empty())
                line = s.text;
        bool named = false;
        for (const Placement& q : {p, p.inverse()}) {
            const std::string turn = "rotated by " + oneDecimal(q.rotationDegrees(), "%.1f") + " deg";
            const bool turned = turn != "rotated by 0.0 deg" && turn != "rotated by 360.0 deg";
            const bool scaled = oneDecimal(q.scale, "%.4g") != "1";
            named = named || ((line.find(turn) != std::string::npos) == turned &&
                              (line.find("scaled by " + oneDecimal(q.scale, "%.4g")) != std::string::npos) == scaled);
        }
        EXPECT_TRUE(named) << line;
        EXPECT_EQ(line.find("mirrored") != std::string::npos, expected.mirrored) << line;
    }
    EXPECT_EQ(found.size(), planted.size());
}

CopyTrick trick(double turn, bool mirrored, double scale, dwg::Point3 about, dwg::Point3 move, bool dxf = false)
{
    CopyTrick t;
    t.turn = turn;
    t.mirrored = mirrored;
    t.scale = scale;
    t.about = about;
    t.move = move;
    t.savedAsDxf = dxf;
    t.renameLayers = dxf;
    return t;
}

TEST(TransformedCopies, TurnedByAnyAngleAboutAnyPoint)
{
    const std::vector<CopyTrick> tricks = {trick(90, false, 1, {200, 150, 0}, {}),
                                           trick(37, false, 1, {17.3, -4.1, 0}, {}, true),
                                           trick(270, false, 1, {0, 0, 0}, {-140.25, 66.5, 0})};
    expectFoundAsPlaced(bracketAssignment, 31, tricks);
    expectFoundAsPlaced(flangeAssignment, 32, tricks);
}

TEST(TransformedCopies, MirroredAndMirroredTurned)
{
    const std::vector<CopyTrick> tricks = {trick(0, true, 1, {210, 0, 0}, {}),
                                           trick(0, true, 1, {0, 0, 0}, {35.5, -12, 0}, true),
                                           trick(180, true, 1, {150, 140, 0}, {})};
    expectFoundAsPlaced(bracketAssignment, 41, tricks);
    expectFoundAsPlaced(flangeAssignment, 42, tricks);
}

TEST(TransformedCopies, ScaledAsUnitsChange)
{
    const std::vector<CopyTrick> tricks = {
        trick(0, false, 2, {0, 0, 0}, {}), trick(0, false, 25.4, {0, 0, 0}, {}, true),
        trick(0, false, 1 / 25.4, {100, 100, 0}, {12, 3, 0}), trick(90, true, 10, {0, 0, 0}, {-500, 20, 0})};
    expectFoundAsPlaced(bracketAssignment, 51, tricks);
    expectFoundAsPlaced(flangeAssignment, 52, tricks);
}

} // namespace
} // namespace darv::test
