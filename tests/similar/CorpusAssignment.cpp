// A real drawing as the assignment of a generated class: the entities of a corpus drawing's geometry file.
#include "similar/GeneratedClass.h"

#include "similar/GeneratedGeometry.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

namespace darv::test {

using dwg::Point3;

namespace {

Point3 pointFrom(const nlohmann::json& value)
{
    if (!value.is_array() || value.size() < 2)
        return {};
    return {value[0].get<double>(), value[1].get<double>(), value.size() > 2 ? value[2].get<double>() : 0.0};
}

std::vector<Point3> pointsFrom(const nlohmann::json& value)
{
    std::vector<Point3> points;
    for (const auto& p : value)
        points.push_back(pointFrom(p));
    return points;
}

// One entity of a geometry file; std::monostate for the types it does not describe.
dwg::Entity entityFrom(const nlohmann::json& e)
{
    const std::string type = e.value("type", "");
    if (type == "LINE")
        return given("AcDbLine", dwg::LineGeometry{pointFrom(e["start"]), pointFrom(e["end"])});
    if (type == "CIRCLE")
        return given("AcDbCircle", dwg::CircleGeometry{pointFrom(e["center"]), e["radius"].get<double>()});
    if (type == "ARC")
        return given("AcDbArc", dwg::ArcGeometry{pointFrom(e["center"]), e["radius"].get<double>(),
                                                 e["start_angle"].get<double>(), e["end_angle"].get<double>()});
    if (type == "POINT")
        return given("AcDbPoint", dwg::PointGeometry{pointFrom(e["position"])});
    if (type == "LWPOLYLINE" || type == "POLYLINE")
        return given(type == "LWPOLYLINE" ? "AcDbPolyline" : "AcDb2dPolyline",
                     dwg::PolylineGeometry{pointsFrom(e["points"]), e.value("closed", false), type == "LWPOLYLINE"});
    if (type == "TEXT")
        return given("AcDbText", dwg::TextGeometry{pointFrom(e["position"]), e["height"].get<double>(),
                                                   e["text"].get<std::string>(), e.value("rotation", 0.0)});
    if (type == "MTEXT")
        return given("AcDbMText", dwg::MTextGeometry{pointFrom(e["position"]), e["height"].get<double>(),
                                                     e["text"].get<std::string>()});
    if (type == "INSERT")
        return given("AcDbBlockReference", dwg::InsertGeometry{pointFrom(e["position"]), e["block"].get<std::string>(),
                                                               pointFrom(e["scale"]), e.value("rotation", 0.0)});
    if (type == "SPLINE")
        return given("AcDbSpline", dwg::SplineGeometry{pointsFrom(e["control_points"]), pointsFrom(e["fit_points"])});
    if (type == "SOLID" || type == "TRACE" || type == "3DFACE") {
        dwg::CornersGeometry g;
        const auto corners = pointsFrom(e["corners"]);
        for (std::size_t k = 0; k < 4 && k < corners.size(); ++k)
            g.corners[k] = corners[k];
        return given(type == "3DFACE" ? "AcDbFace" : type == "SOLID" ? "AcDbSolid" : "AcDbTrace", g);
    }
    return given("AcDbEntity", std::monostate{});
}

} // namespace

Assignment corpusAssignment(const std::string& geometryFile)
{
    std::ifstream in(geometryFile);
    const nlohmann::json file = nlohmann::json::parse(in, nullptr, false);
    Assignment a;
    if (file.is_discarded() || !file.contains("entities"))
        return a;
    std::map<std::uint64_t, dwg::Entity> byHandle; // in the drawing's order
    for (const auto& [handle, e] : file["entities"].items())
        byHandle.emplace(std::stoull(handle, nullptr, 16), entityFrom(e));
    Point3 low{1e300, 1e300, 0}, high{-1e300, -1e300, 0};
    for (auto& [handle, e] : byHandle)
        forEachPoint(e.geometry, [&](Point3& p) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), 0};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), 0};
        });
    for (auto& [handle, e] : byHandle) {
        forEachPoint(e.geometry, [&low](Point3& p) { p = {p.x - low.x, p.y - low.y, p.z}; });
        if (const auto* l = std::get_if<dwg::LineGeometry>(&e.geometry); l && a.dimensions.size() < 10)
            a.dimensions.emplace_back(l->start, l->end);
        if (!std::holds_alternative<std::monostate>(e.geometry))
            a.given.push_back(std::move(e));
    }
    a.scale = std::max(high.x - low.x, high.y - low.y) / 100;
    return a;
}

} // namespace darv::test
