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

json planarPoints(const std::vector<dwg::Point3>& list)
{
    return points(list, true);
}

json attribute(const dwg::AttributeContents& a, bool definition)
{
    json out{{"tag", a.tag}, {"text", a.text}};
    if (definition) {
        out["prompt"] = a.prompt;
    }
    out["position"] = point(a.position);
    out["height"] = a.height;
    return out;
}

json hatchEdge(const dwg::HatchEdge& e)
{
    const auto planar = [](const dwg::Point3& p) { return json::array({p.x, p.y}); };
    switch (e.type) {
    case dwg::HatchEdgeType::Line:
        return json{{"type", "line"}, {"start", planar(e.start)}, {"end", planar(e.end)}};
    case dwg::HatchEdgeType::Arc:
        return json{{"type", "arc"},           {"center", planar(e.start)},
                    {"radius", e.radius},      {"start_angle", e.startAngle},
                    {"end_angle", e.endAngle}, {"ccw", e.counterClockwise}};
    case dwg::HatchEdgeType::EllipticArc:
        return json{{"type", "ellipse"},        {"center", planar(e.start)},   {"major_axis", planar(e.end)},
                    {"ratio", e.radius},        {"start_angle", e.startAngle}, {"end_angle", e.endAngle},
                    {"ccw", e.counterClockwise}};
    case dwg::HatchEdgeType::Spline:
        break;
    }
    return json{{"type", "spline"},       {"degree", e.degree},
                {"rational", e.rational}, {"periodic", e.periodic},
                {"knots", e.knots},       {"control_points", planarPoints(e.controlPoints)},
                {"weights", e.weights},   {"fit_points", planarPoints(e.fitPoints)}};
}

json hatchPaths(const std::vector<dwg::HatchLoop>& loops)
{
    json out = json::array();
    for (const dwg::HatchLoop& loop : loops) {
        json path{{"flags", loop.flags}};
        if ((loop.flags & 2) != 0) {
            path["vertices"] = planarPoints(loop.vertices);
            path["bulges"] = loop.bulges;
            path["closed"] = loop.closed;
        } else {
            path["edges"] = json::array();
            for (const dwg::HatchEdge& edge : loop.edges) {
                path["edges"].push_back(hatchEdge(edge));
            }
        }
        out.push_back(std::move(path));
    }
    return out;
}

// The modeler data: its form, content hash (where it has one) and size in bytes, then the SAT text as it is or the SAB
// bytes in hexadecimal.
void addModeler(const dwg::ModelerContents& d, json& entity)
{
    entity["modeler_format"] = d.binary ? "SAB" : "SAT";
    if (d.hash) {
        char hash[24];
        std::snprintf(hash, sizeof hash, "%016llX", static_cast<unsigned long long>(*d.hash));
        entity["hash"] = hash;
    }
    entity["size"] = d.data.size();
    if (d.binary) {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string hex;
        hex.reserve(d.data.size() * 2);
        for (const char c : d.data) {
            hex.push_back(digits[static_cast<unsigned char>(c) >> 4]);
            hex.push_back(digits[static_cast<unsigned char>(c) & 15]);
        }
        entity["modeler_data"] = std::move(hex);
    } else {
        entity["modeler_data"] = d.data;
    }
}

