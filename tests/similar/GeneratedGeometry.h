// Small helpers of the generated classes: an entity in model space, and a visit of every point of a geometry.
#pragma once

#include "drawing/Drawing.h"

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace darv::test {

inline dwg::Entity given(std::string className, dwg::Geometry geometry)
{
    dwg::Entity e;
    e.className = std::move(className);
    e.space = "*Model_Space";
    e.geometry = std::move(geometry);
    return e;
}

// Applies f to every point of the geometry.
template <class F> void forEachPoint(dwg::Geometry& geometry, F f)
{
    std::visit(
        [&f](auto& g) {
            using G = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<G, dwg::LineGeometry>) {
                f(g.start);
                f(g.end);
            } else if constexpr (std::is_same_v<G, dwg::CircleGeometry> || std::is_same_v<G, dwg::ArcGeometry>) {
                f(g.center);
            } else if constexpr (std::is_same_v<G, dwg::PointGeometry>) {
                f(g.position);
            } else if constexpr (std::is_same_v<G, dwg::PolylineGeometry>) {
                for (dwg::Point3& p : g.points)
                    f(p);
            } else if constexpr (std::is_same_v<G, dwg::TextGeometry> || std::is_same_v<G, dwg::MTextGeometry> ||
                                 std::is_same_v<G, dwg::InsertGeometry>) {
                f(g.position);
            } else if constexpr (std::is_same_v<G, dwg::DimensionGeometry>) {
                for (dwg::DimensionPoint& p : g.points)
                    f(p.point);
            }
        },
        geometry);
}

} // namespace darv::test
