// The entity record: "DEB1", a table of the names used (classes, spaces, layers, blocks), then per entity
// its handle, three name numbers, the geometry kind and its values. Numbers are little-endian varints,
// coordinates the 8 bytes of the double. A solid (no geometry, its modeler data's hash) is kind kSolidRecord and
// the hash's 8 bytes: the data itself is not kept.
#include "similar/EntityBlob.h"

#include "similar/EntityShape.h"

#include <cstdint>
#include <cstring>
#include <map>

namespace darv::similar {
namespace {

constexpr std::string_view kMagic = "DEB1";
// After the geometry kinds' numbers (a geometry's index in dwg::Geometry).
constexpr std::uint64_t kSolidRecord = 13;

class Writer
{
public:
    void number(std::uint64_t value)
    {
        while (value >= 0x80) {
            m_bytes += static_cast<char>((value & 0x7F) | 0x80);
            value >>= 7;
        }
        m_bytes += static_cast<char>(value);
    }
    void real(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        fixed(bits);
    }
    void fixed(std::uint64_t bits)
    {
        for (int shift = 0; shift < 64; shift += 8)
            m_bytes += static_cast<char>((bits >> shift) & 0xFF);
    }
    void point(const dwg::Point3& p)
    {
        real(p.x);
        real(p.y);
        real(p.z);
    }
    void points(const std::vector<dwg::Point3>& list)
    {
        number(list.size());
        for (const dwg::Point3& p : list)
            point(p);
    }
    void text(std::string_view value)
    {
        number(value.size());
        m_bytes += value;
    }
    std::string& bytes() { return m_bytes; }

private:
    std::string m_bytes;
};

class Reader
{
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    std::size_t remaining() const { return m_bytes.size() - m_at; }
    void fail() { m_ok = false; }

    std::uint64_t number()
    {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!need(1))
                return 0;
            const auto byte = static_cast<std::uint8_t>(m_bytes[m_at++]);
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0)
                return value;
        }
        m_ok = false;
        return 0;
    }
    std::uint64_t fixed()
    {
        if (!need(8))
            return 0;
        std::uint64_t bits = 0;
        for (int shift = 0; shift < 64; shift += 8)
            bits |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_at++])) << shift;
        return bits;
    }
    double real()
    {
        const std::uint64_t bits = fixed();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    dwg::Point3 point()
    {
        const double x = real();
        const double y = real();
        return dwg::Point3{x, y, real()};
    }
    std::vector<dwg::Point3> points()
    {
        const std::uint64_t count = number();
        std::vector<dwg::Point3> list;
        if (count > remaining() / 24) { // checked before anything is allocated
            m_ok = false;
            return list;
        }
        list.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i)
            list.push_back(point());
        return list;
    }
    std::string text()
    {
        const std::uint64_t size = number();
        if (!need(size))
            return {};
        std::string value(m_bytes.substr(m_at, size));
        m_at += size;
        return value;
    }

private:
    bool need(std::uint64_t count)
    {
        if (m_ok && count <= m_bytes.size() - m_at)
            return true;
        m_ok = false;
        return false;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

void writeGeometry(Writer& out, const dwg::Entity& entity)
{
    const dwg::Geometry& geometry = entity.geometry;
    if (const auto hash = solidHash(entity)) {
        out.number(kSolidRecord);
        out.fixed(*hash);
        return;
    }
    out.number(geometry.index());
    std::visit(
        [&out](const auto& g) {
            using G = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<G, dwg::LineGeometry>) {
                out.point(g.start);
                out.point(g.end);
            } else if constexpr (std::is_same_v<G, dwg::CircleGeometry>) {
                out.point(g.center);
                out.real(g.radius);
            } else if constexpr (std::is_same_v<G, dwg::ArcGeometry>) {
                out.point(g.center);
                out.real(g.radius);
                out.real(g.startAngle);
                out.real(g.endAngle);
            } else if constexpr (std::is_same_v<G, dwg::PointGeometry>) {
                out.point(g.position);
            } else if constexpr (std::is_same_v<G, dwg::PolylineGeometry>) {
                out.points(g.points);
                out.number((g.closed ? 1u : 0u) | (g.planar ? 2u : 0u));
            } else if constexpr (std::is_same_v<G, dwg::TextGeometry>) {
                out.point(g.position);
                out.real(g.height);
                out.text(g.text);
                out.real(g.rotation);
            } else if constexpr (std::is_same_v<G, dwg::MTextGeometry>) {
                out.point(g.position);
                out.real(g.height);
                out.text(g.text);
            } else if constexpr (std::is_same_v<G, dwg::InsertGeometry>) {
                out.point(g.position);
                out.text(g.block);
                out.point(g.scale);
                out.real(g.rotation);
            } else if constexpr (std::is_same_v<G, dwg::EllipseGeometry>) {
                out.point(g.center);
                out.point(g.majorAxis);
                out.real(g.ratio);
                out.real(g.startParam);
                out.real(g.endParam);
            } else if constexpr (std::is_same_v<G, dwg::SplineGeometry>) {
                out.points(g.controlPoints);
                out.points(g.fitPoints);
            } else if constexpr (std::is_same_v<G, dwg::CornersGeometry>) {
                for (const dwg::Point3& p : g.corners)
                    out.point(p);
            } else if constexpr (std::is_same_v<G, dwg::DimensionGeometry>) {
                out.number(g.points.size());
                for (const dwg::DimensionPoint& p : g.points) {
                    out.number(static_cast<std::uint64_t>(p.kind));
                    out.point(p.point);
                }
            }
        },
        geometry);
}

} // namespace

