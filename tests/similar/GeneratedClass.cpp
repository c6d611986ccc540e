// Generated classes: the assignments, the template, independent students and planted copies.
#include "similar/GeneratedClass.h"

#include "similar/GeneratedGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace darv::test {
namespace {

using dwg::Point3;

constexpr std::uint64_t kTemplateSeed = 0x250; // the template's next free handle
constexpr double kPi = 3.14159265358979323846;

Point3 plus(const Point3& a, const Point3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// What a DXF file keeps of a number: 16 significant digits.
double throughDxf(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15e", value);
    return std::strtod(text, nullptr);
}

dwg::Entity line(double x1, double y1, double x2, double y2)
{
    return given("AcDbLine", dwg::LineGeometry{{x1, y1, 0}, {x2, y2, 0}});
}

dwg::Entity circle(double x, double y, double r)
{
    return given("AcDbCircle", dwg::CircleGeometry{{x, y, 0}, r});
}

dwg::Entity text(double x, double y, double height, std::string value)
{
    return given("AcDbText", dwg::TextGeometry{{x, y, 0}, height, std::move(value), 0});
}

dwg::Entity polygon(const std::vector<Point3>& points)
{
    return given("AcDbPolyline", dwg::PolylineGeometry{points, true, true});
}

// A pasted entity as ROTATE, MIRROR, SCALE and MOVE leave it (a mirrored text stays readable).
void placeAsTold(dwg::Geometry& g, const CopyTrick& trick)
{
    const double turn = trick.turn * kPi / 180, c = std::cos(turn), s = std::sin(turn), k = trick.scale;
    const Point3 o = trick.about;
    forEachPoint(g, [&](Point3& p) {
        const double x = (trick.mirrored ? o.x - p.x : p.x - o.x) * k, y = (p.y - o.y) * k;
        p = plus({o.x + c * x - s * y, o.y + s * x + c * y, p.z}, trick.move);
    });
    const auto angle = [&](double a) { return (trick.mirrored ? kPi - a : a) + turn; };
    if (auto* circle = std::get_if<dwg::CircleGeometry>(&g)) {
        circle->radius *= k;
    } else if (auto* arc = std::get_if<dwg::ArcGeometry>(&g)) {
        arc->radius *= k;
        const double start = arc->startAngle, end = arc->endAngle;
        arc->startAngle = angle(trick.mirrored ? end : start);
        arc->endAngle = angle(trick.mirrored ? start : end);
    } else if (auto* text = std::get_if<dwg::TextGeometry>(&g)) {
        text->height *= k;
        text->rotation += turn;
    }
}

} // namespace

Assignment bracketAssignment(std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto pick = [&random](std::initializer_list<double> values) {
        return *(values.begin() + static_cast<std::ptrdiff_t>(random() % values.size()));
    };
    const double w = pick({120, 140, 160}), h = pick({70, 80, 90}), c = pick({6, 8, 10});
    Assignment a;
    a.given.push_back(polygon(
        {{c, 0, 0}, {w - c, 0, 0}, {w, c, 0}, {w, h - c, 0}, {w - c, h, 0}, {c, h, 0}, {0, h - c, 0}, {0, c, 0}}));
    const int holes = 2 + static_cast<int>(random() % 3);
    const double r = pick({5, 6, 8});
    for (int k = 1; k <= holes; ++k)
        a.given.push_back(circle(w * k / (holes + 1), h * 0.35, r));
    const double x1 = w * 0.3, x2 = w * 0.7, y = h * 0.75, s = pick({4, 5});
    a.given.push_back(given("AcDbArc", dwg::ArcGeometry{{x1, y, 0}, s, kPi / 2, 3 * kPi / 2}));
    a.given.push_back(given("AcDbArc", dwg::ArcGeometry{{x2, y, 0}, s, 3 * kPi / 2, kPi / 2}));
    a.given.push_back(line(x1, y + s, x2, y + s));
    a.given.push_back(line(x1, y - s, x2, y - s));
    // Every given size is dimensioned: outline, chamfer, hole positions and size, slot.
    a.dimensions = {{{0, 0, 0}, {w, 0, 0}}, {{w, 0, 0}, {w, h, 0}}, {{0, c, 0}, {0, 0, 0}}};
    for (int k = 1; k <= holes; ++k)
        a.dimensions.push_back({{0, h * 0.35, 0}, {w * k / (holes + 1), h * 0.35, 0}});
    a.dimensions.push_back({{w / (holes + 1), 0, 0}, {w / (holes + 1), h * 0.35, 0}});
    a.dimensions.push_back({{w / (holes + 1) - r, h * 0.35, 0}, {w / (holes + 1) + r, h * 0.35, 0}});
    a.dimensions.push_back({{x1, y, 0}, {x2, y, 0}});
    a.dimensions.push_back({{x1, y - s, 0}, {x1, y + s, 0}});
    a.dimensions.push_back({{x2 + s, 0, 0}, {x2 + s, y, 0}});
    return a;
}

Assignment flangeAssignment(std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto pick = [&random](std::initializer_list<double> values) {
        return *(values.begin() + static_cast<std::ptrdiff_t>(random() % values.size()));
    };
    const double outer = pick({60, 70, 80}), bore = pick({15, 20, 25}), hole = pick({4, 5, 6});
    const int bolts = static_cast<int>(pick({4, 6, 8}));
    Assignment a;
    a.given.push_back(circle(0, 0, outer));
    a.given.push_back(circle(0, 0, bore));
    for (int k = 0; k < bolts; ++k) {
        const double angle = 2 * kPi * k / bolts;
        a.given.push_back(circle((outer - 15) * std::cos(angle), (outer - 15) * std::sin(angle), hole));
    }
    a.given.push_back(polygon({{-3, bore - 1, 0}, {3, bore - 1, 0}, {3, bore + 4, 0}, {-3, bore + 4, 0}}));
    const double boss = outer * 0.45;
    a.given.push_back(line(-boss, -outer - 10, boss, -outer - 10));
    a.given.push_back(line(boss, -outer - 10, boss, -outer));
    a.given.push_back(line(-boss, -outer, -boss, -outer - 10));
    // Every given size is dimensioned: diameters, bolt circle, keyway, boss.
    const double bolt = outer - 15;
    a.dimensions = {{{-outer, 0, 0}, {outer, 0, 0}},
                    {{-bore, 0, 0}, {bore, 0, 0}},
                    {{-bolt, 0, 0}, {bolt, 0, 0}},
                    {{bolt - hole, 0, 0}, {bolt + hole, 0, 0}},
                    {{-3, bore + 4, 0}, {3, bore + 4, 0}},
                    {{3, bore - 1, 0}, {3, bore + 4, 0}},
                    {{-boss, -outer - 10, 0}, {boss, -outer - 10, 0}},
                    {{boss, -outer - 10, 0}, {boss, -outer, 0}}};
    return a;
}

namespace {

const char* const kFirstNames[] = {"Anna",  "Ben",    "Clara", "David", "Emma",  "Felix", "Greta", "Hannah", "Ivan",
                                   "Jonas", "Katrin", "Lukas", "Mia",   "Noah",  "Olga",  "Paul",  "Rosa",   "Sami",
                                   "Tina",  "Uwe",    "Vera",  "Willi", "Xenia", "Yusuf", "Zoe"};
const char* const kLastNames[] = {"Berger", "Schmidt", "Novak",    "Weber",     "Fischer", "Meyer",
                                  "Wagner", "Becker",  "Hoffmann", "Koch",      "Richter", "Klein",
                                  "Wolf",   "Neumann", "Braun",    "Zimmermann"};
// Layer names by drawing habit: outline, centre lines, dimensions, own construction.
const char* const kLayers[][4] = {{"Outline", "Center", "Dimensions", "Construction"},
                                  {"KONTUR", "MITTELLINIE", "BEMASSUNG", "HILFSLINIEN"},
                                  {"0", "CENTER", "DIM", "0"}};
const char* const kLayerZero[4] = {"0", "0", "0", "0"};

} // namespace

ClassGenerator::ClassGenerator(Assignment assignment, std::uint64_t seed, ClassStyle style)
    : m_assignment(std::move(assignment)), m_seed(seed), m_style(style), m_random(seed)
{
    dwg::Drawing& t = m_template;
    t.version = "AC1032";
    t.fingerprintGuid = guid();
    t.versionGuid = guid();
    t.created = dwg::StoredTime{2460700, 36000000};
    t.updated = t.created;
    t.lastSavedBy = "mteacher";
    t.summary.author = "M. Teacher";
    t.layers = {"0", "Border", "Title"};
    std::uint64_t handle = 0x100;
    const auto add = [&](dwg::Entity e, const char* layer) {
        e.handle = handle++;
        e.layer = layer;
        t.entities.push_back(std::move(e));
    };
    add(polygon({{10, 10, 0}, {410, 10, 0}, {410, 287, 0}, {10, 287, 0}}), "Border");
    for (const double y : {10.0, 20.0, 30.0, 40.0})
        add(line(240, y, 410, y), "Title");
    add(line(240, 10, 240, 50), "Title");
    add(line(300, 10, 300, 50), "Title");
    add(text(242, 42, 3, "Name:"), "Title");
    add(text(242, 32, 3, "Student no.:"), "Title");
    add(text(242, 22, 3, "Date:"), "Title");
    add(text(242, 12, 3.5, "Technical School Example - Drawing 1"), "Title");
    add(given("AcDbBlockReference", dwg::InsertGeometry{{395, 270, 0}, "LOGO", {1, 1, 1}, 0}), "Title");
    t.handSeed = kTemplateSeed;
}

double ClassGenerator::uniform(double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(m_random);
}

bool ClassGenerator::chance(double p)
{
    return uniform(0, 1) < p;
}

std::string ClassGenerator::guid()
{
    char text[48];
    const std::uint64_t a = m_random(), b = m_random();
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                  static_cast<unsigned>(b >> 48), static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return text;
}

ClassGenerator::Person ClassGenerator::person(int index) const
{
    std::mt19937_64 r(m_seed * 7919 + static_cast<std::uint64_t>(index));
    Person p;
    p.name = std::string(kFirstNames[r() % std::size(kFirstNames)]) + " " + kLastNames[r() % std::size(kLastNames)];
    p.number = std::to_string(2000000 + r() % 7000000);
    // Some log in on a lab machine whose login others use too.
    p.login = r() % 10 < 7 ? "s" + p.number : "LAB-PC-0" + std::to_string(1 + r() % 6);
    p.date = std::to_string(10 + r() % 3) + ".03.2025";
    return p;
}

void ClassGenerator::addEntity(dwg::Drawing& d, std::string className, std::string layer, dwg::Geometry geometry)
{
    if (chance(0.08))
        m_nextHandle += 1 + m_random() % 3; // something drawn and erased again
    dwg::Entity e;
    e.handle = m_nextHandle++;
    e.className = std::move(className);
    e.space = "*Model_Space";
    e.layer = std::move(layer);
    e.geometry = std::move(geometry);
    d.entities.push_back(std::move(e));
}

dwg::Drawing ClassGenerator::freshDrawing(const Person& who, bool fromTemplateFile)
{
    dwg::Drawing d = m_template;
    // Opened from the template file and saved under a new name, a drawing keeps the template's fingerprint and
    // creation time; begun as a new drawing from it, it gets its own.
    if (!fromTemplateFile) {
        d.fingerprintGuid = guid();
        d.created = dwg::StoredTime{2460740 + static_cast<std::int32_t>(m_random() % 5),
                                    static_cast<std::int32_t>(m_random() % 86400000)};
        d.summary.author = chance(0.3) ? who.name : "";
    }
    d.versionGuid = guid();
    d.updated = dwg::StoredTime{d.created->day + 1, static_cast<std::int32_t>(m_random() % 86400000)};
    d.lastSavedBy = who.login;
    d.version = chance(0.5) ? "AC1032" : "AC1027";
    m_nextHandle = kTemplateSeed;
    m_layerStyle = static_cast<int>(m_random() % std::size(kLayers));
    return d;
}

namespace {

double byEye(double value)
{
    return std::round(value * 100) / 100;
}

// The texts a student writes into the title block's fields.
bool personalText(const dwg::Entity& e)
{
    const auto* t = std::get_if<dwg::TextGeometry>(&e.geometry);
    return t && t->position.x > 300 && t->position.y < 50;
}

void finish(dwg::Drawing& d, std::uint64_t nextHandle)
{
    d.handSeed = nextHandle;
    d.layers.clear();
    for (const dwg::Entity& e : d.entities)
        if (std::find(d.layers.begin(), d.layers.end(), e.layer) == d.layers.end())
            d.layers.push_back(e.layer);
}

} // namespace

void ClassGenerator::drawPart(dwg::Drawing& d, const Point3& at)
{
    const auto* layers = m_style.layerZero ? kLayerZero : kLayers[m_layerStyle];
    std::vector<dwg::Entity> items;
    for (dwg::Entity e : m_assignment.given) {
        forEachPoint(e.geometry, [&at](Point3& p) { p = plus(p, at); });
        if (auto* l = std::get_if<dwg::LineGeometry>(&e.geometry)) {
            if (chance(0.5))
                std::swap(l->start, l->end);
            if (chance(0.1)) { // broken in two at some point
                const double f = uniform(0.2, 0.8);
                const Point3 mid{l->start.x + f * (l->end.x - l->start.x), l->start.y + f * (l->end.y - l->start.y), 0};
                items.push_back(given("AcDbLine", dwg::LineGeometry{l->start, mid}));
                l->start = mid;
            }
        } else if (auto* p = std::get_if<dwg::PolylineGeometry>(&e.geometry); p && p->closed) {
            std::rotate(p->points.begin(),
                        p->points.begin() + static_cast<std::ptrdiff_t>(m_random() % p->points.size()),
                        p->points.end());
            if (chance(0.5))
                std::reverse(p->points.begin(), p->points.end());
            if (chance(0.4)) { // drawn as single lines
                for (std::size_t k = 0; k < p->points.size(); ++k)
                    items.push_back(
                        given("AcDbLine", dwg::LineGeometry{p->points[k], p->points[(k + 1) % p->points.size()]}));
                continue;
            }
        }
        items.push_back(std::move(e));
    }
    if (chance(0.6))
        std::shuffle(items.begin(), items.end(), m_random);
    // Centre lines through the holes, reaching past them by the student's own length.
    const double k = m_assignment.scale;
    const double overhang =
        k * (chance(0.5) ? std::vector<double>{2, 2.5, 3, 4, 5}[m_random() % 5] : byEye(uniform(1.5, 6)));
    const bool centreLines = chance(0.85) || m_style.givenPositions;
    for (const dwg::Entity& e : items) {
        addEntity(d, e.className, layers[0], e.geometry);
        const auto* c = std::get_if<dwg::CircleGeometry>(&e.geometry);
        if (!centreLines || !c || c->radius > 20 * k)
            continue;
        const double reach = c->radius + (m_style.givenPositions ? 3 * k : overhang);
        const Point3 o = c->center;
        addEntity(d, "AcDbLine", layers[1], dwg::LineGeometry{{o.x - reach, o.y, 0}, {o.x + reach, o.y, 0}});
        addEntity(d, "AcDbLine", layers[1], dwg::LineGeometry{{o.x, o.y - reach, 0}, {o.x, o.y + reach, 0}});
    }
    // Dimensions: the measured points are given, where the dimension line lies is the student's choice.
    const bool snapped = chance(0.5);
    for (const auto& [p, q] : m_style.dimensions ? m_assignment.dimensions : decltype(m_assignment.dimensions){}) {
        double offset = k * (snapped ? 5.0 * static_cast<double>(2 + m_random() % 4) : byEye(uniform(8, 25)));
        if (m_style.givenPositions)
            offset = 10 * k;
        const double dx = q.x - p.x, dy = q.y - p.y, length = std::hypot(dx, dy);
        if (length < 1e-9 * k)
            continue; // nothing to dimension
        const Point3 normal{-dy / length * offset, dx / length * offset, 0};
        const Point3 from = plus(plus(p, at), normal), to = plus(plus(q, at), normal);
        dwg::DimensionGeometry dim;
        dim.points = {{dwg::DimensionPointKind::DefPoint, to},
                      {dwg::DimensionPointKind::TextMidpoint, {(from.x + to.x) / 2, (from.y + to.y) / 2 + 1.5, 0}},
                      {dwg::DimensionPointKind::DefPoint2, plus(p, at)},
                      {dwg::DimensionPointKind::DefPoint3, plus(q, at)}};
        addEntity(d, chance(0.5) ? "AcDbRotatedDimension" : "AcDbAlignedDimension", layers[2], dim);
    }
}

void ClassGenerator::drawOwnDetails(dwg::Drawing& d, const Point3& at, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        const double s = m_assignment.scale;
        const Point3 from{at.x + s * uniform(-20, 150), at.y + s * uniform(-20, 100), 0};
        const double angle = uniform(0, 2 * kPi), length = s * uniform(20, 120);
        addEntity(d, "AcDbLine", m_style.layerZero ? "0" : kLayers[m_layerStyle][3],
                  dwg::LineGeometry{from, {from.x + length * std::cos(angle), from.y + length * std::sin(angle), 0}});
    }
}

