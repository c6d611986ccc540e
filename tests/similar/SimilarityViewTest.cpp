// What the similarity check sees of blocks and of entities with contents.
#include "similar/SimilarityView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace darv::similar {
namespace {

constexpr double kPi = std::numbers::pi;

dwg::Entity entity(std::uint64_t handle, const char* className, dwg::Geometry geometry, const char* layer = "0")
{
    dwg::Entity e;
    e.handle = handle;
    e.className = className;
    e.space = "*Model_Space";
    e.layer = layer;
    e.geometry = std::move(geometry);
    return e;
}

void expectNear(const dwg::Point3& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

// A block inserted turned, scaled, mirrored and nested lies where the CAD program draws it, on the insert's layer.
TEST(SimilarityView, InsertedBlocksAreExplodedWhereTheyAreDrawn)
{
    dwg::Drawing drawing;
    dwg::BlockDefinition bolt{"Bolt", {1, 1, 0}, {}};
    bolt.entities.push_back(entity(0x40, "AcDbLine", dwg::LineGeometry{{1, 1, 0}, {3, 1, 0}}));
    bolt.entities.push_back(entity(0x41, "AcDbArc", dwg::ArcGeometry{{1, 1, 0}, 1, 0, kPi / 2}, "HIDDEN"));
    dwg::BlockDefinition pair{"PAIR", {0, 0, 0}, {}};
    pair.entities.push_back(entity(0x50, "AcDbBlockReference", dwg::InsertGeometry{{0, 0, 0}, "BOLT", {1, 1, 1}, 0}));
    drawing.blockDefinitions = {bolt, pair};
    // Turned by 90 degrees and scaled by 2 at (10, 20); mirrored at (0, 0); nested in PAIR at (100, 0).
    drawing.entities.push_back(
        entity(0x60, "AcDbBlockReference", dwg::InsertGeometry{{10, 20, 0}, "bolt", {2, 2, 2}, kPi / 2}, "PARTS"));
    drawing.entities.push_back(
        entity(0x61, "AcDbBlockReference", dwg::InsertGeometry{{0, 0, 0}, "BOLT", {-1, 1, 1}, 0}, "PARTS"));
    drawing.entities.push_back(
        entity(0x62, "AcDbBlockReference", dwg::InsertGeometry{{100, 0, 0}, "PAIR", {1, 1, 1}, 0}, "PARTS"));
    addSimilarityView(drawing);

    ASSERT_EQ(drawing.entities.size(), 3u + 6u);
    const auto line = [&](std::size_t i) { return std::get<dwg::LineGeometry>(drawing.entities[i].geometry); };
    const auto arc = [&](std::size_t i) { return std::get<dwg::ArcGeometry>(drawing.entities[i].geometry); };
    expectNear(line(3).start, 10, 20);
    expectNear(line(3).end, 10, 24);
    EXPECT_EQ(drawing.entities[3].handle, kPlacedHandleBase);
    EXPECT_EQ(drawing.entities[4].handle, kPlacedHandleBase + 1);
    EXPECT_EQ(drawing.entities[3].layer, "PARTS");
    EXPECT_EQ(drawing.entities[4].layer, "HIDDEN");
    EXPECT_NEAR(arc(4).radius, 2, 1e-9);
    EXPECT_NEAR(arc(4).startAngle, kPi / 2, 1e-9);
    EXPECT_NEAR(arc(4).endAngle, kPi, 1e-9);
    // The mirror turns the quarter arc's direction: from 90 to 180 degrees, about (0, 0).
    expectNear(line(5).end, -2, 0);
    EXPECT_NEAR(arc(6).startAngle, kPi / 2, 1e-9);
    EXPECT_NEAR(arc(6).endAngle, kPi, 1e-9);
    expectNear(line(7).start, 100, 0);
}

// A solid in a block is placed as its hash mixed with the insert's placement: the same at the same place, another
// elsewhere; one without a hash is left out.
TEST(SimilarityView, ASolidInABlockIsItsHashWhereTheInsertPutsIt)
{
    dwg::Drawing drawing;
    dwg::BlockDefinition part{"Part", {0, 0, 0}, {}};
    for (const std::optional<std::uint64_t> hash : {std::optional<std::uint64_t>(7), std::optional<std::uint64_t>()}) {
        dwg::Entity solid = entity(0x40 + part.entities.size(), "AcDb3dSolid", std::monostate{});
        solid.data = dwg::ModelerContents{true, "data", hash};
        part.entities.push_back(solid);
    }
    drawing.blockDefinitions = {part};
    for (const double x : {5.0, 5.0, 6.0})
        drawing.entities.push_back(entity(0x60 + drawing.entities.size(), "AcDbBlockReference",
                                          dwg::InsertGeometry{{x, 5, 0}, "Part", {1, 1, 1}, 0}));
    addSimilarityView(drawing);

    ASSERT_EQ(drawing.entities.size(), 3u + 3u);
    const auto placed = [&](std::size_t i) {
        return drawing.entities[3 + i].data.get_if<dwg::ModelerContents>()->hash;
    };
    ASSERT_TRUE(placed(0) && placed(1) && placed(2));
    EXPECT_EQ(placed(0), placed(1));
    EXPECT_NE(placed(0), placed(2));
    EXPECT_NE(placed(0), 7u);
}

// Blocks that insert themselves or each other without end stop at the limits, and the drawing says so in a note.
TEST(SimilarityView, BlocksWithoutEndStopAtTheLimits)
{
    dwg::Drawing drawing;
    dwg::BlockDefinition loop{"LOOP", {0, 0, 0}, {}};
    for (int k = 0; k < 20; ++k)
        loop.entities.push_back(entity(0x40, "AcDbBlockReference", dwg::InsertGeometry{{1, 0, 0}, "LOOP", {1, 1, 1}}));
    drawing.blockDefinitions = {loop};
    drawing.entities.push_back(entity(0x60, "AcDbBlockReference", dwg::InsertGeometry{{0, 0, 0}, "LOOP"}));
    addSimilarityView(drawing);
    EXPECT_EQ(drawing.entities.size(), 1u);
    ASSERT_EQ(drawing.notes.size(), 1u);
    EXPECT_TRUE(drawing.warnings.empty());
}

// Entities with contents but no geometry draw what a teacher sees: a hatch its outer boundary, a leader its
// vertices, a multileader its note, a tolerance its text.
TEST(SimilarityView, ContentsBecomeTheGeometryTheyDraw)
{
    dwg::Drawing drawing;
    dwg::HatchContents hatch;
    hatch.loops.push_back({2, {}, {{1, 1, 0}, {2, 1, 0}, {2, 2, 0}}, {0, 0, 0}, true});
    dwg::HatchLoop outer;
    for (const auto& [from, to] :
         {std::pair{dwg::Point3{0, 0, 0}, dwg::Point3{5, 0, 0}}, {{5, 0, 0}, {5, 5, 0}}, {{5, 5, 0}, {0, 0, 0}}}) {
        dwg::HatchEdge edge;
        edge.start = from;
        edge.end = to;
        outer.edges.push_back(edge);
    }
    hatch.loops.push_back(outer);
    dwg::MLeaderContents note;
    note.contentType = 2;
    note.text = "M8 x 20";
    note.textPosition = {37.2291842, 12.5, 0};
    for (const dwg::EntityData& data : {dwg::EntityData{hatch}, dwg::EntityData{note},
                                        dwg::EntityData{dwg::LeaderContents{{{0, 0, 0}, {3, 4, 0}}, true, 0}},
                                        dwg::EntityData{dwg::ToleranceContents{"%%v0.1", {4, 4, 0}, {0, 1, 0}}}}) {
        drawing.entities.push_back(entity(0x30 + drawing.entities.size(), "AcDbHatch", std::monostate{}));
        drawing.entities.back().data = data;
    }
    addSimilarityView(drawing);
    const auto& boundary = std::get<dwg::PolylineGeometry>(drawing.entities[0].geometry);
    EXPECT_TRUE(boundary.closed);
    ASSERT_EQ(boundary.points.size(), 3u);
    expectNear(boundary.points[1], 5, 0);
    EXPECT_EQ(std::get<dwg::MTextGeometry>(drawing.entities[1].geometry).text, "M8 x 20");
    EXPECT_EQ(std::get<dwg::PolylineGeometry>(drawing.entities[2].geometry).points.size(), 2u);
    EXPECT_NEAR(std::get<dwg::TextGeometry>(drawing.entities[3].geometry).rotation, kPi / 2, 1e-9);
}

// A helix is the points along it, from its start point to its top, turning as its hand says; one with absurd turns
// stays bounded, one without real numbers draws nothing.
TEST(SimilarityView, AHelixIsThePointsAlongIt)
{
    dwg::HelixContents spring{{10, 0, 0}, {0, 0, 1}, {12, 0, 0}, 2, 1, 2.5, 4, true};
    dwg::HelixContents endless = spring;
    endless.turns = 1e12;
    dwg::HelixContents broken = spring;
    broken.turnHeight = std::nan("");
    dwg::Drawing drawing;
    for (const dwg::HelixContents& helix : {spring, endless, broken}) {
        drawing.entities.push_back(entity(0x40 + drawing.entities.size(), "AcDbHelix", std::monostate{}));
        drawing.entities.back().data = helix;
    }
    addSimilarityView(drawing);
    const auto& points = std::get<dwg::PolylineGeometry>(drawing.entities[0].geometry).points;
    ASSERT_EQ(points.size(), 41u); // 2.5 turns, 16 points a turn, and the start
    expectNear(points.front(), 12, 0);
    expectNear(points[4], 10, 1.9);    // a quarter turn on, counterclockwise (right-handed about +z), narrower
    EXPECT_NEAR(points[4].z, 1, 1e-9); // and a tenth of the height up
    expectNear(points.back(), 9, 0);   // the top radius, half a turn past the start's side
    EXPECT_NEAR(points.back().z, 10, 1e-9);
    EXPECT_EQ(std::get<dwg::PolylineGeometry>(drawing.entities[1].geometry).points.size(), 1025u);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(drawing.entities[2].geometry));
}

} // namespace
} // namespace darv::similar
