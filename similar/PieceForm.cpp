// Piece forms, and their tokens from the nearest places found in a 2D k-d tree over the distinct centres.
#include "similar/PieceForm.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>
#include <tuple>

namespace darv::similar {
namespace {

constexpr double kTurn = 6.283185307179586476925;
// Ratios are compared in steps of about 5 %, angles in steps of 1.5 degrees: coarse enough for the last bits a
// turn by any angle changes, fine enough to tell the details of a drawing apart.
constexpr double kRatioSteps = 20; // per unit of the natural logarithm
constexpr double kAngleStep = 1.5 * kTurn / 360;
// Centres this close (relative to their distance from the origin, at least two grid steps) are one place: a
// circle's centre and its centre lines' midpoint, worked out another way after a turn.
constexpr double kSamePlace = 1e-9;
constexpr double kFar = 1e13;
// Places gathered per place before the two nearest are chosen: ties in distance are broken by what lies there.
constexpr std::size_t kGathered = 4;
// A place holding more pieces than this (a pile of copies at one point) is described by its families and count
// alone, worked out once: its every piece measured again for each neighbour would make the work quadratic.
constexpr std::size_t kMeasuredAtPlace = 32;

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

double distance(const dwg::Point3& a, const dwg::Point3& b)
{
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

dwg::Point3 mean(const std::vector<dwg::Point3>& points)
{
    dwg::Point3 m;
    for (const dwg::Point3& p : points) {
        m.x += p.x;
        m.y += p.y;
        m.z += p.z;
    }
    const auto n = static_cast<double>(std::max<std::size_t>(points.size(), 1));
    return {m.x / n, m.y / n, m.z / n};
}

PieceForm lineForm(const dwg::Point3& from, const dwg::Point3& to)
{
    PieceForm f;
    f.family = Hasher(0x464F524Dull).add(std::string_view("AcDbLine")).value();
    f.centre = {(from.x + to.x) / 2, (from.y + to.y) / 2, (from.z + to.z) / 2};
    f.from = from;
    f.to = to;
    f.size = distance(from, to);
    return f;
}

// The points around their mean: the form of entities that are neither a curve nor a line.
PieceForm spreadForm(Hasher family, const std::vector<dwg::Point3>& points)
{
    PieceForm f;
    f.family = family.add(static_cast<std::uint64_t>(points.size())).value();
    f.centre = f.from = f.to = mean(points);
    for (const dwg::Point3& p : points)
        f.size = std::max(f.size, distance(p, f.centre));
    return f;
}

struct FormVisitor
{
    const std::string& className;
    std::vector<PieceForm>& out;

    Hasher family() const { return Hasher(0x464F524Dull).add(className); }
    void centred(Hasher hash, const dwg::Point3& centre, double size) const
    {
        PieceForm f;
        f.family = hash.value();
        f.centre = f.from = f.to = centre;
        f.size = size;
        out.push_back(f);
    }

    void operator()(const std::monostate&) const {}
    void operator()(const dwg::LineGeometry& g) const
    {
        PieceForm f = lineForm(g.start, g.end);
        f.family = family().value();
        out.push_back(f);
    }
    void operator()(const dwg::CircleGeometry& g) const { centred(family(), g.center, g.radius); }
    void operator()(const dwg::ArcGeometry& g) const
    {
        // The sweep survives a turn and a mirror (which swaps the ends); the ends say where the arc lies.
        PieceForm f;
        f.family = family().add(angleKey(g.endAngle - g.startAngle)).value();
        f.centre = g.center;
        f.from = {g.center.x + g.radius * std::cos(g.startAngle), g.center.y + g.radius * std::sin(g.startAngle),
                  g.center.z};
        f.to = {g.center.x + g.radius * std::cos(g.endAngle), g.center.y + g.radius * std::sin(g.endAngle), g.center.z};
        f.size = g.radius;
        out.push_back(f);
    }
    void operator()(const dwg::PointGeometry& g) const { centred(family(), g.position, 0); }
    void operator()(const dwg::PolylineGeometry& g) const
    {
        // Segment by segment, as drawnPieces gives them: each like the same segment drawn as a line.
        const std::vector<dwg::Point3>& points = g.points;
        const std::size_t segments = points.size() < 2 ? 0 : g.closed ? points.size() : points.size() - 1;
        for (std::size_t k = 0; k < segments; ++k) {
            const dwg::Point3& from = points[k];
            const dwg::Point3& to = points[(k + 1) % points.size()];
            if (lengthKey(from.x) == lengthKey(to.x) && lengthKey(from.y) == lengthKey(to.y) &&
                lengthKey(from.z) == lengthKey(to.z))
                continue;
            out.push_back(lineForm(from, to));
        }
    }
    void operator()(const dwg::TextGeometry& g) const { centred(family(), g.position, g.height); }
    void operator()(const dwg::MTextGeometry& g) const { centred(family(), g.position, g.height); }
    void operator()(const dwg::InsertGeometry& g) const { centred(family().add(upperAscii(g.block)), g.position, 0); }
    void operator()(const dwg::EllipseGeometry& g) const
    {
        PieceForm f;
        f.family = family().add(onGrid(g.ratio, kAngleGrid)).add(angleKey(g.endParam - g.startParam)).value();
        f.centre = g.center;
        f.from = {g.center.x + g.majorAxis.x, g.center.y + g.majorAxis.y, g.center.z + g.majorAxis.z};
        f.to = {g.center.x - g.majorAxis.x, g.center.y - g.majorAxis.y, g.center.z - g.majorAxis.z};
        f.size = std::hypot(g.majorAxis.x, g.majorAxis.y, g.majorAxis.z);
        out.push_back(f);
    }
    void operator()(const dwg::SplineGeometry& g) const
    {
        const auto& first = g.controlPoints.empty() ? g.fitPoints : g.controlPoints;
        if (first.empty())
            return;
        std::vector<dwg::Point3> all = g.controlPoints;
        all.insert(all.end(), g.fitPoints.begin(), g.fitPoints.end());
        PieceForm f = spreadForm(family().add(static_cast<std::uint64_t>(g.controlPoints.size())), all);
        f.from = first.front();
        f.to = first.back();
        out.push_back(f);
    }
    void operator()(const dwg::CornersGeometry& g) const
    {
        out.push_back(spreadForm(family(), std::vector<dwg::Point3>(g.corners.begin(), g.corners.end())));
    }
    void operator()(const dwg::DimensionGeometry& g) const
    {
        if (g.points.empty())
            return;
        std::vector<dwg::Point3> points;
        for (const dwg::DimensionPoint& p : g.points)
            points.push_back(p.point);
        out.push_back(spreadForm(family(), points));
    }
};

double treeCoordinate(double v)
{
    return std::isnan(v) ? 0 : std::clamp(v, -kFar, kFar);
}

std::int64_t ratioKey(double ratio)
{
    if (!std::isfinite(ratio) || ratio <= 1e-12)
        return std::numeric_limits<std::int64_t>::min();
    return std::llround(std::log(ratio) * kRatioSteps);
}

struct Place
{
    std::array<double, 2> at{};
    std::size_t begin = 0; // into the pieces ordered by place
    std::size_t end = 0;
    std::uint64_t families = 0; // what lies there, whatever its size
};

struct Near
{
    double distance = 0;
    std::size_t place = 0;
};

// The nearest places found so far, nearest first.
struct Gathered
{
    std::array<Near, kGathered> near{};
    std::size_t count = 0;

    bool full() const { return count == kGathered; }
    void offer(const Near& n)
    {
        if (full() && !(n.distance < near[count - 1].distance))
            return;
        std::size_t at = full() ? count - 1 : count++;
        near[at] = n;
        while (at > 0 && near[at].distance < near[at - 1].distance) {
            std::swap(near[at], near[at - 1]);
            --at;
        }
    }
};

// A k-d tree over the places, asked for the nearest places beyond a small distance.
class PlaceTree
{
public:
    explicit PlaceTree(const std::vector<Place>& places) : m_places(places), m_order(places.size())
    {
        std::iota(m_order.begin(), m_order.end(), std::size_t{0});
        build(0, m_order.size(), 0);
    }

    Gathered nearest(std::size_t own, double beyond) const
    {
        Gathered found;
        search(0, m_order.size(), 0, own, beyond, found);
        return found;
    }

private:
    void build(std::size_t low, std::size_t high, std::size_t axis)
    {
        if (high - low < 2)
            return;
        const std::size_t mid = low + (high - low) / 2;
        std::nth_element(m_order.begin() + static_cast<std::ptrdiff_t>(low),
                         m_order.begin() + static_cast<std::ptrdiff_t>(mid),
                         m_order.begin() + static_cast<std::ptrdiff_t>(high),
                         [&](std::size_t a, std::size_t b) { return m_places[a].at[axis] < m_places[b].at[axis]; });
        build(low, mid, 1 - axis);
        build(mid + 1, high, 1 - axis);
    }

    void search(std::size_t low, std::size_t high, std::size_t axis, std::size_t own, double beyond,
                Gathered& found) const
    {
        if (low >= high)
            return;
        const std::size_t mid = low + (high - low) / 2;
        const Place& here = m_places[m_order[mid]];
        const auto& q = m_places[own].at;
        const double dx = here.at[0] - q[0], dy = here.at[1] - q[1];
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d > beyond)
            found.offer(Near{d, m_order[mid]});
        const double side = q[axis] - here.at[axis];
        const auto nearFirst = side < 0 ? std::pair{low, mid} : std::pair{mid + 1, high};
        const auto farSecond = side < 0 ? std::pair{mid + 1, high} : std::pair{low, mid};
        search(nearFirst.first, nearFirst.second, 1 - axis, own, beyond, found);
        if (!found.full() || std::abs(side) <= found.near[found.count - 1].distance)
            search(farSecond.first, farSecond.second, 1 - axis, own, beyond, found);
    }

    const std::vector<Place>& m_places;
    std::vector<std::size_t> m_order;
};

} // namespace

std::vector<PieceForm> pieceForms(const dwg::Entity& entity)
{
    std::vector<PieceForm> forms;
    std::visit(FormVisitor{entity.className, forms}, entity.geometry);
    return forms;
}

std::vector<std::uint64_t> formHashes(const std::vector<PieceForm>& forms)
{
    std::vector<std::uint64_t> result(forms.size(), 0);
    // Pieces by place (their centres on the grid), then the places.
    std::vector<std::size_t> pieces(forms.size());
    std::iota(pieces.begin(), pieces.end(), std::size_t{0});
    using Key = std::tuple<std::int64_t, std::int64_t, std::uint64_t>;
    std::vector<Key> keys(forms.size());
    for (std::size_t k = 0; k < forms.size(); ++k)
        keys[k] = {lengthKey(forms[k].centre.x), lengthKey(forms[k].centre.y), forms[k].family};
    const auto key = [&](std::size_t k) -> const Key& { return keys[k]; };
    std::sort(pieces.begin(), pieces.end(),
              [&](std::size_t a, std::size_t b) { return std::tie(keys[a], a) < std::tie(keys[b], b); });
    std::vector<Place> places;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const PieceForm& f = forms[pieces[k]];
        if (k == 0 || std::get<0>(key(pieces[k])) != std::get<0>(key(pieces[k - 1])) ||
            std::get<1>(key(pieces[k])) != std::get<1>(key(pieces[k - 1])))
            places.push_back({{treeCoordinate(f.centre.x), treeCoordinate(f.centre.y)}, k, k, 0});
        places.back().end = k + 1;
        places.back().families = Hasher(places.back().families).add(f.family).value();
    }
    const PlaceTree tree(places);
    // What lies at a place, every size measured by `unit`, in an order of its own.
    std::vector<std::uint64_t> parts;
    const auto content = [&](const Place& place, double unit) {
        if (place.end - place.begin > kMeasuredAtPlace)
            return Hasher(place.families).add(static_cast<std::uint64_t>(place.end - place.begin)).value();
        parts.clear();
        for (std::size_t k = place.begin; k < place.end; ++k)
            parts.push_back(Hasher(forms[pieces[k]].family).add(ratioKey(forms[pieces[k]].size / unit)).value());
        std::sort(parts.begin(), parts.end());
        Hasher hash(0x504C414345ull);
        for (const std::uint64_t part : parts)
            hash.add(part);
        return hash.value();
    };
    for (std::size_t p = 0; p < places.size(); ++p) {
        const Place& place = places[p];
        const double beyond = std::max(2 * kLengthGrid, kSamePlace * (std::abs(place.at[0]) + std::abs(place.at[1])));
        Gathered gathered = tree.nearest(p, beyond);
        if (gathered.count == 0)
            continue;
        const std::span<Near> near(gathered.near.data(), gathered.count);
        // Places at the same distance (to the last bits) in the order of what lies there, which a turn keeps.
        std::stable_sort(near.begin(), near.end(), [&](const Near& a, const Near& b) {
            if (std::abs(a.distance - b.distance) > 1e-9 * b.distance)
                return a.distance < b.distance;
            return places[a.place].families < places[b.place].families;
        });
        const double unit = near[0].distance;
        std::uint64_t neighbours[2] = {0, 0};
        double angle = 0;
        for (std::size_t n = 0; n < 2 && n < near.size(); ++n)
            neighbours[n] = Hasher(content(places[near[n].place], unit)).add(ratioKey(near[n].distance / unit)).value();
        if (near.size() >= 2) {
            const auto& o = place.at;
            const auto& a = places[near[0].place].at;
            const auto& b = places[near[1].place].at;
            const double ax = a[0] - o[0], ay = a[1] - o[1], bx = b[0] - o[0], by = b[1] - o[1];
            angle = std::atan2(std::abs(ax * by - ay * bx), ax * bx + ay * by);
        }
        const std::uint64_t here = content(place, unit);
        const std::uint64_t low = std::min(neighbours[0], neighbours[1]);
        const std::uint64_t high = std::max(neighbours[0], neighbours[1]);
        for (std::size_t k = place.begin; k < place.end; ++k) {
            const PieceForm& f = forms[pieces[k]];
            result[pieces[k]] = Hasher(0x464F524D5Aull)
                                    .add(f.family)
                                    .add(ratioKey(f.size / unit))
                                    .add(here)
                                    .add(low)
                                    .add(high)
                                    .add(static_cast<std::int64_t>(std::llround(angle / kAngleStep)))
                                    .value();
        }
    }
    return result;
}

} // namespace darv::similar
