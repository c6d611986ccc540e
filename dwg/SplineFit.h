// The control points of a spline stored by its fit points: the cubic interpolation the CAD program performs.
#pragma once

#include "drawing/Geometry.h"

#include <vector>

namespace dwg {

// How the fit points are spaced in the spline's parameter: by chord length, by its square root, or evenly.
enum class KnotSpacing { Chord, SquareRootChord, Uniform };

struct FitData
{
    std::vector<Point3> points;
    Point3 startTangent; // the derivative at the first point as stored; (0, 0, 0) when not given
    Point3 endTangent;
    KnotSpacing spacing = KnotSpacing::Chord;
};

// The control points of the clamped cubic B-spline through the fit points with the given end derivatives (an end
// without one gets a zero second derivative), knots at the cumulative spacing. Empty when there is no such spline
// (fewer than two points, or two consecutive points at the same place).
std::vector<Point3> controlPointsThrough(const FitData& fit);

} // namespace dwg
