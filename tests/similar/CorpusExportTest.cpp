// A corpus drawing and its own DXF export in two students' folders of a small class, the drawing also in two
// other folders: the pair shares all of its geometry and all of its handles in the evidence, though the drawing
// is in four of seven drawings.
#include "similar/DrawingSource.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace darv::test {
namespace {

TEST(CorpusExport, SharesAllGeometryAndHandlesWithItsDrawing)
{
    const std::string dwgPath = std::string(DARV_CORPUS_DIR) + "/example_2007.dwg";
    const std::string dxfPath = std::string(DARV_CORPUS_DIR) + "/../dxf-corpus/example_2007.dxf";
    if (!std::filesystem::exists(dwgPath) || !std::filesystem::exists(dxfPath))
        GTEST_SKIP() << "drawing corpus not present";
    const dwg::ReadResult drawing = similar::readForSimilarity(dwgPath);
    const dwg::ReadResult exported = similar::readForSimilarity(dxfPath);
    ASSERT_TRUE(drawing.drawing && exported.drawing);
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(3), 300);
    for (int i = 0; i < 3; ++i)
        folder.add("EXPORT", "s0" + std::to_string(i), generator.student(i));
    const std::string a = folder.add("EXPORT", "anna", *drawing.drawing, "example.dwg");
    const std::string b = folder.add("EXPORT", "ben", *exported.drawing, "example.dxf");
    folder.add("EXPORT", "carl", *drawing.drawing, "example.dwg");
    folder.add("EXPORT", "dora", *drawing.drawing, "example.dwg");

    const std::atomic<bool> cancel{false};
    const similar::SimilarResult result =
        similar::SimilarRun(folder.data(), "EXPORT", similar::SimilarOptions{}, folder.source()).run(cancel);
    ASSERT_EQ(result.outcome, similar::SimilarOutcome::Complete) << result.message;
    const auto pair = std::find_if(result.pairs.begin(), result.pairs.end(), [&](const similar::SimilarPair& p) {
        return orderedPair(p.a.path, p.b.path) == orderedPair(a, b);
    });
    ASSERT_NE(pair, result.pairs.end());
    double geometry = 0, handles = 0;
    for (const similar::Signal& s : pair->fired) {
        if (s.kind == similar::SignalKind::GeometryInPlace)
            geometry = std::max(geometry, s.share);
        if (s.kind == similar::SignalKind::SharedHandles)
            handles = std::max(handles, s.share);
    }
    EXPECT_DOUBLE_EQ(geometry, 1.0);
    EXPECT_DOUBLE_EQ(handles, 1.0);
}

} // namespace
} // namespace darv::test