void ClassGenerator::drawTitleTexts(dwg::Drawing& d, const Person& who)
{
    const double height = chance(0.5) ? 3 : 2.5;
    for (const auto& [y, value] : {std::pair{42.0, who.name}, {32.0, who.number}, {22.0, who.date}})
        addEntity(d, "AcDbText", m_style.layerZero ? "0" : "Title",
                  dwg::TextGeometry{{302 + uniform(0, 4), y + uniform(-0.5, 0.5), 0}, height, value, 0});
}

void ClassGenerator::drawNotes(dwg::Drawing& d, const Point3& at)
{
    // Where a note or a mark goes is picked by eye with the mouse: nobody types those coordinates.
    const double k = m_assignment.scale;
    const char* const layer = m_style.layerZero ? "0" : kLayers[m_layerStyle][3];
    for (const char* note : {"ALL EDGES DEBURRED", "GENERAL TOLERANCES ISO 2768-m"})
        addEntity(d, "AcDbText", layer,
                  dwg::TextGeometry{{at.x + k * uniform(-20, 150), at.y - k * uniform(15, 40), 0}, 2.5, note, 0});
    addEntity(d, "AcDbPoint", layer, dwg::PointGeometry{{at.x + k * uniform(0, 120), at.y + k * uniform(0, 80), 0}});
}

