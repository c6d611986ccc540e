// Draws a drawing's stored geometry with a painter.
#include "similar/window/DrawingPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace darv {

namespace {

constexpr int kCurveSegments = 96;         // a full circle; arcs and ellipses get their share of it
constexpr double kMarkSize = 4.0;          // pixels: points and insertion marks
constexpr double kFixedLabelPixels = 10.0; // a label without a height of its own (a block's name)

struct Label
{
    QPointF position;
    double height = 0;
    double rotation = 0; // radians
    QString text;
};

// A text's width in units of its height, in the font the views paint texts with.
double textWidth(const QString& text)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    return QFontMetricsF(font).horizontalAdvance(text) / 100.0;
}

// What an entity looks like: polylines and labels in world coordinates, and marks drawn at a fixed size.
struct Shapes
{
    std::vector<std::vector<QPointF>> lines;
    std::vector<Label> labels;
    std::vector<QPointF> marks;
};

QPointF at(const dwg::Point3& p)
{
    return {p.x, p.y};
}

std::vector<QPointF> sampleArc(const dwg::Point3& centre, double radius, double start, double end)
{
    double sweep = end - start;
    while (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    const int segments = std::max(4, static_cast<int>(kCurveSegments * sweep / (2 * std::numbers::pi)));
    std::vector<QPointF> points;
    for (int k = 0; k <= segments; ++k) {
        const double angle = start + sweep * k / segments;
        points.emplace_back(centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle));
    }
    return points;
}

std::vector<QPointF> sampleEllipse(const dwg::EllipseGeometry& e)
{
    double sweep = e.endParam - e.startParam;
    while (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    const int segments = std::max(4, static_cast<int>(kCurveSegments * sweep / (2 * std::numbers::pi)));
    // The minor axis is the major one turned a quarter to the left, times the ratio.
    const double minorX = -e.majorAxis.y * e.ratio;
    const double minorY = e.majorAxis.x * e.ratio;
    std::vector<QPointF> points;
    for (int k = 0; k <= segments; ++k) {
        const double t = e.startParam + sweep * k / segments;
        points.emplace_back(e.center.x + e.majorAxis.x * std::cos(t) + minorX * std::sin(t),
                            e.center.y + e.majorAxis.y * std::cos(t) + minorY * std::sin(t));
    }
    return points;
}

// MTEXT keeps formatting codes in its text; on screen only the words matter.
QString plainMText(const std::string& stored)
{
    QString text = QString::fromStdString(stored);
    text.replace(QStringLiteral("\\P"), QStringLiteral(" "));
    static const QRegularExpression codes(QStringLiteral(R"(\\[A-Za-z][^;\\{}]*;|[{}]|\\[A-Za-z])"));
    text.remove(codes);
    return text;
}

struct ShapeMaker
{
    Shapes& shapes;
    bool face = false; // a 3D face goes round its corners; solids and traces zig-zag

    void operator()(const std::monostate&) const {}
    void operator()(const dwg::LineGeometry& g) const { shapes.lines.push_back({at(g.start), at(g.end)}); }
    void operator()(const dwg::CircleGeometry& g) const
    {
        shapes.lines.push_back(sampleArc(g.center, g.radius, 0, 2 * std::numbers::pi));
    }
    void operator()(const dwg::ArcGeometry& g) const
    {
        shapes.lines.push_back(sampleArc(g.center, g.radius, g.startAngle, g.endAngle));
    }
    void operator()(const dwg::PointGeometry& g) const { shapes.marks.push_back(at(g.position)); }
    void operator()(const dwg::PolylineGeometry& g) const
    {
        std::vector<QPointF> points;
        for (const dwg::Point3& p : g.points)
            points.push_back(at(p));
        if (g.closed && !points.empty())
            points.push_back(points.front());
        shapes.lines.push_back(std::move(points));
    }
    void operator()(const dwg::TextGeometry& g) const
    {
        shapes.labels.push_back({at(g.position), g.height, g.rotation, QString::fromStdString(g.text)});
    }
    void operator()(const dwg::MTextGeometry& g) const
    {
        shapes.labels.push_back({at(g.position), g.height, 0, plainMText(g.text)});
    }
    void operator()(const dwg::InsertGeometry& g) const
    {
        shapes.marks.push_back(at(g.position));
        shapes.labels.push_back({at(g.position), 0, g.rotation, QString::fromStdString(g.block)});
    }
    void operator()(const dwg::EllipseGeometry& g) const { shapes.lines.push_back(sampleEllipse(g)); }
    void operator()(const dwg::SplineGeometry& g) const
    {
        // The control polygon; a spline kept only by its fit points runs through them.
        std::vector<QPointF> points;
        for (const dwg::Point3& p : g.controlPoints.empty() ? g.fitPoints : g.controlPoints)
            points.push_back(at(p));
        shapes.lines.push_back(std::move(points));
    }
    void operator()(const dwg::CornersGeometry& g) const
    {
        // Solids and traces store their corners in zig-zag order (1, 2, 4, 3 around); faces go round.
        const auto& c = g.corners;
        if (face)
            shapes.lines.push_back({at(c[0]), at(c[1]), at(c[2]), at(c[3]), at(c[0])});
        else
            shapes.lines.push_back({at(c[0]), at(c[1]), at(c[3]), at(c[2]), at(c[0])});
    }
    void operator()(const dwg::DimensionGeometry& g) const
    {
        for (const dwg::DimensionPoint& p : g.points)
            shapes.marks.push_back(at(p.point));
        if (g.points.size() >= 2)
            shapes.lines.push_back({at(g.points[0].point), at(g.points[1].point)});
    }
};

Shapes shapesOf(const ViewEntity& entity)
{
    Shapes shapes;
    std::visit(ShapeMaker{shapes, entity.className == "AcDbFace"}, entity.geometry);
    return shapes;
}

int drawOrder(EntityMark mark)
{
    return mark == EntityMark::Template ? 0 : mark == EntityMark::Own ? 1 : 2;
}

} // namespace

