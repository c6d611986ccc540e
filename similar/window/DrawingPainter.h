// Draws a drawing's stored geometry with a painter: the same picture on screen, in tests and on the
// printed evidence sheet. Entities the other drawing shares are red, the drawing's own grey, the
// template's faint.
#pragma once

#include "drawing/Geometry.h"
#include "similar/Placement.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace darv {

enum class EntityMark {
    Own,      // only in this drawing
    Shared,   // found in the other drawing of the pair
    Template, // part of the template every student started from
};

struct ViewEntity
{
    std::uint64_t handle = 0;
    std::string className;
    dwg::Geometry geometry;
    EntityMark mark = EntityMark::Own;
};

// World (drawing) coordinates to device pixels: the world point `centre` lies at the middle of the
// target, one drawing unit is `scale` pixels, y points up.
struct ViewTransform
{
    double scale = 1.0;
    QPointF centre;

    QPointF toDevice(double x, double y, const QRectF& target) const;
    QPointF toWorld(const QPointF& device, const QRectF& target) const;
};

QColor markColour(EntityMark mark);

// An entity with a point farther out than this (or not a number) is left out of the bounds and not painted: one
// such entity would make the view so large that nothing else shows. farEntities names them for a warning.
inline constexpr double kFarCoordinate = 1e12;
bool isFarEntity(const ViewEntity& entity);
std::vector<std::uint64_t> farEntities(const std::vector<ViewEntity>& entities);
// "Left out of the view, as they lie beyond 1e12 drawing units: A's entity 2A; B's entities 3F, 40." or "".
std::string farEntitiesText(const std::vector<ViewEntity>& a, const std::vector<ViewEntity>& b);

// How B is shown over A: B mapped back by the placement the check found (none: as it lies).
QTransform placedBack(const std::optional<similar::Placement>& placement);

// The drawing's extent, mapped by `shift`, without far entities; empty when nothing else has geometry.
std::optional<QRectF> worldBounds(const std::vector<ViewEntity>& entities, const QTransform& shift = {});

// Where the labels painted at a fixed size (blocks' names) lie on the device: no world extent holds them.
std::optional<QRectF> fixedLabelExtent(const std::vector<ViewEntity>& entities, const ViewTransform& transform,
                                       const QRectF& target, const QTransform& shift = {});

// A transform that shows `bounds` whole inside target, with a small margin.
ViewTransform fitTransform(const QRectF& bounds, const QRectF& target);

// Paints every entity with geometry into target (clipped to it); `shift` maps the drawing before it is
// shown, so that a moved (turned, mirrored, scaled) copy lies over its original. Template entities first, shared ones
// last. Lines and marks are as wide as on a screen of 96 dots per inch times penScale (a printer's dots are finer).
void paintEntities(QPainter& painter, const std::vector<ViewEntity>& entities, const ViewTransform& transform,
                   const QRectF& target, const QTransform& shift = {}, double penScale = 1.0);

} // namespace darv