dwg::Drawing ClassGenerator::student(int index)
{
    m_random.seed(m_seed * 104729 + static_cast<std::uint64_t>(index));
    const Person who = person(index);
    dwg::Drawing d = freshDrawing(who, chance(0.5));
    const bool textsFirst = chance(0.4);
    if (textsFirst)
        drawTitleTexts(d, who);
    const double r = uniform(0, 1);
    // Some place the part where the assignment sheet suggests, some on round numbers, some anywhere.
    const double k = m_assignment.scale;
    const Point3 at = r < 0.15 || m_style.givenPositions ? Point3{150 * k, 140 * k, 0}
                      : r < 0.5 ? Point3{10 * k * std::round(uniform(6, 25)), 10 * k * std::round(uniform(8, 20)), 0}
                                : Point3{k * byEye(uniform(60, 250)), k * byEye(uniform(80, 200)), 0};
    drawPart(d, at);
    if (m_style.givenPositions)
        drawNotes(d, at);
    else
        drawOwnDetails(d, at, m_random() % 4);
    if (!textsFirst)
        drawTitleTexts(d, who);
    finish(d, m_nextHandle);
    return d;
}

dwg::Drawing ClassGenerator::copy(const dwg::Drawing& source, int copier, const CopyTrick& trick)
{
    m_random.seed(m_seed * 15485863 + static_cast<std::uint64_t>(copier));
    const Person who = person(copier);
    if (trick.wholeFile) {
        dwg::Drawing d = source;
        const std::string fields[] = {who.name, who.number, who.date};
        std::size_t field = 0;
        for (dwg::Entity& e : d.entities)
            if (personalText(e) && field < 3)
                std::get<dwg::TextGeometry>(e.geometry).text = fields[field++];
        d.versionGuid = guid();
        d.lastSavedBy = who.login;
        d.updated = dwg::StoredTime{d.updated->day + 1, 1000};
        return d;
    }
    dwg::Drawing d = freshDrawing(who, chance(0.5));
    const bool textsFirst = chance(0.5);
    if (textsFirst)
        drawTitleTexts(d, who);
    const std::size_t first = d.entities.size();
    for (const dwg::Entity& e : source.entities) {
        if (e.handle < kTemplateSeed || personalText(e))
            continue;
        dwg::Geometry g = e.geometry;
        placeAsTold(g, trick);
        addEntity(d, e.className, trick.renameLayers ? "Layer-" + e.layer : e.layer, g);
    }
    std::vector<dwg::Entity> kept(d.entities.begin(), d.entities.begin() + static_cast<std::ptrdiff_t>(first));
    for (std::size_t k = first; k < d.entities.size(); ++k)
        if (!chance(trick.deleted))
            kept.push_back(d.entities[k]);
    d.entities = std::move(kept);
    const double k = m_assignment.scale;
    drawOwnDetails(d, plus(trick.move, {100 * k, 120 * k, 0}), trick.added);
    if (!textsFirst)
        drawTitleTexts(d, who);
    if (trick.savedAsDxf) {
        for (dwg::Entity& e : d.entities)
            forEachPoint(e.geometry, [](Point3& p) { p = {throughDxf(p.x), throughDxf(p.y), throughDxf(p.z)}; });
        d.format = dwg::DrawingFormat::Dxf;
        d.version = "AC1021";
    }
    finish(d, m_nextHandle);
    return d;
}

} // namespace darv::test
