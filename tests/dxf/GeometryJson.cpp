// The geometry of a read entity under the keys of the corpus geometry files, and a comparison with their tolerances.
#include "GeometryJson.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <variant>

namespace darv::test {

namespace {

using nlohmann::json;

json point(const dwg::Point3& p, bool planar = false)
{
    return planar ? json::array({p.x, p.y}) : json::array({p.x, p.y, p.z});
}

json points(const std::vector<dwg::Point3>& list, bool planar = false)
{
    json array = json::array();
    for (const dwg::Point3& p : list) {
        array.push_back(point(p, planar));
    }
    return array;
}

struct ToJson
{
    json operator()(std::monostate) const { return nullptr; }
    json operator()(const dwg::LineGeometry& g) const { return {{"start", point(g.start)}, {"end", point(g.end)}}; }
    json operator()(const dwg::CircleGeometry& g) const { return {{"center", point(g.center)}, {"radius", g.radius}}; }
    json operator()(const dwg::ArcGeometry& g) const
    {
        return {{"center", point(g.center)},
                {"radius", g.radius},
                {"start_angle", g.startAngle},
                {"end_angle", g.endAngle}};
    }
    json operator()(const dwg::PointGeometry& g) const { return {{"position", point(g.position)}}; }
    json operator()(const dwg::PolylineGeometry& g) const
    {
        return {{"points", points(g.points, g.planar)}, {"closed", g.closed}};
    }
    json operator()(const dwg::TextGeometry& g) const
    {
        return {{"position", point(g.position)}, {"height", g.height}, {"text", g.text}, {"rotation", g.rotation}};
    }
    json operator()(const dwg::MTextGeometry& g) const
    {
        return {{"position", point(g.position)}, {"height", g.height}, {"text", g.text}};
    }
    json operator()(const dwg::InsertGeometry& g) const
    {
        return {
            {"position", point(g.position)}, {"block", g.block}, {"scale", point(g.scale)}, {"rotation", g.rotation}};
    }
    json operator()(const dwg::EllipseGeometry& g) const
    {
        return {{"center", point(g.center)},
                {"major_axis", point(g.majorAxis)},
                {"ratio", g.ratio},
                {"start_param", g.startParam},
                {"end_param", g.endParam}};
    }
    json operator()(const dwg::SplineGeometry& g) const
    {
        return {{"control_points", points(g.controlPoints)}, {"fit_points", points(g.fitPoints)}};
    }
    json operator()(const dwg::CornersGeometry& g) const
    {
        return {{"corners", points(std::vector<dwg::Point3>(g.corners.begin(), g.corners.end()))}};
    }
    json operator()(const dwg::DimensionGeometry& g) const
    {
        json object = json::object();
        for (const dwg::DimensionPoint& p : g.points) {
            object[dwg::dimensionPointKey(p.kind)] = point(p.point);
        }
        return object;
    }
};

bool isAngle(const std::string& key)
{
    return key == "start_angle" || key == "end_angle" || key == "rotation";
}

bool closeEnough(double expected, double actual, bool angle)
{
    const double scale = std::max({1.0, std::fabs(expected), std::fabs(actual)});
    double difference = std::fabs(expected - actual);
    if (angle) {
        difference = std::fmod(difference, 2 * std::numbers::pi);
        difference = std::min(difference, 2 * std::numbers::pi - difference);
    }
    return difference <= 1e-9 * scale;
}

std::string difference(const json& expected, const json& actual, const std::string& path, bool angle)
{
    if (expected.is_number() && actual.is_number()) {
        return closeEnough(expected.get<double>(), actual.get<double>(), angle)
                   ? std::string()
                   : path + ": " + expected.dump() + " != " + actual.dump();
    }
    if (expected.is_array() && actual.is_array()) {
        if (expected.size() != actual.size()) {
            return path + ": " + std::to_string(expected.size()) + " items != " + std::to_string(actual.size());
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const std::string found = difference(expected[i], actual[i], path + "[" + std::to_string(i) + "]", angle);
            if (!found.empty()) {
                return found;
            }
        }
        return {};
    }
    return expected == actual ? std::string() : path + ": " + expected.dump() + " != " + actual.dump();
}

} // namespace

json geometryJson(const dwg::Geometry& geometry)
{
    return std::visit(ToJson{}, geometry);
}

std::string geometryDifference(const json& expected, const json& actual)
{
    for (const auto& [key, value] : expected.items()) {
        if (!actual.is_object() || !actual.contains(key)) {
            return "missing " + key;
        }
        const std::string found = difference(value, actual.at(key), key, isAngle(key));
        if (!found.empty()) {
            return found;
        }
    }
    return {};
}

} // namespace darv::test