QPointF ViewTransform::toDevice(double x, double y, const QRectF& target) const
{
    return {target.center().x() + (x - centre.x()) * scale, target.center().y() - (y - centre.y()) * scale};
}

QPointF ViewTransform::toWorld(const QPointF& device, const QRectF& target) const
{
    return {centre.x() + (device.x() - target.center().x()) / scale,
            centre.y() - (device.y() - target.center().y()) / scale};
}

QColor markColour(EntityMark mark)
{
    switch (mark) {
    case EntityMark::Shared:
        return {220, 0, 0};
    case EntityMark::Own:
        return {110, 110, 110};
    case EntityMark::Template:
        return {215, 215, 215};
    }
    return {110, 110, 110};
}

bool isFarEntity(const ViewEntity& entity)
{
    const auto far = [](const QPointF& p) {
        return !(std::abs(p.x()) <= kFarCoordinate) || !(std::abs(p.y()) <= kFarCoordinate);
    };
    const Shapes shapes = shapesOf(entity);
    for (const auto& line : shapes.lines)
        if (std::any_of(line.begin(), line.end(), far))
            return true;
    if (std::any_of(shapes.marks.begin(), shapes.marks.end(), far))
        return true;
    return std::any_of(shapes.labels.begin(), shapes.labels.end(), [&](const Label& l) { return far(l.position); });
}

std::vector<std::uint64_t> farEntities(const std::vector<ViewEntity>& entities)
{
    std::vector<std::uint64_t> handles;
    for (const ViewEntity& entity : entities)
        if (isFarEntity(entity))
            handles.push_back(entity.handle);
    return handles;
}

std::string farEntitiesText(const std::vector<ViewEntity>& a, const std::vector<ViewEntity>& b)
{
    const auto named = [](const char* side, const std::vector<std::uint64_t>& handles) {
        std::string text = std::string(side) + (handles.size() == 1 ? "'s entity " : "'s entities ");
        for (std::size_t k = 0; k < handles.size() && k < 20; ++k) {
            char hex[24];
            std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(handles[k]));
            text += (k ? ", " : "") + std::string(hex);
        }
        if (handles.size() > 20)
            text += " and " + std::to_string(handles.size() - 20) + " more";
        return text;
    };
    const std::vector<std::uint64_t> farA = farEntities(a);
    const std::vector<std::uint64_t> farB = farEntities(b);
    if (farA.empty() && farB.empty())
        return {};
    std::string text = "Left out of the view, as they lie beyond 1e12 drawing units: ";
    if (!farA.empty())
        text += named("A", farA);
    if (!farB.empty())
        text += (farA.empty() ? "" : "; ") + named("B", farB);
    return text + ".";
}

QTransform placedBack(const std::optional<similar::Placement>& placement)
{
    if (!placement)
        return {};
    const similar::Placement back = placement->inverse();
    const double c = std::cos(back.rotation) * back.scale, s = std::sin(back.rotation) * back.scale;
    const double m = back.mirrored ? -1 : 1;
    return QTransform(m * c, m * s, -s, c, back.offset.x, back.offset.y);
}