namespace {

dwg::Geometry readGeometry(Reader& in, std::uint64_t geometryKind)
{
    switch (geometryKind) {
    case 0:
        return std::monostate{};
    case 1: {
        dwg::LineGeometry g;
        g.start = in.point();
        g.end = in.point();
        return g;
    }
    case 2: {
        dwg::CircleGeometry g;
        g.center = in.point();
        g.radius = in.real();
        return g;
    }
    case 3: {
        dwg::ArcGeometry g;
        g.center = in.point();
        g.radius = in.real();
        g.startAngle = in.real();
        g.endAngle = in.real();
        return g;
    }
    case 4:
        return dwg::PointGeometry{in.point()};
    case 5: {
        dwg::PolylineGeometry g;
        g.points = in.points();
        const std::uint64_t flags = in.number();
        g.closed = (flags & 1u) != 0;
        g.planar = (flags & 2u) != 0;
        return g;
    }
    case 6: {
        dwg::TextGeometry g;
        g.position = in.point();
        g.height = in.real();
        g.text = in.text();
        g.rotation = in.real();
        return g;
    }
    case 7: {
        dwg::MTextGeometry g;
        g.position = in.point();
        g.height = in.real();
        g.text = in.text();
        return g;
    }
    case 8: {
        dwg::InsertGeometry g;
        g.position = in.point();
        g.block = in.text();
        g.scale = in.point();
        g.rotation = in.real();
        return g;
    }
    case 9: {
        dwg::EllipseGeometry g;
        g.center = in.point();
        g.majorAxis = in.point();
        g.ratio = in.real();
        g.startParam = in.real();
        g.endParam = in.real();
        return g;
    }
    case 10: {
        dwg::SplineGeometry g;
        g.controlPoints = in.points();
        g.fitPoints = in.points();
        return g;
    }
    case 11: {
        dwg::CornersGeometry g;
        for (dwg::Point3& p : g.corners)
            p = in.point();
        return g;
    }
    case 12: {
        dwg::DimensionGeometry g;
        const std::uint64_t count = in.number();
        if (count > in.remaining() / 25) {
            in.fail();
            return g;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t kind = in.number();
            if (kind > static_cast<std::uint64_t>(dwg::DimensionPointKind::ArcPoint))
                in.fail();
            g.points.push_back({static_cast<dwg::DimensionPointKind>(kind), in.point()});
        }
        return g;
    }
    default:
        in.fail();
        return std::monostate{};
    }
}

} // namespace

static_assert(std::variant_size_v<dwg::Geometry> == 13, "a new geometry kind needs its record here");

std::string encodeEntities(const std::vector<dwg::Entity>& entities)
{
    std::map<std::string_view, std::size_t> numbers;
    std::vector<std::string_view> names;
    const auto nameNumber = [&](std::string_view name) {
        const auto [it, added] = numbers.emplace(name, names.size());
        if (added)
            names.push_back(name);
        return it->second;
    };
    Writer body;
    body.number(entities.size());
    for (const dwg::Entity& e : entities) {
        body.number(e.handle);
        body.number(nameNumber(e.className));
        body.number(nameNumber(e.space));
        body.number(nameNumber(e.layer));
        writeGeometry(body, e);
    }
    Writer out;
    out.bytes() += kMagic;
    out.number(names.size());
    for (const std::string_view name : names)
        out.text(name);
    return out.bytes() + body.bytes();
}

std::optional<std::vector<dwg::Entity>> decodeEntities(std::string_view bytes)
{
    if (bytes.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    Reader in(bytes.substr(kMagic.size()));
    const std::uint64_t nameCount = in.number();
    std::vector<std::string> names;
    for (std::uint64_t i = 0; i < nameCount && in.ok(); ++i)
        names.push_back(in.text());
    const std::uint64_t count = in.number();
    // Every entity takes at least six bytes: a bound before anything is reserved.
    if (!in.ok() || count > in.remaining() / 6)
        return std::nullopt;
    std::vector<dwg::Entity> entities;
    entities.reserve(count);
    const auto name = [&](std::uint64_t number) -> std::string {
        if (number >= names.size()) {
            in.fail();
            return {};
        }
        return names[number];
    };
    for (std::uint64_t i = 0; i < count && in.ok(); ++i) {
        dwg::Entity e;
        e.handle = in.number();
        e.className = name(in.number());
        e.space = name(in.number());
        e.layer = name(in.number());
        const std::uint64_t kind = in.number();
        if (kind == kSolidRecord) {
            dwg::ModelerContents modeler;
            modeler.hash = in.fixed();
            e.data = std::move(modeler);
        } else {
            e.geometry = readGeometry(in, kind);
        }
        entities.push_back(std::move(e));
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return entities;
}

} // namespace darv::similar
