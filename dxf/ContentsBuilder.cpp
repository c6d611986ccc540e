// Reads the groups of one annotation or fill entity in their stored order into the shared contents types.
#include "dxf/ContentsBuilder.h"

#include "dxf/GeometryBuilder.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace dxf {

namespace {

struct KindName
{
    std::string_view name;
    ContentsKind kind;
};

constexpr KindName kindNames[] = {
    {"ATTRIB", ContentsKind::Attribute},
    {"ATTDEF", ContentsKind::AttributeDefinition},
    {"HATCH", ContentsKind::Hatch},
    {"LEADER", ContentsKind::Leader},
    {"TOLERANCE", ContentsKind::Tolerance},
    {"MLINE", ContentsKind::MLine},
    {"RAY", ContentsKind::Ray},
    {"XLINE", ContentsKind::Ray},
    {"MULTILEADER", ContentsKind::MLeader},
    {"IMAGE", ContentsKind::Image},
    {"WIPEOUT", ContentsKind::Image},
    {"VIEWPORT", ContentsKind::Viewport},
    {"LIGHT", ContentsKind::Light},
    {"ACAD_TABLE", ContentsKind::Table},
    {"3DSOLID", ContentsKind::Modeler},
    {"REGION", ContentsKind::Modeler},
    {"BODY", ContentsKind::Modeler},
    {"PLANESURFACE", ContentsKind::Modeler},
    {"EXTRUDEDSURFACE", ContentsKind::Modeler},
    {"LOFTEDSURFACE", ContentsKind::Modeler},
    {"REVOLVEDSURFACE", ContentsKind::Modeler},
    {"SWEPTSURFACE", ContentsKind::Modeler},
    {"NURBSURFACE", ContentsKind::Modeler},
    {"MESH", ContentsKind::Mesh},
    {"SHAPE", ContentsKind::Shape},
    {"PDFUNDERLAY", ContentsKind::Underlay},
    {"DWFUNDERLAY", ContentsKind::Underlay},
    {"DGNUNDERLAY", ContentsKind::Underlay},
    {"HELIX", ContentsKind::Helix},
};

// Counts in a file are never more than its groups; a larger one is damage.
constexpr std::int64_t maxCount = 1 << 24;

// Walks the groups in order. A group that is not where the format puts it marks the walk failed; reads after that
// give zeros.
class GroupCursor
{
public:
    explicit GroupCursor(const std::vector<Group>& groups) : m_groups(groups) {}

    bool failed() const { return m_failed; }
    bool at(int code) const { return m_at < m_groups.size() && m_groups[m_at].code == code; }
    int codeAfter(std::size_t ahead) const { return m_at + ahead < m_groups.size() ? m_groups[m_at + ahead].code : -1; }
    // Moves to the next group with `code` (passing the others); false when there is none.
    bool seek(int code)
    {
        while (m_at < m_groups.size() && m_groups[m_at].code != code) {
            ++m_at;
        }
        return m_at < m_groups.size();
    }
    void skip() { ++m_at; }
    // Moves past the subclass marker "100 name"; false when there is none.
    bool seekMarker(std::string_view name)
    {
        while (m_at < m_groups.size() && !m_groups[m_at].is(100, name)) {
            ++m_at;
        }
        return m_at++ < m_groups.size();
    }
    const Group* current() const { return m_at < m_groups.size() ? &m_groups[m_at] : nullptr; }

    double real(int code)
    {
        double value = 0;
        if (!at(code) || !m_groups[m_at].toReal(value)) {
            m_failed = true;
            return 0;
        }
        ++m_at;
        return value;
    }
    std::int64_t integer(int code)
    {
        std::int64_t value = 0;
        if (!at(code) || !m_groups[m_at].toInteger(value)) {
            m_failed = true;
            return 0;
        }
        ++m_at;
        return value;
    }
    std::int64_t count(int code)
    {
        const std::int64_t value = integer(code);
        if (value < 0 || value > maxCount) {
            m_failed = true;
            return 0;
        }
        return value;
    }
    dwg::Point3 planar(int code) // groups code, code + 10
    {
        dwg::Point3 p;
        p.x = real(code);
        p.y = real(code + 10);
        return p;
    }

private:
    const std::vector<Group>& m_groups;
    std::size_t m_at = 0;
    bool m_failed = false;
};

// The first occurrence of each group a kind keeps by code.
class FirstGroups
{
public:
    explicit FirstGroups(const std::vector<Group>& groups) : m_groups(groups) {}