std::optional<QRectF> worldBounds(const std::vector<ViewEntity>& entities, const QTransform& shift)
{
    double left = 0, right = 0, bottom = 0, top = 0;
    bool any = false;
    const auto add = [&](const QPointF& p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        if (!any) {
            left = right = p.x();
            bottom = top = p.y();
            any = true;
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    };
    for (const ViewEntity& entity : entities) {
        if (isFarEntity(entity))
            continue;
        const Shapes shapes = shapesOf(entity);
        for (const auto& line : shapes.lines)
            for (const QPointF& p : line)
                add(shift.map(p));
        for (const QPointF& p : shapes.marks)
            add(shift.map(p));
        for (const Label& label : shapes.labels) {
            add(shift.map(label.position));
            // A text of a known height reaches as far as its letters: its box's corners, turned as it is.
            if (label.height > 0 && std::isfinite(label.height) && !label.text.isEmpty()) {
                const double width = textWidth(label.text) * label.height;
                const double c = std::cos(label.rotation), s = std::sin(label.rotation);
                for (const auto& [x, y] : {std::pair{width, 0.0}, {0.0, label.height}, {width, label.height}})
                    add(shift.map(label.position + QPointF(x * c - y * s, x * s + y * c)));
            }
        }
    }
    if (!any)
        return std::nullopt;
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

std::optional<QRectF> fixedLabelExtent(const std::vector<ViewEntity>& entities, const ViewTransform& transform,
                                       const QRectF& target, const QTransform& shift)
{
    std::optional<QRectF> extent;
    for (const ViewEntity& entity : entities) {
        if (isFarEntity(entity))
            continue;
        for (const Label& label : shapesOf(entity).labels) {
            if (label.height > 0 || label.text.isEmpty())
                continue;
            const QPointF placed = shift.map(label.position);
            const QPointF at = transform.toDevice(placed.x(), placed.y(), target);
            if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
                continue;
            // As paintEntities draws it: 10 pixels high from its insertion point (its turn left aside).
            const QRectF box(at.x(), at.y() - kFixedLabelPixels, textWidth(label.text) * kFixedLabelPixels,
                             kFixedLabelPixels * 1.25);
            extent = extent ? extent->united(box) : box;
        }
    }
    return extent;
}

ViewTransform fitTransform(const QRectF& bounds, const QRectF& target)
{
    constexpr double margin = 0.9;
    ViewTransform transform;
    transform.centre = bounds.center();
    const double width = std::max(bounds.width(), 1e-9);
    const double height = std::max(bounds.height(), 1e-9);
    transform.scale = margin * std::min(target.width() / width, target.height() / height);
    if (!std::isfinite(transform.scale) || transform.scale <= 0)
        transform.scale = 1.0;
    return transform;
}

void paintEntities(QPainter& painter, const std::vector<ViewEntity>& entities, const ViewTransform& transform,
                   const QRectF& target, const QTransform& shift, double penScale)
{
    const double markSize = kMarkSize * penScale;
    std::vector<const ViewEntity*> ordered;
    for (const ViewEntity& entity : entities)
        ordered.push_back(&entity);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ViewEntity* a, const ViewEntity* b) { return drawOrder(a->mark) < drawOrder(b->mark); });
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const ViewEntity* entity : ordered) {
        if (isFarEntity(*entity))
            continue; // named in a warning instead
        const QColor colour = markColour(entity->mark);
        QPen pen(colour, (entity->mark == EntityMark::Shared ? 2.0 : 1.0) * penScale);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const Shapes shapes = shapesOf(*entity);
        for (const auto& line : shapes.lines) {
            QPolygonF polygon;
            for (const QPointF& p : line) {
                const QPointF q = shift.map(p);
                polygon << transform.toDevice(q.x(), q.y(), target);
            }
            painter.drawPolyline(polygon);
        }
        for (const QPointF& p : shapes.marks) {
            const QPointF q = shift.map(p);
            const QPointF d = transform.toDevice(q.x(), q.y(), target);
            painter.drawLine(d - QPointF(markSize, 0), d + QPointF(markSize, 0));
            painter.drawLine(d - QPointF(0, markSize), d + QPointF(0, markSize));
        }
        for (const Label& label : shapes.labels) {
            const double pixels = label.height > 0 ? label.height * transform.scale : kFixedLabelPixels;
            if (pixels < 2.0 || label.text.isEmpty())
                continue; // too small to read: leave the view uncluttered
            // Drawn at a fixed font size and scaled: a font of a few pixels is hinted wider than its height says,
            // and would reach beyond the extent the view was fitted to.
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(100);
            painter.setFont(font);
            const QPointF q = shift.map(label.position);
            const QPointF d = transform.toDevice(q.x(), q.y(), target);
            painter.save();
            painter.translate(d);
            painter.rotate(-label.rotation * 180.0 / std::numbers::pi);
            const double factor = std::min(pixels, 2000.0) / 100.0;
            painter.scale(factor, factor);
            painter.drawText(QPointF(0, 0), label.text);
            painter.restore();
        }
    }
    painter.restore();
}

} // namespace darv