// The keys of the contents that are no geometry, named after the same vocabulary.
void addData(const dwg::EntityData& data, json& entity)
{
    std::visit(
        [&entity](const auto& d) {
            using T = std::decay_t<decltype(d)>;
            if constexpr (std::is_same_v<T, dwg::AttributeContents>) {
                entity.update(attribute(d, true));
            } else if constexpr (std::is_same_v<T, dwg::HatchContents>) {
                entity["pattern_name"] = d.patternName;
                entity["solid_fill"] = d.solidFill;
                entity["associative"] = d.associative;
                entity["pattern_angle"] = d.patternAngle;
                entity["pattern_scale"] = d.patternScale;
                entity["elevation"] = d.elevation;
                entity["paths"] = hatchPaths(d.loops);
                entity["seed_points"] = planarPoints(d.seedPoints);
            } else if constexpr (std::is_same_v<T, dwg::LeaderContents>) {
                entity["vertices"] = points(d.vertices);
                entity["arrowhead"] = d.arrowhead;
                entity["annotation"] = d.annotation != 0 ? json(hexText(d.annotation)) : json(nullptr);
            } else if constexpr (std::is_same_v<T, dwg::ToleranceContents>) {
                entity["text"] = d.text;
                entity["position"] = point(d.position);
                entity["direction"] = point(d.direction);
            } else if constexpr (std::is_same_v<T, dwg::MLineContents>) {
                entity["style"] = d.style;
                entity["scale"] = d.scale;
                entity["justification"] = d.justification;
                entity["closed"] = d.closed;
                entity["vertices"] = points(d.vertices);
            } else if constexpr (std::is_same_v<T, dwg::MLeaderContents>) {
                entity["content_type"] = d.contentType;
                entity["text"] = d.text;
                entity["text_position"] = point(d.textPosition);
                entity["block"] = textOrNull(d.block);
                entity["block_position"] = point(d.blockPosition);
                entity["leader_lines"] = json::array();
                for (const std::vector<dwg::Point3>& line : d.leaderLines) {
                    entity["leader_lines"].push_back(points(line));
                }
                entity["arrowhead"] = d.arrowhead != 0 ? json(hexText(d.arrowhead)) : json(nullptr);
            } else if constexpr (std::is_same_v<T, dwg::ImageContents>) {
                entity["position"] = point(d.position);
                entity["u_vector"] = point(d.uVector);
                entity["v_vector"] = point(d.vVector);
                entity["size"] = json::array({d.width, d.height});
                entity["clip_boundary"] = planarPoints(d.clipBoundary);
                entity["path"] = textOrNull(d.path);
            } else if constexpr (std::is_same_v<T, dwg::ViewportContents>) {
                entity["center"] = point(d.center);
                entity["width"] = d.width;
                entity["height"] = d.height;
                entity["view_center"] = json::array({d.viewCenter.x, d.viewCenter.y});
                entity["view_height"] = d.viewHeight;
                entity["frozen_layers"] = d.frozenLayers;
            } else if constexpr (std::is_same_v<T, dwg::LightContents>) {
                entity["name"] = d.name;
                entity["light_type"] = d.type;
                entity["position"] = point(d.position);
                entity["target"] = point(d.target);
                entity["intensity"] = d.intensity;
            } else if constexpr (std::is_same_v<T, dwg::RayContents>) {
                entity["point"] = point(d.point);
                entity["direction"] = point(d.direction);
            } else if constexpr (std::is_same_v<T, dwg::TableContents>) {
                entity["position"] = point(d.position);
                entity["rows"] = d.rows;
                entity["columns"] = d.columns;
                entity["cells"] = d.cells;
            } else if constexpr (std::is_same_v<T, dwg::ModelerContents>) {
                addModeler(d, entity);
            } else if constexpr (std::is_same_v<T, dwg::MeshContents>) {
                entity["subdivision_level"] = d.subdivisionLevel;
                entity["vertices"] = points(d.vertices);
                entity["faces"] = d.faces;
            } else if constexpr (std::is_same_v<T, dwg::UnderlayContents>) {
                entity["position"] = point(d.position);
                entity["scale"] = point(d.scale);
                entity["rotation"] = d.rotation;
                entity["clip_boundary"] = planarPoints(d.clipBoundary);
                entity["path"] = textOrNull(d.path);
            } else if constexpr (std::is_same_v<T, dwg::HelixContents>) {
                entity["axis_base_point"] = point(d.axisBase);
                entity["axis_vector"] = point(d.axisVector);
                entity["start_point"] = point(d.startPoint);
                entity["radii"] = json::array({d.baseRadius, d.topRadius});
                entity["turns"] = d.turns;
                entity["turn_height"] = d.turnHeight;
                entity["handedness"] = d.rightHanded ? "right" : "left";
            } else if constexpr (std::is_same_v<T, dwg::ShapeContents>) {
                entity["position"] = point(d.position);
                entity["size"] = d.size;
                entity["rotation"] = d.rotation;
                if (d.name.empty()) {
                    entity["shape_number"] = d.shapeNumber;
                    entity["style"] = d.style;
                } else {
                    entity["name"] = d.name;
                }
            }
        },
        data);
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
        addData(*e.data, entity);
        if (!e.attributes.empty()) {
            entity["attributes"] = json::array();
            for (const dwg::AttributeContents& a : e.attributes) {
                entity["attributes"].push_back(attribute(a, false));
            }
        }
        out.push_back(std::move(entity));
    }
    return out;
}

// Each block definition by name, with its base point and entities where the reader has them.
json blocks(const dwg::Drawing& drawing)
{
    json out = json::array();
    for (std::size_t i = 0; i < drawing.blocks.size(); ++i) {
        json block{{"name", drawing.blocks[i]}};
        if (i < drawing.blockDefinitions.size() && drawing.blockDefinitions[i].name == drawing.blocks[i]) {
            block["base_point"] = point(drawing.blockDefinitions[i].basePoint);
            block["entities"] = entities(drawing.blockDefinitions[i].entities);
        }
        out.push_back(std::move(block));
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
    out["blocks"] = blocks(drawing);
    out["counts"] = json{{"layers", drawing.counts.layers},
                         {"blocks", drawing.counts.blocks},
                         {"textstyles", drawing.counts.textStyles},
                         {"linetypes", drawing.counts.linetypes},
                         {"dimstyles", drawing.counts.dimStyles}};
    out["entities"] = entities(drawing.entities);
    // A partial read (a DXF cut short) says what is missing.
    if (!drawing.warnings.empty())
        out["warnings"] = drawing.warnings;
    if (!drawing.notes.empty())
        out["notes"] = drawing.notes;
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