    const Group* find(int code) const
    {
        for (const Group& group : m_groups) {
            if (group.code == code) {
                return &group;
            }
        }
        return nullptr;
    }
    double real(int code, double fallback, bool& damaged) const
    {
        const Group* group = find(code);
        double value = fallback;
        if (group != nullptr && !group->toReal(value)) {
            damaged = true;
        }
        return value;
    }
    dwg::Point3 point(int code, bool& damaged, const dwg::Point3& fallback = {}) const
    {
        return {real(code, fallback.x, damaged), real(code + 10, fallback.y, damaged),
                real(code + 20, fallback.z, damaged)};
    }
    std::string_view text(int code) const
    {
        const Group* group = find(code);
        return group != nullptr ? group->text : std::string_view();
    }
    std::int64_t integer(int code, bool& damaged) const
    {
        const Group* group = find(code);
        std::int64_t value = 0;
        if (group != nullptr && !group->toInteger(value)) {
            damaged = true;
        }
        return value;
    }
    // Every point that starts with group `code`, in file order.
    std::vector<dwg::Point3> points(int code, bool& damaged) const
    {
        std::vector<dwg::Point3> list;
        for (const Group& group : m_groups) {
            const int axis = group.code == code ? 0 : group.code == code + 10 ? 1 : group.code == code + 20 ? 2 : -1;
            if (axis < 0) {
                continue;
            }
            if (axis == 0) {
                list.emplace_back();
            }
            double value = 0;
            if (list.empty() || !group.toReal(value)) {
                damaged = true;
                continue;
            }
            (axis == 0 ? list.back().x : axis == 1 ? list.back().y : list.back().z) = value;
        }
        return list;
    }

private:
    const std::vector<Group>& m_groups;
};

void readSplineEdge(GroupCursor& in, dwg::HatchEdge& edge)
{
    edge.degree = static_cast<int>(in.integer(94));
    edge.rational = in.integer(73) != 0;
    edge.periodic = in.integer(74) != 0;
    const std::int64_t knots = in.count(95);
    const std::int64_t controls = in.count(96);
    for (std::int64_t i = 0; i < knots && !in.failed(); ++i) {
        edge.knots.push_back(in.real(40));
    }
    for (std::int64_t i = 0; i < controls && !in.failed(); ++i) {
        edge.controlPoints.push_back(in.planar(10));
        if (in.at(42)) {
            edge.weights.push_back(in.real(42));
        }
    }
    while (in.at(42)) {
        edge.weights.push_back(in.real(42));
    }
    // Files of 2010 and later give the fit points (97, then 11 and the tangents 12 and 13). Before, a 97 here is
    // the loop's count of boundary objects, which 330 groups or the next loop or the pattern follow.
    const int next = in.codeAfter(1);
    if (in.at(97) && (next == 11 || next == 12 || next == 72 || next == 97)) {
        const std::int64_t fits = in.count(97);
        for (std::int64_t i = 0; i < fits && !in.failed(); ++i) {
            edge.fitPoints.push_back(in.planar(11));
        }
        if (fits > 0) {
            in.planar(12);
            in.planar(13);
        }
    }
}

void readEdge(GroupCursor& in, dwg::HatchEdge& edge)
{
    const std::int64_t type = in.integer(72);
    switch (type) {
    case 1:
        edge.start = in.planar(10);
        edge.end = in.planar(11);
        break;
    case 2:
    case 3:
        edge.start = in.planar(10);
        if (type == 3) {
            edge.end = in.planar(11);
        }
        edge.radius = in.real(40);
        edge.startAngle = toRadians(in.real(50));
        edge.endAngle = toRadians(in.real(51));
        edge.counterClockwise = in.integer(73) != 0;
        break;
    case 4:
        readSplineEdge(in, edge);
        break;
    default:
        in.real(-1); // no such edge: fails the walk
        return;
    }
    edge.type = static_cast<dwg::HatchEdgeType>(type);
}

void readLoop(GroupCursor& in, dwg::HatchLoop& loop)
{
    loop.flags = static_cast<std::uint32_t>(in.integer(92));
    if ((loop.flags & 2) != 0) {
        const bool bulges = in.integer(72) != 0;
        loop.closed = in.integer(73) != 0;
        const std::int64_t vertices = in.count(93);
        for (std::int64_t i = 0; i < vertices && !in.failed(); ++i) {
            loop.vertices.push_back(in.planar(10));
            loop.bulges.push_back(bulges && in.at(42) ? in.real(42) : 0.0);
        }
    } else {
        const std::int64_t edges = in.count(93);
        for (std::int64_t i = 0; i < edges && !in.failed(); ++i) {
            loop.edges.emplace_back();
            readEdge(in, loop.edges.back());
        }
    }
    const std::int64_t sources = in.count(97);
    for (std::int64_t i = 0; i < sources && in.at(330); ++i) {
        in.skip();
    }
}

std::optional<dwg::HatchContents> readHatch(const std::vector<Group>& groups, TextDecoder& decoder)
{
    dwg::HatchContents hatch;
    GroupCursor in(groups);
    bool damaged = false;
    const FirstGroups first(groups);
    hatch.elevation = first.real(30, 0, damaged);
    hatch.patternName = decoder.decode(first.text(2));
    hatch.solidFill = first.integer(70, damaged) != 0;
    hatch.associative = first.integer(71, damaged) != 0;
    if (!in.seek(91)) {
        return std::nullopt;
    }
    const std::int64_t loops = in.count(91);
    for (std::int64_t i = 0; i < loops && !in.failed(); ++i) {
        hatch.loops.emplace_back();
        readLoop(in, hatch.loops.back());
    }
    if (!hatch.solidFill) {
        // Pattern angle and scale follow the style and pattern type.
        hatch.patternAngle = in.seek(52) ? toRadians(in.real(52)) : 0.0;
        hatch.patternScale = in.at(41) ? in.real(41) : 1.0;
    }
    if (in.seek(98)) {
        const std::int64_t seeds = in.count(98);
        for (std::int64_t i = 0; i < seeds && !in.failed(); ++i) {
            hatch.seedPoints.push_back(in.planar(10));
        }
    }
    if (in.failed() || damaged) {
        return std::nullopt;
    }
    return hatch;
}

// The context of a multileader ("300 CONTEXT_DATA{" to "301 }") holds its leaders ("302 LEADER{" to "303 }") with
// their lines ("304 LEADER_LINE{" to "305 }"), then its note or block; its own groups follow the context.
std::optional<dwg::MLeaderContents> readMLeader(const std::vector<Group>& groups, TextDecoder& decoder)
{
    dwg::MLeaderContents mleader;
    bool damaged = false;
    int depth = 0; // 0 outside the context, 1 in it, 2 in a leader, 3 in a leader line
    bool contextSeen = false;
    auto axis = [](dwg::Point3& p, int code) -> double& { return code < 20 ? p.x : code < 30 ? p.y : p.z; };
    for (const Group& group : groups) {
        const int code = group.code;
        if (code >= 300 && code <= 305 && (code != 304 || depth != 1)) {
            const bool opens = group.word().ends_with("{");
            depth += opens ? 1 : (depth > 0 ? -1 : 0);
            contextSeen = contextSeen || code == 300;
            if (code == 304 && opens) {
                mleader.leaderLines.emplace_back();
            }
            continue;
        }
        double value = 0;
        const bool coordinate = code >= 10 && code <= 39;
        if (coordinate && !group.toReal(value)) {
            damaged = true;
            continue;
        }
        if (depth == 3 && coordinate && code % 10 == 0) {
            if (mleader.leaderLines.empty()) {
                damaged = true; // a point of a leader line that was never begun
                continue;
            }
            if (code == 10 || mleader.leaderLines.back().empty()) {
                mleader.leaderLines.back().emplace_back();
            }
            axis(mleader.leaderLines.back().back(), code) = value;
        } else if (depth == 1 && code == 304) {
            mleader.text = decoder.decode(group.text);
        } else if (depth == 1 && coordinate && code % 10 == 2) {
            axis(mleader.textPosition, code) = value;
        } else if (depth == 1 && coordinate && code % 10 == 5) {
            axis(mleader.blockPosition, code) = value;
        } else if (depth == 0 && contextSeen && code == 172) {
            std::int64_t type = 0;
            damaged = damaged || !group.toInteger(type);
            mleader.contentType = static_cast<int>(type);
        } else if (depth == 0 && contextSeen && code == 342) {
            damaged = damaged || !group.toHandle(mleader.arrowhead);
        }
    }
    if (damaged || !contextSeen || depth != 0) {
        return std::nullopt;
    }
    return mleader;
}

// A table's grid after its subclass marker, then its cells, each from its type (171) on. Drawings before 2007 give a
// cell's text in 1 (its first parts in 2 or 3); later ones in the shown text (302) of the cell's value.
std::optional<dwg::TableContents> readTable(const std::vector<Group>& groups, TextDecoder& decoder)
{
    dwg::TableContents table;
    GroupCursor in(groups);
    const FirstGroups first(groups);
    bool damaged = false;
    table.position = first.point(10, damaged);
    if (!in.seekMarker("AcDbTable") || !in.seek(91)) {
        return std::nullopt;
    }
    table.rows = static_cast<std::uint32_t>(in.count(91));
    table.columns = static_cast<std::uint32_t>(in.count(92));
    const std::uint64_t cells = std::uint64_t{table.rows} * table.columns;
    if (in.failed() || damaged || cells > groups.size()) {
        return std::nullopt;
    }
    std::string parts;
    bool inValue = false;
    std::size_t cell = 0;
    for (const Group* group = in.current(); group != nullptr; in.skip(), group = in.current()) {
        if (group->code == 171) {
            if (cell == cells) {
                break; // the table's own overrides follow the cells
            }
            table.cells.emplace_back();
            ++cell;
            parts.clear();
            inValue = false;
        } else if (table.cells.empty()) {
            continue;
        } else if (group->code == 301 && group->word() == "CELL_VALUE") {
            inValue = true;
        } else if (group->code == 304 && group->word() == "ACVALUE_END") {
            inValue = false;
        } else if (!inValue && (group->code == 2 || group->code == 3)) {
            parts.append(group->text);
        } else if (!inValue && group->code == 1) {
            parts.append(group->text);
            table.cells.back() = decoder.decode(parts);
            parts.clear();
        } else if (inValue && group->code == 302) {
            table.cells.back() = decoder.decode(group->text);
        }
    }
    if (table.cells.size() != cells) {
        return std::nullopt;
    }
    return table;
}

// The modeler data as text lines (1; 3 continues a line), each character mirrored as in the drawing. From 2013 on
// the data lives in the file's data store (ACDSDATA): the contents then wait for it (binary, empty).
dwg::ModelerContents readModeler(const std::vector<Group>& groups)
{
    dwg::ModelerContents modeler;
    bool lines = false;
    for (const Group& group : groups) {
        if (group.code != 1 && group.code != 3) {
            modeler.binary = modeler.binary || group.code == 290;
            continue;
        }
        if (group.code == 1 && lines) {
            modeler.data.push_back('\n');
        }
        lines = true;
        // A text file writes a caret as "^ " and a control character c as "^" and c + 64; a binary one as it is.
        const std::string_view text = group.text;
        const bool carets = group.form == ValueForm::Line;
        for (std::size_t i = 0; i < text.size(); ++i) {
            auto byte = static_cast<unsigned char>(text[i]);
            if (carets && byte == '^' && i + 1 < text.size()) {
                const auto next = static_cast<unsigned char>(text[++i]);
                byte = next == ' ' ? '^' : static_cast<unsigned char>(next & 0x1f);
            }
            modeler.data.push_back(static_cast<char>(byte <= 32 ? byte : 159 - byte));
        }
    }
    if (lines) {
        modeler.data.push_back('\n');
        modeler.binary = false;
    }
    modeler.hash = dwg::modelerHash(modeler);
    return modeler;
}

// A helix: its spline (control points 10, fit points 11), then after its subclass marker the helix's own numbers.
std::optional<dwg::HelixContents> readHelix(const std::vector<Group>& groups)
{
    const auto marker =
        std::find_if(groups.begin(), groups.end(), [](const Group& group) { return group.is(100, "AcDbHelix"); });
    if (marker == groups.end()) {
        return std::nullopt;
    }
    bool damaged = false;
    const std::vector<Group> splineGroups(groups.begin(), marker);
    const FirstGroups spline(splineGroups);
    const std::vector<dwg::Point3> fits = spline.points(11, damaged);
    const std::vector<dwg::Point3> controls = spline.points(10, damaged);
    const std::vector<Group> helixGroups(marker + 1, groups.end());
    const FirstGroups own(helixGroups);
    dwg::HelixContents helix;
    helix.axisBase = own.point(10, damaged);
    helix.startPoint = own.point(11, damaged);
    helix.axisVector = own.point(12, damaged, {0, 0, 1});
    helix.baseRadius = own.real(40, 0, damaged);
    helix.turns = own.real(41, 0, damaged);
    helix.turnHeight = own.real(42, 0, damaged);
    helix.rightHanded = own.integer(290, damaged) != 0;
    const std::vector<dwg::Point3>& ends = fits.empty() ? controls : fits;
    if (damaged || ends.empty() || own.find(40) == nullptr || own.find(41) == nullptr) {
        return std::nullopt;
    }
    helix.topRadius = dwg::helixTopRadius(helix, ends.back());
    return helix;
}

// A mesh after its subclass marker: version, blend crease, subdivision level, its vertices, then its faces as one
// list (each face's vertex count, then the indexes).
std::optional<dwg::MeshContents> readMesh(const std::vector<Group>& groups)
{
    dwg::MeshContents mesh;
    GroupCursor in(groups);
    if (!in.seekMarker("AcDbSubDMesh")) {
        return std::nullopt;
    }
    in.integer(71);
    in.integer(72);
    mesh.subdivisionLevel = static_cast<int>(in.count(91));
    const std::int64_t vertices = in.count(92);
    for (std::int64_t i = 0; i < vertices && !in.failed(); ++i) {
        dwg::Point3& p = mesh.vertices.emplace_back(in.planar(10));
        p.z = in.real(30);
    }
    const std::int64_t items = in.count(93);
    for (std::int64_t i = 0; i < items && !in.failed();) {
        const std::int64_t count = in.integer(90);
        ++i;
        if (count < 0 || count > items - i) {
            return std::nullopt;
        }
        std::vector<std::int32_t>& face = mesh.faces.emplace_back();
        for (std::int64_t k = 0; k < count && !in.failed(); ++k, ++i) {
            face.push_back(static_cast<std::int32_t>(in.integer(90)));
        }
    }
    if (in.failed()) {
        return std::nullopt;
    }
    return mesh;
}

// A multi-line attribute keeps its text in an embedded MTEXT (from "101 Embedded Object" on): its first parts in 3,
// the rest in 1. Empty for other attributes.
std::optional<std::string> multiLineText(const std::vector<Group>& groups)
{
    std::optional<std::string> text;
    for (const Group& group : groups) {
        if (group.code == 101) {
            text.emplace();
        } else if (text && (group.code == 3 || group.code == 1)) {
            text->append(group.text);
        }
    }
    return text;
}

} // namespace

