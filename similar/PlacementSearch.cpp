// Hypothesise and verify: placements from pairs of matched rare forms, counted by the matches they explain,
// refined by least squares over those matches.
#include "similar/PlacementSearch.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace darv::similar {
namespace {

// Matched forms that propose placements, two at a time (the best weighted, those with fewest partners first),
// and how many partners in B one form of A may have: a repeated detail must not make the search quadratic.
constexpr std::size_t kProposing = 10;
constexpr std::size_t kPartners = 8;
// Matches that may confirm a placement.
constexpr std::size_t kConfirming = 128;
// A placement needs this many matched forms of A that agree: two propose it, a third confirms.
constexpr std::size_t kLeastAgreeing = 3;
constexpr std::size_t kKept = 2;
constexpr double kTurn = 6.283185307179586476925;
// Pieces of the other drawing looked at per cell: a pile of copies at one point must not make it quadratic.
constexpr std::size_t kPerCell = 64;

struct Match
{
    std::size_t a = 0;
    std::size_t b = 0;
    double weight = 0;
    std::size_t partners = 0;
};

double distance2d(const dwg::Point3& p, const dwg::Point3& q)
{
    return std::hypot(p.x - q.x, p.y - q.y);
}

bool within(const dwg::Point3& p, const dwg::Point3& q, double tolerance)
{
    const double dx = p.x - q.x, dy = p.y - q.y;
    return dx * dx + dy * dy <= tolerance * tolerance;
}

// The placement that takes p0 to q0 and p1 to q1, mirrored or not.
std::optional<Placement> throughTwo(const dwg::Point3& p0, const dwg::Point3& p1, const dwg::Point3& q0,
                                    const dwg::Point3& q1, bool mirrored)
{
    const double sign = mirrored ? -1 : 1;
    const double ax = sign * (p1.x - p0.x), ay = p1.y - p0.y;
    const double bx = q1.x - q0.x, by = q1.y - q0.y;
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    if (!(la > 0) || !(lb > 0) || !std::isfinite(la) || !std::isfinite(lb))
        return std::nullopt;
    Placement p;
    p.mirrored = mirrored;
    p.scale = lb / la;
    if (p.scale < 1e-4 || p.scale > 1e4)
        return std::nullopt;
    p.rotation = std::atan2(by, bx) - std::atan2(ay, ax);
    p.rotation = std::fmod(p.rotation + 2 * kTurn, kTurn);
    const dwg::Point3 at = p.apply(p0);
    p.offset = {q0.x - at.x, q0.y - at.y, q0.z - at.z};
    return p;
}

// The placement of the given mirroring that fits the matched centres best (least squares).
Placement refined(const Placement& start, const std::vector<std::pair<dwg::Point3, dwg::Point3>>& pairs)
{
    if (pairs.size() < 2)
        return start;
    const double sign = start.mirrored ? -1 : 1;
    double ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
    for (const auto& [p, q] : pairs) {
        ax += sign * p.x;
        ay += p.y;
        az += p.z;
        bx += q.x;
        by += q.y;
        bz += q.z;
    }
    const auto n = static_cast<double>(pairs.size());
    ax /= n, ay /= n, az /= n, bx /= n, by /= n, bz /= n;
    double dot = 0, cross = 0, norm = 0;
    for (const auto& [p, q] : pairs) {
        const double px = sign * p.x - ax, py = p.y - ay, qx = q.x - bx, qy = q.y - by;
        dot += px * qx + py * qy;
        cross += px * qy - py * qx;
        norm += px * px + py * py;
    }
    if (!(norm > 0))
        return start;
    Placement p;
    p.mirrored = start.mirrored;
    p.rotation = std::fmod(std::atan2(cross, dot) + kTurn, kTurn);
    p.scale = std::hypot(dot, cross) / norm;
    const dwg::Point3 at = p.apply({sign * ax, ay, az}); // the centroid of A, unmirrored, placed
    p.offset = {bx - at.x, by - at.y, bz - at.z};
    return std::isfinite(p.scale) && p.scale > 0 ? p : start;
}

bool samePlacement(const Placement& x, const Placement& y, double tolerance)
{
    const double turn = std::abs(std::remainder(x.rotation - y.rotation, kTurn));
    return x.mirrored == y.mirrored && turn < 1e-3 && std::abs(std::log(x.scale / y.scale)) < 1e-3 &&
           distance2d(x.offset, y.offset) < 100 * tolerance;
}

} // namespace

PlacementMatrix::PlacementMatrix(const Placement& p) : scale(p.scale), offset(p.offset)
{
    const double c = std::cos(p.rotation) * p.scale, s = std::sin(p.rotation) * p.scale;
    const double m = p.mirrored ? -1 : 1;
    xx = m * c;
    xy = -s;
    yx = m * s;
    yy = c;
}

