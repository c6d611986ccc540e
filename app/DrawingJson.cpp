// A drawing as one line of JSON (dwginfo --json): its header values, properties, tables and entities with geometry.
#include "app/DrawingJson.h"

#include "base/NameBytes.h"

#include "drawing/CadTime.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>

namespace darv {

namespace {

// Keys in the order they are set, so a teacher reading a line finds them in the documented order.
using json = nlohmann::ordered_json;

std::string hexText(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

json point(const dwg::Point3& p)
{
    return json::array({p.x, p.y, p.z});
}

json points(const std::vector<dwg::Point3>& list, bool planar = false)
{
    json out = json::array();
    for (const dwg::Point3& p : list) {
        out.push_back(planar ? json::array({p.x, p.y}) : point(p));
    }
    return out;
}

json textOrNull(const std::string& text)
{
    return text.empty() ? json(nullptr) : json(text);
}

json numberOrNull(std::optional<double> value)
{
    return value ? json(*value) : json(nullptr);
}

// The geometry keys of each class, named as in the drawing exchange format's own vocabulary.
void addGeometry(const dwg::Geometry& geometry, json& entity)
{
    std::visit(
        [&entity](const auto& g) {
            using T = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<T, dwg::LineGeometry>) {
                entity["start"] = point(g.start);
                entity["end"] = point(g.end);
            } else if constexpr (std::is_same_v<T, dwg::CircleGeometry>) {
                entity["center"] = point(g.center);
                entity["radius"] = g.radius;
            } else if constexpr (std::is_same_v<T, dwg::ArcGeometry>) {
                entity["center"] = point(g.center);
                entity["radius"] = g.radius;
                entity["start_angle"] = g.startAngle;
                entity["end_angle"] = g.endAngle;
            } else if constexpr (std::is_same_v<T, dwg::PointGeometry>) {
                entity["position"] = point(g.position);
            } else if constexpr (std::is_same_v<T, dwg::PolylineGeometry>) {
                entity["points"] = points(g.points, g.planar);
                entity["closed"] = g.closed;
            } else if constexpr (std::is_same_v<T, dwg::TextGeometry>) {
                entity["position"] = point(g.position);
                entity["height"] = g.height;
                entity["text"] = g.text;
                entity["rotation"] = g.rotation;
            } else if constexpr (std::is_same_v<T, dwg::MTextGeometry>) {
                entity["position"] = point(g.position);
                entity["height"] = g.height;
                entity["text"] = g.text;
            } else if constexpr (std::is_same_v<T, dwg::InsertGeometry>) {
                entity["position"] = point(g.position);
                entity["block"] = g.block;
                entity["scale"] = point(g.scale);
                entity["rotation"] = g.rotation;
            } else if constexpr (std::is_same_v<T, dwg::EllipseGeometry>) {
                entity["center"] = point(g.center);
                entity["major_axis"] = point(g.majorAxis);
                entity["ratio"] = g.ratio;
                entity["start_param"] = g.startParam;
                entity["end_param"] = g.endParam;
            } else if constexpr (std::is_same_v<T, dwg::SplineGeometry>) {
                entity["control_points"] = points(g.controlPoints);
                entity["fit_points"] = points(g.fitPoints);
            } else if constexpr (std::is_same_v<T, dwg::CornersGeometry>) {
                entity["corners"] = json::array();
                for (const dwg::Point3& corner : g.corners) {
                    entity["corners"].push_back(point(corner));
                }
            } else if constexpr (std::is_same_v<T, dwg::DimensionGeometry>) {
                for (const dwg::DimensionPoint& p : g.points) {
                    entity[dwg::dimensionPointKey(p.kind)] = point(p.point);
                }
            }
        },
        geometry);
}

json properties(const dwg::SummaryInfo& summary)
{
    json custom = json::object();
    for (const auto& [name, value] : summary.custom) {
        custom[name] = value;
    }
    return json{{"title", summary.title},
                {"subject", summary.subject},
                {"author", summary.author},
                {"keywords", summary.keywords},
                {"comments", summary.comments},
                {"revision", summary.revision},
                {"hyperlinkbase", summary.hyperlinkBase},
                {"custom", std::move(custom)}};
}

// TDCREATE/TDUPDATE: a DXF's value as written when it states one; otherwise the CAD program's local reading of
// the stored instant.
json localTime(std::optional<double> asWritten, const std::optional<dwg::StoredTime>& stored)
{
    if (asWritten) {
        return *asWritten;
    }
    return stored ? json(dwg::cadJulianDate(*stored)) : json(nullptr);
}

json universalTime(const dwg::Drawing& drawing, const std::optional<dwg::StoredTime>& stored)
{
    return stored && drawing.createdIsUniversal ? json(dwg::storedJulianDate(*stored)) : json(nullptr);
}

json entities(const std::vector<dwg::Entity>& list)
{
    json out = json::array();
    for (const dwg::Entity& e : list) {
        json entity{{"handle", hexText(e.handle)}, {"class", e.className}, {"space", e.space}, {"layer", e.layer}};
        addGeometry(e.geometry, entity);
        out.push_back(std::move(entity));
    }
    return out;
}

std::string line(const json& value)
{
    // A name in a damaged drawing may hold bytes that are no UTF-8: they print as U+FFFD instead of failing.
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace

std::string drawingJsonLine(const std::string& file, const dwg::Drawing& drawing)
{
    json out;
    out["file"] = file;
    if (!isUtf8(file))
        out["file_bytes"] = base64(file); // "file" shows stand-ins for the bytes that are not UTF-8
    out["format"] = drawing.format == dwg::DrawingFormat::Dxf ? "dxf" : "dwg";
    out["version"] = drawing.version;
    out["tdcreate"] = localTime(drawing.createdAsWritten, drawing.created);
    out["tducreate"] = universalTime(drawing, drawing.created);
    out["tdupdate"] = localTime(drawing.updatedAsWritten, drawing.updated);
    out["tduupdate"] = universalTime(drawing, drawing.updated);
    out["tdindwg"] = numberOrNull(
        drawing.timeInDrawing ? std::optional<double>(dwg::storedJulianDate(*drawing.timeInDrawing)) : std::nullopt);
    out["handseed"] = drawing.handSeed ? json(hexText(*drawing.handSeed)) : json(nullptr);
    out["fingerprintguid"] = textOrNull(drawing.fingerprintGuid);
    out["versionguid"] = textOrNull(drawing.versionGuid);
    out["codepage"] = textOrNull(drawing.codepage);
    out["lastsavedby"] = drawing.lastSavedBy;
    out["properties"] = properties(drawing.summary);
    out["layers"] = drawing.layers;
    out["blocks"] = drawing.blocks;
    out["counts"] = json{{"layers", drawing.counts.layers},
                         {"blocks", drawing.counts.blocks},
                         {"textstyles", drawing.counts.textStyles},
                         {"linetypes", drawing.counts.linetypes},
                         {"dimstyles", drawing.counts.dimStyles}};
    out["entities"] = entities(drawing.entities);
    // A partial read (a DXF cut short) says what is missing.
    if (!drawing.warnings.empty())
        out["warnings"] = drawing.warnings;
    return line(out);
}

std::string errorJsonLine(const std::string& file, const std::string& reason)
{
    json out{{"file", file}, {"error", reason}};
    if (!isUtf8(file))
        out["file_bytes"] = base64(file);
    return line(out);
}

} // namespace darv