std::uint64_t ContentsBuilder::reference() const
{
    if (m_kind == ContentsKind::Image || m_kind == ContentsKind::Underlay) {
        const Group* definition = FirstGroups(m_groups).find(340);
        std::uint64_t handle = 0;
        return definition != nullptr && definition->toHandle(handle) ? handle : 0;
    }
    if (m_kind != ContentsKind::MLeader) {
        return 0;
    }
    int depth = 0;
    for (const Group& group : m_groups) {
        if (group.code >= 300 && group.code <= 305 && (group.code != 304 || depth != 1)) {
            depth += group.word().ends_with("{") ? 1 : (depth > 0 ? -1 : 0);
        } else if (depth == 1 && group.code == 341) {
            std::uint64_t handle = 0;
            return group.toHandle(handle) ? handle : 0;
        }
    }
    return 0;
}

std::vector<std::uint64_t> ContentsBuilder::frozenLayers() const
{
    std::vector<std::uint64_t> handles;
    for (const Group& group : m_groups) {
        std::uint64_t handle = 0;
        if (m_kind == ContentsKind::Viewport && group.code == 331 && group.toHandle(handle)) {
            handles.push_back(handle);
        }
    }
    return handles;
}

ContentsKind contentsKindOf(std::string_view dxfName)
{
    for (const KindName& entry : kindNames) {
        if (entry.name == dxfName) {
            return entry.kind;
        }
    }
    return ContentsKind::None;
}