std::vector<Placement> proposePlacements(const PreparedDrawing& a, const PreparedDrawing& b)
{
    std::vector<Match> matches;
    for (const CountingForm& form : a.pieces.counting) {
        const auto partners = b.pieces.countingWith(form.token);
        for (std::size_t j = 0; j < partners.size() && j < kPartners; ++j)
            matches.push_back({form.piece, partners[j].piece, form.weight, partners.size()});
    }
    if (matches.size() < kLeastAgreeing)
        return {};
    std::stable_sort(matches.begin(), matches.end(), [](const Match& x, const Match& y) {
        return x.weight != y.weight ? x.weight > y.weight : x.partners < y.partners;
    });
    if (matches.size() > kConfirming)
        matches.resize(kConfirming);
    const double tolerance = 10 * b.pieces.tolerance;
    const auto centreA = [&](const Match& m) { return a.features.items[m.a].form.centre; };
    const auto centreB = [&](const Match& m) { return b.features.items[m.b].form.centre; };

    struct Hypothesis
    {
        Placement placement;
        double support = 0;
        std::vector<std::size_t> agreeing; // into matches
        bool onlyMoves = false;
    };
    std::vector<Hypothesis> hypotheses;
    const std::size_t proposing = std::min(matches.size(), kProposing);
    std::vector<std::size_t> agreeing;
    std::vector<char> counted(a.features.items.size(), 0);
    std::vector<dwg::Point3> moves; // the moves counted
    for (std::size_t u = 0; u < proposing; ++u) {
        for (std::size_t v = u + 1; v < proposing; ++v) {
            if (distance2d(centreA(matches[u]), centreA(matches[v])) <= tolerance ||
                distance2d(centreB(matches[u]), centreB(matches[v])) <= tolerance)
                continue;
            for (const bool mirrored : {false, true}) {
                const auto placement = throughTwo(centreA(matches[u]), centreA(matches[v]), centreB(matches[u]),
                                                  centreB(matches[v]), mirrored);
                if (!placement)
                    continue;
                // Two matches that a move explains: their mirror in the line through them explains no more, and a
                // move already counted is not counted again (students who drew alike agree on one move throughout).
                const bool move = placement->onlyMoves();
                if (move && std::any_of(moves.begin(), moves.end(), [&](const dwg::Point3& offset) {
                        return within(offset, placement->offset, tolerance);
                    }))
                    break;
                if (move)
                    moves.push_back(placement->offset);
                // Each piece of A counts once, however many partners it agrees with.
                double support = 0;
                std::size_t pieces = 0;
                agreeing.clear();
                const PlacementMatrix map(*placement);
                for (std::size_t m = 0; m < matches.size(); ++m) {
                    if (!within(map.apply(centreA(matches[m])), centreB(matches[m]), tolerance))
                        continue;
                    agreeing.push_back(m);
                    if (!counted[matches[m].a]) {
                        counted[matches[m].a] = 1;
                        support += matches[m].weight;
                        ++pieces;
                    }
                }
                for (const std::size_t m : agreeing)
                    counted[matches[m].a] = 0;
                if (pieces >= kLeastAgreeing)
                    hypotheses.push_back({*placement, support, agreeing, move});
                if (move)
                    break;
            }
        }
    }
    // The best supported first; on a tie the unmirrored one. Only placements that more matches agree on than on
    // any move are kept: where a move explains the matches as well (students who drew the same part the same way,
    // a symmetric part that a mirror maps onto itself), the drawings are compared as moved, as they always were.
    std::stable_sort(hypotheses.begin(), hypotheses.end(), [](const Hypothesis& x, const Hypothesis& y) {
        if (x.support != y.support)
            return x.support > y.support;
        return !x.placement.mirrored && y.placement.mirrored;
    });
    double bestMove = 0;
    for (const Hypothesis& h : hypotheses)
        if (h.onlyMoves)
            bestMove = std::max(bestMove, h.support);
    std::vector<Placement> kept;
    for (const Hypothesis& h : hypotheses) {
        if (kept.size() == kKept || h.support <= bestMove)
            break;
        std::vector<std::pair<dwg::Point3, dwg::Point3>> pairs;
        for (const std::size_t m : h.agreeing)
            pairs.emplace_back(centreA(matches[m]), centreB(matches[m]));
        const Placement placement = refined(h.placement, pairs);
        if (std::none_of(kept.begin(), kept.end(),
                         [&](const Placement& p) { return samePlacement(p, placement, tolerance); }))
            kept.push_back(placement);
    }
    return kept;
}

PlacedPieces::PlacedPieces(const PreparedDrawing& from, const PreparedDrawing& to, const Placement& placement)
    : m_from(from), m_to(to), m_map(placement), m_scale(placement.scale)
{}

std::vector<std::size_t> PlacedPieces::partners(std::size_t piece) const
{
    std::vector<std::size_t> out;
    const PieceForm& form = m_from.features.items[piece].form;
    const dwg::Point3 centre = m_map.apply(form.centre);
    const dwg::Point3 from = m_map.apply(form.from);
    const dwg::Point3 to = m_map.apply(form.to);
    const double size = form.size * m_scale;
    const PieceIndex::Cell cell = m_to.pieces.cellOf(centre);
    const auto& cells = m_to.pieces.cells;
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            const PieceIndex::Cell near{cell.first + dx, cell.second + dy};
            auto it = std::lower_bound(cells.begin(), cells.end(), std::pair{near, std::size_t{0}});
            for (std::size_t seen = 0; it != cells.end() && it->first == near && seen < kPerCell; ++it, ++seen) {
                const PieceForm& other = m_to.features.items[it->second].form;
                const double t = m_to.pieces.tolerance;
                if (other.family != form.family || !within(centre, other.centre, t) || std::abs(size - other.size) > t)
                    continue;
                const bool ends = (within(from, other.from, t) && within(to, other.to, t)) ||
                                  (within(from, other.to, t) && within(to, other.from, t));
                if (ends)
                    out.push_back(it->second);
            }
        }
    }
    return out;
}

bool PlacedPieces::found(std::size_t piece) const
{
    const std::uint64_t form = m_from.features.items[piece].formToken;
    const std::vector<std::size_t> near = partners(piece);
    return std::any_of(near.begin(), near.end(),
                       [&](std::size_t j) { return m_to.features.items[j].formToken == form; });
}

} // namespace darv::similar
