// The control points of a spline stored by its fit points: the cubic interpolation the CAD program performs.
#include "dwg/SplineFit.h"

#include <array>
#include <cmath>

namespace dwg {

namespace {

Point3 operator+(Point3 a, Point3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Point3 operator-(Point3 a, Point3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 operator*(double s, Point3 a)
{
    return {s * a.x, s * a.y, s * a.z};
}
bool isZero(Point3 a)
{
    return a.x == 0 && a.y == 0 && a.z == 0;
}

// The parameter of each fit point: cumulative spacing from 0.
std::vector<double> parameters(const FitData& fit)
{
    std::vector<double> u(fit.points.size(), 0.0);
    for (std::size_t i = 1; i < u.size(); ++i) {
        const Point3 d = fit.points[i] - fit.points[i - 1];
        const double chord = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        const double step = fit.spacing == KnotSpacing::Uniform           ? 1.0
                            : fit.spacing == KnotSpacing::SquareRootChord ? std::sqrt(chord)
                                                                          : chord;
        u[i] = u[i - 1] + step;
    }
    return u;
}

// The four cubic basis functions that are not zero at `t` in knot span `span` (U[span] <= t < U[span + 1]).
std::array<double, 4> cubicBasis(const std::vector<double>& knots, std::size_t span, double t)
{
    std::array<double, 4> n{1.0, 0.0, 0.0, 0.0};
    std::array<double, 4> left{};
    std::array<double, 4> right{};
    for (std::size_t j = 1; j <= 3; ++j) {
        left[j] = t - knots[span + 1 - j];
        right[j] = knots[span + j] - t;
        double saved = 0.0;
        for (std::size_t r = 0; r < j; ++r) {
            const double denominator = right[r + 1] + left[j - r];
            const double temp = denominator != 0.0 ? n[r] / denominator : 0.0;
            n[r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        n[j] = saved;
    }
    return n;
}

// One row of a tridiagonal system: a * P[i-1] + b * P[i] + c * P[i+1] = rhs.
struct Row
{
    double a = 0;
    double b = 1;
    double c = 0;
    Point3 rhs;
};

bool solveTridiagonal(std::vector<Row>& rows, std::vector<Point3>& out)
{
    const std::size_t n = rows.size();
    for (std::size_t i = 1; i < n; ++i) {
        if (rows[i - 1].b == 0.0) {
            return false;
        }
        const double m = rows[i].a / rows[i - 1].b;
        rows[i].b -= m * rows[i - 1].c;
        rows[i].rhs = rows[i].rhs - m * rows[i - 1].rhs;
    }
    out.assign(n, Point3{});
    for (std::size_t i = n; i-- > 0;) {
        if (rows[i].b == 0.0) {
            return false;
        }
        const Point3 next = i + 1 < n ? out[i + 1] : Point3{};
        out[i] = (1.0 / rows[i].b) * (rows[i].rhs - rows[i].c * next);
    }
    return true;
}

} // namespace

std::vector<Point3> controlPointsThrough(const FitData& fit)
{
    const std::size_t count = fit.points.size();
    if (count < 2) {
        return {};
    }
    const std::vector<double> u = parameters(fit);
    for (std::size_t i = 1; i < count; ++i) {
        if (!(u[i] > u[i - 1]) || !std::isfinite(u[i])) {
            return {};
        }
    }
    const std::size_t last = count - 1; // fit points 0..last; control points 0..last + 2
    std::vector<double> knots(4, u.front());
    knots.insert(knots.end(), u.begin() + 1, u.end() - 1);
    knots.insert(knots.end(), 4, u.back());

    // Unknowns: control points 1..last+1 (the first and the last are the end fit points).
    const Point3 first = fit.points.front();
    const Point3 end = fit.points.back();
    std::vector<Row> rows(last + 1);
    const double startStep = knots[4] - knots[0];
    if (!isZero(fit.startTangent)) {
        rows[0].rhs = first + (startStep / 3.0) * fit.startTangent; // P1 = Q0 + (U4 - U0) / 3 * D0
    } else {
        // Zero second derivative at the start: (P2 - P1) / (U5 - U2) = (P1 - P0) / (U4 - U1).
        const double d4 = knots[4] - knots[1];
        const double d5 = knots[5] - knots[2];
        rows[0] = Row{0.0, 1.0 / d4 + 1.0 / d5, -1.0 / d5, (1.0 / d4) * first};
    }
    // Fit point k lies on control points k..k+2 (the basis of k+3 is zero at its own knot); unknown j is P(j+1).
    for (std::size_t k = 1; k < last; ++k) {
        const std::array<double, 4> n = cubicBasis(knots, k + 3, u[k]);
        rows[k] = Row{n[0], n[1], n[2], fit.points[k]};
    }
    const std::size_t m = knots.size() - 1;
    const double endStep = knots[m] - knots[m - 4];
    if (!isZero(fit.endTangent)) {
        rows[last] = Row{0.0, 1.0, 0.0, end - (endStep / 3.0) * fit.endTangent};
    } else {
        const double d1 = knots[m - 1] - knots[m - 4];
        const double d2 = knots[m - 2] - knots[m - 5];
        rows[last] = Row{-1.0 / d2, 1.0 / d1 + 1.0 / d2, 0.0, (1.0 / d1) * end};
    }
    std::vector<Point3> inner;
    if (!solveTridiagonal(rows, inner)) {
        return {};
    }
    std::vector<Point3> controls;
    controls.reserve(count + 2);
    controls.push_back(first);
    controls.insert(controls.end(), inner.begin(), inner.end());
    controls.push_back(end);
    return controls;
}

} // namespace dwg