dwg::EntityData ContentsBuilder::finish(TextDecoder& decoder, bool& damaged) const
{
    const FirstGroups first(m_groups);
    bool bad = false;
    dwg::EntityData data;
    switch (m_kind) {
    case ContentsKind::None:
        return data;
    case ContentsKind::Attribute:
    case ContentsKind::AttributeDefinition: {
        dwg::AttributeContents attribute;
        attribute.tag = decoder.decode(first.text(2));
        attribute.text = decoder.decode(multiLineText(m_groups).value_or(std::string(first.text(1))));
        if (m_kind == ContentsKind::AttributeDefinition) {
            attribute.prompt = decoder.decode(first.text(3));
        }
        attribute.position = first.point(10, bad);
        attribute.height = first.real(40, 0, bad);
        data = std::move(attribute);
        break;
    }
    case ContentsKind::Hatch:
        if (auto hatch = readHatch(m_groups, decoder)) {
            data = std::move(*hatch);
        } else {
            bad = true;
        }
        break;
    case ContentsKind::Leader: {
        dwg::LeaderContents leader;
        leader.vertices = first.points(10, bad);
        // The export adds the hook line's start before the last vertex; the drawing keeps the vertices without it.
        if (first.integer(75, bad) == 1 && leader.vertices.size() >= 3) {
            leader.vertices.erase(leader.vertices.end() - 2);
        }
        const Group* arrowhead = first.find(71); // left out when it holds its default, on
        leader.arrowhead = arrowhead == nullptr || first.integer(71, bad) != 0;
        if (const Group* annotation = first.find(340);
            annotation != nullptr && !annotation->toHandle(leader.annotation)) {
            bad = true;
        }
        data = std::move(leader);
        break;
    }
    case ContentsKind::Tolerance:
        // The direction is left out when it is the x axis.
        data = dwg::ToleranceContents{decoder.decode(first.text(1)), first.point(10, bad),
                                      first.point(11, bad, {1, 0, 0})};
        break;
    case ContentsKind::MLine: {
        dwg::MLineContents mline;
        mline.style = decoder.decode(first.text(2));
        mline.scale = first.real(40, 1, bad);
        mline.justification = static_cast<int>(first.integer(70, bad));
        mline.closed = (first.integer(71, bad) & 2) != 0;
        mline.vertices = first.points(11, bad);
        data = std::move(mline);
        break;
    }
    case ContentsKind::Ray:
        data = dwg::RayContents{first.point(10, bad), first.point(11, bad)};
        break;
    case ContentsKind::Image: {
        dwg::ImageContents image;
        image.position = first.point(10, bad);
        image.uVector = first.point(11, bad);
        image.vVector = first.point(12, bad);
        image.width = first.real(13, 0, bad);
        image.height = first.real(23, 0, bad);
        image.clipBoundary = first.points(14, bad);
        // The export closes a polygon by repeating its first corner; the drawing keeps each corner once.
        if (auto& corners = image.clipBoundary;
            corners.size() > 3 && corners.front().x == corners.back().x && corners.front().y == corners.back().y) {
            corners.pop_back();
        }
        data = std::move(image);
        break;
    }
    case ContentsKind::Light: {
        dwg::LightContents light;
        light.name = decoder.decode(first.text(1));
        light.type = static_cast<int>(first.integer(70, bad));
        light.position = first.point(10, bad);
        light.target = first.point(11, bad);
        light.intensity = first.real(40, 0, bad);
        data = std::move(light);
        break;
    }
    case ContentsKind::Viewport: {
        dwg::ViewportContents viewport;
        viewport.center = first.point(10, bad);
        viewport.width = first.real(40, 0, bad);
        viewport.height = first.real(41, 0, bad);
        viewport.viewCenter = {first.real(12, 0, bad), first.real(22, 0, bad), 0};
        viewport.viewHeight = first.real(45, 0, bad);
        data = std::move(viewport);
        break;
    }
    case ContentsKind::Table:
        if (auto table = readTable(m_groups, decoder)) {
            data = std::move(*table);
        } else {
            bad = true;
        }
        break;
    case ContentsKind::Modeler:
        data = readModeler(m_groups);
        break;
    case ContentsKind::Shape: {
        dwg::ShapeContents shape;
        shape.position = first.point(10, bad);
        shape.size = first.real(40, 0, bad);
        shape.rotation = toRadians(first.real(50, 0, bad));
        shape.name = decoder.decode(first.text(2));
        data = std::move(shape);
        break;
    }
    case ContentsKind::Underlay: {
        dwg::UnderlayContents underlay;
        underlay.position = first.point(10, bad);
        underlay.scale = {first.real(41, 1, bad), first.real(42, 1, bad), first.real(43, 1, bad)};
        underlay.rotation = toRadians(first.real(50, 0, bad));
        underlay.clipBoundary = first.points(11, bad);
        data = std::move(underlay);
        break;
    }
    case ContentsKind::Mesh:
        if (auto mesh = readMesh(m_groups)) {
            data = std::move(*mesh);
        } else {
            bad = true;
        }
        break;
    case ContentsKind::Helix:
        if (auto helix = readHelix(m_groups)) {
            data = std::move(*helix);
        } else {
            bad = true;
        }
        break;
    case ContentsKind::MLeader:
        if (auto mleader = readMLeader(m_groups, decoder)) {
            data = std::move(*mleader);
        } else {
            bad = true;
        }
        break;
    }
    if (bad) {
        damaged = true;
        return std::monostate{};
    }
    return data;
}

} // namespace dxf
