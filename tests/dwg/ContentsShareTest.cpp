// How many of the corpus's layout entities come back with contents (every field listed for their kind), and which
// do not, with the reason; printed for the record, and checked so that no kind the reader decodes comes back empty.
#include "CorpusFiles.h"
#include "app/DrawingJson.h"
#include "drawing/Drawing.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace darv {
namespace {

using nlohmann::json;

struct KindFields
{
    const char* className;
    std::vector<const char*> keys; // the JSON keys every entity of the kind must have
    const char* missingReason;     // nullptr: the reader decodes the kind, so every such entity has its keys
};

const std::vector<KindFields>& kinds()
{
    static const std::vector<KindFields> table = {
        {"AcDbLine", {"start", "end"}, nullptr},
        {"AcDbCircle", {"center", "radius"}, nullptr},
        {"AcDbArc", {"center", "radius", "start_angle", "end_angle"}, nullptr},
        {"AcDbPoint", {"position"}, nullptr},
        {"AcDbPolyline", {"points", "closed"}, nullptr},
        {"AcDb2dPolyline", {"points", "closed"}, nullptr},
        {"AcDb3dPolyline", {"points", "closed"}, nullptr},
        {"AcDbPolyFaceMesh", {"points", "closed"}, nullptr},
        {"AcDbPolygonMesh", {"points", "closed"}, nullptr},
        {"AcDbText", {"position", "height", "text", "rotation"}, nullptr},
        {"AcDbMText", {"position", "height", "text"}, nullptr},
        {"AcDbBlockReference", {"position", "block", "scale", "rotation"}, nullptr},
        {"AcDbMInsertBlock", {"position", "block", "scale", "rotation"}, nullptr},
        {"AcDbEllipse", {"center", "major_axis", "ratio", "start_param", "end_param"}, nullptr},
        {"AcDbSpline", {"control_points", "fit_points"}, nullptr},
        {"AcDbSolid", {"corners"}, nullptr},
        {"AcDbTrace", {"corners"}, nullptr},
        {"AcDbFace", {"corners"}, nullptr},
        {"AcDbRotatedDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDbAlignedDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDbOrdinateDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDb2LineAngularDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDb3PointAngularDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDbRadialDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDbDiametricDimension", {"defpoint", "text_midpoint"}, nullptr},
        {"AcDbAttributeDefinition", {"tag", "text", "prompt", "position", "height"}, nullptr},
        {"AcDbHatch",
         {"pattern_name", "solid_fill", "pattern_angle", "pattern_scale", "associative", "paths", "seed_points"},
         nullptr},
        {"AcDbLeader", {"vertices", "arrowhead", "annotation"}, nullptr},
        {"AcDbFcf", {"text", "position", "direction"}, nullptr},
        {"AcDbMline", {"style", "vertices", "scale", "justification"}, nullptr},
        {"AcDbRay", {"point", "direction"}, nullptr},
        {"AcDbXline", {"point", "direction"}, nullptr},
        {"AcDbMLeader",
         {"content_type", "text", "text_position", "block", "block_position", "leader_lines", "arrowhead"},
         nullptr},
        {"AcDbTable", {"position", "rows", "columns", "cells"}, nullptr},
        {"AcDbViewport", {"center", "width", "height", "view_center", "view_height", "frozen_layers"}, nullptr},
        {"AcDbRasterImage", {"position", "u_vector", "v_vector", "size", "clip_boundary", "path"}, nullptr},
        {"AcDbWipeout", {"position", "u_vector", "v_vector", "size", "clip_boundary"}, nullptr},
        {"AcDbShape", {"position", "size", "rotation", "shape_number", "style"}, nullptr},
        {"AcDb3dSolid", {"modeler_format", "modeler_data", "size", "hash"}, nullptr},
        {"AcDbRegion", {"modeler_format", "modeler_data", "size", "hash"}, nullptr},
        {"AcDbBody", {"modeler_format", "modeler_data", "size", "hash"}, nullptr},
        {"AcDbPdfReference", {"position", "scale", "rotation", "clip_boundary", "path"}, nullptr},
        {"AcDbDwfReference", {"position", "scale", "rotation", "clip_boundary", "path"}, nullptr},
        {"AcDbDgnReference", {"position", "scale", "rotation", "clip_boundary", "path"}, nullptr},
        {"AcDbSubDMesh", {"subdivision_level", "vertices", "faces"}, nullptr},
        {"AcDbLight", {"light_type", "position"}, nullptr},
        {"AcDbHelix", {"axis_base_point", "axis_vector", "radii", "turns"}, nullptr},
        {"AcDbArcDimension", {"defpoint", "text_midpoint"}, nullptr},
    };
    return table;
}

const KindFields* kindOf(const std::string& className)
{
    for (const KindFields& kind : kinds()) {
        if (className == kind.className) {
            return &kind;
        }
    }
    return nullptr;
}

// Every key there; null only where "none" is a value (a leader without a note, the default arrowhead, a multileader
// whose content is no block).
bool hasContents(const json& entity, const KindFields& kind)
{
    for (const std::string key : kind.keys) {
        const bool nullable = key == "annotation" || key == "arrowhead" || key == "block";
        if (!entity.contains(key) || (entity[key].is_null() && !nullable)) {
            return false;
        }
    }
    return true;
}

TEST(ContentsShare, EveryDecodedKindHasItsContents)
{
    const std::vector<std::string> names = test::corpusDrawingNames();
    if (names.empty()) {
        GTEST_SKIP() << "no drawing corpus at " << test::corpusDir();
    }
    std::size_t total = 0;
    std::size_t withContents = 0;
    std::map<std::string, std::size_t> without; // "class: reason" -> count
    for (const std::string& name : names) {
        const std::string path = (test::corpusDir() / (name + ".dwg")).string();
        const dwg::ReadResult result = dwg::readDrawingFile(path, dwg::ReadDetail::Contents);
        ASSERT_TRUE(result.ok()) << name;
        const json line = json::parse(drawingJsonLine(path, *result.drawing));
        for (const json& entity : line["entities"]) {
            ++total;
            const std::string className = entity["class"].get<std::string>();
            const KindFields* kind = kindOf(className);
            if (kind != nullptr && hasContents(entity, *kind)) {
                ++withContents;
                continue;
            }
            const char* reason = kind == nullptr ? "a kind the reader does not decode" : kind->missingReason;
            ++without[className + ": " + (reason != nullptr ? reason : "its body could not be decoded")];
            EXPECT_TRUE(reason != nullptr) << name << " " << entity["handle"] << " " << className << " has no contents";
        }
    }
    std::printf("layout entities with contents: %zu of %zu (%.1f %%)\n", withContents, total,
                100.0 * static_cast<double>(withContents) / static_cast<double>(total));
    for (const auto& [what, count] : without) {
        std::printf("  without contents: %zu %s\n", count, what.c_str());
    }
    // Every layout entity of the corpus has its contents.
    EXPECT_EQ(withContents, total);
}

} // namespace
} // namespace darv
