// The signals of a pair. Each one takes the drawing with less countable evidence of its kind (the smaller
// side) and asks how much of that evidence, weighted by its rarity, the other drawing holds.
#include "similar/PairEvidence.h"

#include "similar/EntityShape.h"
#include "similar/Hashing.h"
#include "similar/PlacementSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace darv::similar {
namespace {

// Matched items, weighted by rarity, that make a share trustworthy: fewer scale it down (two matched details of
// two are no proof). The drawing order has more items, and natural orders of work share some: it needs more.
constexpr double kFullEvidence = 5;
// ...and shared decisions (details, each counted once): one shared choice repeated on many entities is no proof.
// One decision alone stays below the threshold (a student's own length of the centre lines, shared by chance,
// with every shape it gives), so that a pair resting on one detail is reported only where the drawing order
// confirms it.
constexpr double kFullDecisions = 2.25;
constexpr double kFullOrderEvidence = 10;
// The power on the geometry's share (see geometryShare), and what each detail not alike beyond the first adds to it.
constexpr double kShareCurve = 1.1;
constexpr double kUnlikeCurve = 0.15;
constexpr double kFullTextEvidence = 2;
// Shared geometry is trusted by its significance (see Tally::significance) times the square of the share of details
// alike from this on, fully one span further.
constexpr double kSignificantFrom = 0.3;
constexpr double kSignificantSpan = 0.4;
// A part of a drawing's details alike is trusted in full from this significance on.
constexpr double kSignificantPart = 0.5;
// A detail whose lengths are all typed round numbers is this part of a decision: students who type their own
// length pick among a handful of round ones, and share it by chance far more often than one picked by eye.
constexpr double kTypedDecision = 0.5;
// A hand-picked position is two coordinates nobody types: it weighs as much as two rare shapes.
constexpr double kPlaceEvidence = 2;
// How many pieces of the other drawing one piece may point at when offsets are voted: a drawing full of one
// repeated detail must not make the vote quadratic.
constexpr std::size_t kVotesPerPiece = 8;

double confidence(double evidence, double full)
{
    return std::min(1.0, evidence / full);
}

// Evidence is counted in details (see PreparedDrawing.h; for tokens, each token is one). Each detail weighs by
// its rarity and counts by the part of its items found in the other drawing. How many matched items there are,
// weighted by rarity, says how far the share can be trusted.
struct Tally
{
    double weight = 0;
    double matchedWeight = 0;
    std::size_t details = 0;
    std::size_t detailsMatched = 0;
    std::size_t items = 0;
    std::size_t itemsMatched = 0;
    std::size_t places = 0;
    double evidence = 0;
    double decisions = 0;
    const Rarity* rarity = nullptr; // geometry: for the information of its details
    double information = 0;
    double share() const { return weight > 0 ? matchedWeight / weight : 0; }

    // typed: a detail of typed lengths only, one decision in part (see kTypedDecision).
    void addDetail(double w, std::size_t size, std::size_t found, bool typed = false)
    {
        weight += w;
        ++details;
        items += size;
        itemsMatched += found;
        evidence += w * static_cast<double>(found);
        // A detail is one decision: its items count once together, by the part of them found.
        decisions += (typed ? kTypedDecision : 1) * w * static_cast<double>(found) / static_cast<double>(size);
        if (rarity)
            information += rarity->information(w) * static_cast<double>(found) / static_cast<double>(size);
        if (found > 0) {
            matchedWeight += w * static_cast<double>(found) / static_cast<double>(size);
            ++detailsMatched;
        }
    }

    // A hand-picked position found in the other drawing. One that is not found says nothing against a copy (the
    // copier writes own name and notes at own places), so only found ones are counted.
    void addPlace(double w)
    {
        weight += w;
        matchedWeight += w;
        ++details;
        ++detailsMatched;
        ++places;
        evidence += kPlaceEvidence * w;
        decisions += w;
        if (rarity)
            information += rarity->information(w);
    }

    // How far the information goes beyond what chance gives the most alike of the pairs compared. Which of the
    // details are shared is a choice among many as well: its own log of possibilities is taken off.
    double significance() const
    {
        if (!rarity || rarity->pairBurden() <= 0 || details == 0)
            return 0;
        const auto n = static_cast<double>(details), k = static_cast<double>(detailsMatched);
        const double choices = std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
        return std::max(0.0, (information - choices) / rarity->pairBurden() - 1);
    }
};

struct Marks
{
    std::set<std::size_t> a;
    std::set<std::size_t> b;
};

SignalEvidence fromTally(SignalKind kind, const Tally& tally, bool smallerIsA)
{
    SignalEvidence s;
    s.kind = kind;
    s.share = tally.share();
    s.matched = tally.detailsMatched;
    s.countable = tally.details;
    s.items = tally.items;
    s.itemsMatched = tally.itemsMatched;
    s.evidence = tally.evidence;
    s.decisions = tally.decisions;
    s.places = tally.places;
    s.significance = tally.significance();
    s.smallerIsA = smallerIsA;
    return s;
}

dwg::Point3 negated(const dwg::Point3& p)
{
    return {-p.x, -p.y, -p.z};
}

bool isZero(const dwg::Point3& p)
{
    return lengthKey(p.x) == 0 && lengthKey(p.y) == 0 && lengthKey(p.z) == 0;
}

// Where piece k of `from` lies after the move.
std::uint64_t placeAfter(const PreparedDrawing& from, std::size_t k, const dwg::Point3& offset)
{
    if (isZero(offset))
        return from.placeKeys[k];
    const GeometryItem& item = from.features.items[k];
    return placeKey(EntityShape{true, item.shape, item.anchor}, offset);
}

// How much of `from`'s own details lies in `to` after the move: each detail by the part of its shapes found
// there (one piece of a shape there is enough).
Tally matchAt(const PreparedDrawing& from, const PreparedDrawing& to, const dwg::Point3& offset)
{
    Tally tally;
    tally.rarity = &from.rarity;
    for (const auto& [key, detail] : from.own) {
        std::size_t found = 0;
        for (const auto& [token, pieces] : detail.shapes)
            if (std::any_of(pieces.begin(), pieces.end(),
                            [&](std::size_t k) { return to.places.count(placeAfter(from, k, offset)) != 0; }))
                ++found;
        tally.addDetail(detail.weight, detail.shapes.size(), found, detail.typed);
    }
    for (const auto& [n, weight] : from.countingPlaces) {
        const HandPlacedEntity& h = from.handPlaced[n];
        if (to.handPlaces.count(handPlaceToken(h.kind, h.anchor, offset)))
            tally.addPlace(weight);
    }
    return tally;
}

// The entities of A with a piece that lies in B after the move, and the entities of those pieces in B: what the
// window marks.
void markAt(const PreparedDrawing& a, const PreparedDrawing& b, const dwg::Point3& offset, Marks& marks)
{
    std::unordered_set<std::uint64_t> markedPlaces; // B's pieces at one place are marked once, however many of A's
    for (std::size_t k = 0; k < a.features.items.size(); ++k) {
        const std::uint64_t place = placeAfter(a, k, offset);
        const auto it = b.places.find(place);
        if (it == b.places.end())
            continue;
        marks.a.insert(a.features.items[k].entity);
        if (markedPlaces.insert(place).second)
            for (const std::size_t j : it->second)
                marks.b.insert(b.features.items[j].entity);
    }
    for (const auto& [n, weight] : a.countingPlaces) {
        const HandPlacedEntity& h = a.handPlaced[n];
        const auto it = b.handPlaces.find(handPlaceToken(h.kind, h.anchor, offset));
        if (it == b.handPlaces.end())
            continue;
        marks.a.insert(h.entity);
        for (const std::size_t j : it->second)
            marks.b.insert(b.handPlaced[j].entity);
    }
}

// matchAt for a placement that turns, mirrors or scales. A turned or resized copy makes every shape new, so shapes
// cannot be matched there: the pieces' forms are matched instead, which such a copy keeps (a form the whole class
// draws, the given part's, is no evidence). Which pieces are the student's own and how they group into decisions
// is still told by their shapes in the class, not by the forms' holders: a piece's form changes with whatever lies
// around it, so the given part's pieces and one choice (the centre lines' length) would count as many decisions
// seen turned (a symmetric part mirrored onto itself is only moved).
Tally matchPlaced(const PreparedDrawing& from, const PreparedDrawing& to, const Placement& placement)
{
    const PlacedPieces placed(from, to, placement);
    struct FormDetail
    {
        double weight = 0;
        bool typed = true;
        std::map<std::uint64_t, bool> forms; // form token -> a piece of it found
    };
    std::map<std::pair<std::uint64_t, std::uint64_t>, FormDetail> details;
    for (const CountingForm& form : from.pieces.counting) {
        const GeometryItem& item = from.features.items[form.piece];
        const std::uint64_t shape = makeToken(TokenKind::Shape, item.shape);
        if (!from.rarity.counts(shape))
            continue; // the assignment's piece: its form is rare only for what the student drew around it
        FormDetail& detail = details[{item.kind, from.rarity.holderSignature(shape)}];
        detail.weight = detail.forms.empty() ? form.weight : std::min(detail.weight, form.weight);
        detail.typed = detail.typed && typedPiece(item.form);
        bool& found = detail.forms[form.token];
        found = found || placed.found(form.piece);
    }
    Tally tally;
    tally.rarity = &from.rarity;
    for (const auto& [key, detail] : details) {
        const auto found = static_cast<std::size_t>(
            std::count_if(detail.forms.begin(), detail.forms.end(), [](const auto& f) { return f.second; }));
        tally.addDetail(detail.weight, detail.forms.size(), found, detail.typed);
    }
    return tally;
}

void markPlaced(const PreparedDrawing& a, const PreparedDrawing& b, const Placement& placement, Marks& marks)
{
    const PlacedPieces placed(a, b, placement);
    for (std::size_t k = 0; k < a.features.items.size(); ++k) {
        const std::vector<std::size_t> partners = placed.partners(k);
        if (partners.empty())
            continue;
        marks.a.insert(a.features.items[k].entity);
        for (const std::size_t j : partners)
            marks.b.insert(b.features.items[j].entity);
    }
}

// The move that A's pieces agree on most (B = A + offset), by weighted vote of piece pairs with the same rare
// context (shape and nearest neighbours), or else with the same rare shape; none when nothing of A recurs in B
// away from its place.
std::optional<dwg::Point3> votedOffset(const PreparedDrawing& a, const PreparedDrawing& b)
{
    using Key = std::tuple<std::int64_t, std::int64_t, std::int64_t>;
    std::map<Key, std::pair<double, dwg::Point3>> votes;
    const auto voteFor = [&](const dwg::Point3& from, const dwg::Point3& to, double weight) {
        const dwg::Point3 d{to.x - from.x, to.y - from.y, to.z - from.z};
        const Key key{lengthKey(d.x), lengthKey(d.y), lengthKey(d.z)};
        if (key != Key{0, 0, 0})
            votes.try_emplace(key, 0.0, d).first->second.first += weight;
    };
    const auto vote = [&](std::size_t x, std::size_t y, double weight) {
        voteFor(a.features.items[x].anchor, b.features.items[y].anchor, weight);
    };
    // A hand-picked position keeps its offsets to the pieces around it when the drawing is moved.
    for (const auto& [n, weight] : a.countingPlaces) {
        const HandPlacedEntity& h = a.handPlaced[n];
        for (const std::uint64_t relative : h.relative) {
            const auto it = relative != 0 ? b.handOffsets.find(relative) : b.handOffsets.end();
            if (it == b.handOffsets.end())
                continue;
            for (std::size_t j = 0; j < it->second.size() && j < kVotesPerPiece; ++j)
                voteFor(h.anchor, b.handPlaced[it->second[j]].anchor, weight / static_cast<double>(kNeighbours));
        }
    }
    for (const auto& [key, detail] : a.own) {
        for (const auto& [token, pieces] : detail.shapes) {
            for (const std::size_t k : pieces) {
                const std::uint64_t context = a.features.items[k].context;
                const auto it = b.contexts.find(context);
                if (it == b.contexts.end() || !a.rarity.counts(context))
                    continue;
                for (std::size_t j = 0; j < it->second.size() && j < kVotesPerPiece; ++j)
                    vote(k, it->second[j], a.rarity.weight(context));
            }
        }
    }
    if (votes.empty()) {
        for (const auto& [key, detail] : a.own) {
            for (const auto& [token, pieces] : detail.shapes) {
                const auto it = b.shapes.find(a.features.items[pieces.front()].shape);
                if (it == b.shapes.end())
                    continue;
                // One vote per shape, shared among its pairs: a shape repeated many times must not outvote the rest.
                const double share = detail.weight / static_cast<double>(pieces.size() * it->second.size());
                for (const std::size_t k : pieces)
                    for (std::size_t j = 0; j < it->second.size() && j < kVotesPerPiece; ++j)
                        vote(k, it->second[j], share);
            }
        }
    }
    // The heaviest vote; on a tie the first key, so the choice does not depend on the order of pieces.
    const auto best = std::max_element(votes.begin(), votes.end(),
                                       [](const auto& x, const auto& y) { return x.second.first < y.second.first; });
    if (best == votes.end())
        return std::nullopt;
    return best->second.second;
}

// A copy turned, mirrored or scaled after pasting: the best placement proposed (see proposePlacements), where it
// explains more than the drawing in place or moved does.
std::optional<std::pair<Placement, Tally>> bestPlaced(const PreparedDrawing& a, const PreparedDrawing& b,
                                                      bool smallerIsA, double explained)
{
    std::optional<std::pair<Placement, Tally>> best;
    for (const Placement& placement : proposePlacements(a, b)) {
        const Tally tally = smallerIsA ? matchPlaced(a, b, placement) : matchPlaced(b, a, placement.inverse());
        if (tally.detailsMatched > 0 && (!best || tally.share() > best->second.share()))
            best.emplace(placement, tally);
    }
    if (best && best->second.share() > explained)
        return best;
    return std::nullopt;
}

void addGeometry(const PreparedDrawing& a, const PreparedDrawing& b, PairEvidence& out, Marks& marks)
{
    if ((a.own.empty() && a.countingPlaces.empty()) || (b.own.empty() && b.countingPlaces.empty()))
        return;
    // The smaller side by its own details: its hand-picked positions count only where found (see Tally::addPlace).
    const bool smallerIsA = a.own.size() <= b.own.size();
    const auto tallyAt = [&](const dwg::Point3& offset) {
        return smallerIsA ? matchAt(a, b, offset) : matchAt(b, a, negated(offset));
    };
    const auto signal = [&](SignalKind kind, const Tally& tally, const Placement& placement) {
        SignalEvidence s = fromTally(kind, tally, smallerIsA);
        s.placement = placement;
        out.signals.push_back(s);
        if (placement.onlyMoves())
            markAt(a, b, placement.offset, marks);
        else
            markPlaced(a, b, placement, marks);
        if (kind == SignalKind::GeometryMoved)
            out.placement = placement;
    };
    const Tally inPlace = tallyAt(dwg::Point3{});
    if (inPlace.detailsMatched > 0)
        signal(SignalKind::GeometryInPlace, inPlace, Placement{});
    // A move is only reported where it explains more than the drawing in place does: a symmetric part also
    // matches itself shifted by its own pitch.
    double explained = inPlace.share();
    std::optional<std::pair<Placement, Tally>> moved;
    if (const auto offset = votedOffset(a, b)) {
        const Tally tally = tallyAt(*offset);
        if (tally.detailsMatched > 0 && tally.share() > inPlace.share())
            moved.emplace(Placement::moved(*offset), tally);
        explained = std::max(explained, tally.share());
    }
    // The geometry is moved one way: turned (mirrored, scaled) where that explains more, else only moved.
    // (Nothing can explain more than all of it.)
    if (explained < 1)
        if (const auto placed = bestPlaced(a, b, smallerIsA, explained))
            moved = placed;
    if (moved)
        signal(SignalKind::GeometryMoved, moved->second, moved->first);
}

Tally tallyTokens(const std::vector<WeightedToken>& from, const FlatTokenSet& to)
{
    Tally tally;
    for (const WeightedToken& t : from)
        tally.addDetail(t.weight, 1, to.count(t.token));
    return tally;
}

// A token signal (order, texts, handles): the side with fewer countable tokens is measured against the other.
bool addTokens(SignalKind kind, const std::vector<WeightedToken>& a, const FlatTokenSet& setA,
               const std::vector<WeightedToken>& b, const FlatTokenSet& setB, PairEvidence& out)
{
    if (a.empty() || b.empty())
        return false;
    const bool smallerIsA = a.size() <= b.size();
    const Tally tally = smallerIsA ? tallyTokens(a, setB) : tallyTokens(b, setA);
    if (tally.detailsMatched == 0)
        return false;
    out.signals.push_back(fromTally(kind, tally, smallerIsA));
    return true;
}

void markOrder(const DrawingFeatures& f, const FlatTokenSet& shared, std::set<std::size_t>& marks)
{
    for (const Fingerprint& p : f.order)
        if (shared.count(p.hash))
            for (std::size_t k = p.position; k < p.position + kOrderGram && k < f.sequence.size(); ++k)
                marks.insert(f.sequence[k]);
}

void addOrder(const PreparedDrawing& a, const PreparedDrawing& b, PairEvidence& out, Marks& marks)
{
    if (!addTokens(SignalKind::DrawingOrder, a.order, a.orderSet, b.order, b.orderSet, out))
        return;
    FlatTokenSet shared;
    for (const WeightedToken& t : a.order)
        if (b.orderSet.count(t.token))
            shared.insert(t.token);
    markOrder(a.features, shared, marks.a);
    markOrder(b.features, shared, marks.b);
}

// The texts of A that count and that B holds too, with the entities they come from, for the marking.
void addTexts(const PreparedDrawing& a, const PreparedDrawing& b, PairEvidence& out, Marks& marks)
{
    if (!addTokens(SignalKind::SameTexts, a.texts, a.textSet, b.texts, b.textSet, out))
        return;
    std::vector<std::string>& labels = out.signals.back().labels;
    // B's texts by token (the first of each, as a scan in order would find it): one look-up per text of A.
    std::unordered_map<std::uint64_t, const LabelledToken*> inB;
    inB.reserve(b.features.texts.size());
    for (const LabelledToken& y : b.features.texts)
        inB.try_emplace(y.token, &y);
    for (const LabelledToken& x : a.features.texts) {
        if (!a.rarity.counts(x.token))
            continue;
        const auto it = inB.find(x.token);
        if (it == inB.end())
            continue;
        labels.push_back(x.label);
        marks.a.insert(x.entities.begin(), x.entities.end());
        marks.b.insert(it->second->entities.begin(), it->second->entities.end());
    }
}

SignalKind identityKind(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Fingerprint:
        return SignalKind::SameFingerprint;
    case TokenKind::VersionGuid:
        return SignalKind::SameVersionGuid;
    case TokenKind::Created:
        return SignalKind::SameCreated;
    default:
        return SignalKind::SameContent;
    }
}

SignalEvidence whole(SignalKind kind, std::vector<std::string> labels, bool decisive)
{
    SignalEvidence s;
    s.kind = kind;
    s.share = 1;
    s.matched = s.countable = s.items = s.itemsMatched = 1;
    s.evidence = s.decisions = std::numeric_limits<double>::infinity(); // decisive, or a name: whole by itself
    s.labels = std::move(labels);
    s.decisive = decisive;
    return s;
}

void addIdentity(const PreparedDrawing& a, const PreparedDrawing& b, PairEvidence& out)
{
    for (const LabelledToken& x : a.features.identity) {
        if (!a.rarity.counts(x.token))
            continue;
        for (const LabelledToken& y : b.features.identity)
            if (x.token == y.token)
                out.signals.push_back(whole(identityKind(x.kind), {x.label}, true));
    }
}

void addNames(const PreparedDrawing& a, const PreparedDrawing& b, PairEvidence& out)
{
    for (const LabelledToken& x : a.features.names) {
        if (!a.rarity.counts(x.token))
            continue;
        for (const LabelledToken& y : b.features.names) {
            if (x.token == y.token) {
                out.signals.push_back(whole(SignalKind::SameAuthor, {x.label, y.label}, false));
                return;
            }
        }
    }
}

bool isGeometry(SignalKind kind)
{
    return kind == SignalKind::GeometryInPlace || kind == SignalKind::GeometryMoved;
}

// The share of the smaller side's details found in the other, each counted once whatever its rarity.
double detailsAlike(const SignalEvidence& s)
{
    return s.countable > 0 ? static_cast<double>(s.matched) / static_cast<double>(s.countable) : 0;
}

// How much of the smaller side's geometry the other holds, as the score weighs it. Its details count by number as
// well as by rarity: a copier's own additions, held by nobody else, outweigh by rarity everything copied that others
// also chose, while a copy holds nearly every detail of the drawing by number. And a share under one weighs less
// than in proportion: half of a drawing's details alike is what chance gives the most alike independent students of
// a class, a copy holds most of them. The less so, the more details differ: a copier's own additions are mostly one
// piece of work, while independent students differ in one choice after another.
double geometryShare(const SignalEvidence& s)
{
    const double byNumber = detailsAlike(s);
    const double unlike = static_cast<double>(s.countable - s.matched);
    return std::pow((s.share + byNumber) / 2, kShareCurve + kUnlikeCurve * std::max(0.0, unlike - 1));
}

// How far a share can be trusted. By the weighted count of what is shared, and for geometry also by how unlikely
// it is that students who worked alone share that much: in a large class each detail is held by more of them and
// weighs less, but a copy of a dozen of them is no less sure for that.
double trust(const SignalEvidence& s, double full, double measured)
{
    const double counted = std::min(confidence(s.evidence, full), confidence(s.decisions, kFullDecisions));
    if (!isGeometry(s.kind))
        return counted;
    // A part of the details alike, where chance explains it among so many pairs, is what the most alike
    // independent students share: the part not alike then counts against it. (Where the class is too small to
    // show how rare its choices are, the chance is assumed and proves nothing.)
    const double byNumber = detailsAlike(s);
    const double unexplained = 1 - (1 - std::min(1.0, s.significance / kSignificantPart)) * measured;
    const double counting = counted * (1 - (1 - byNumber) * (1 - unexplained));
    // And however little each detail weighs, a copy is sure where nearly all of them are alike and chance cannot
    // explain that many: the most alike independent students share a part of theirs.
    const double sure = s.significance * byNumber * byNumber;
    return std::max(counting, std::clamp((sure - kSignificantFrom) / kSignificantSpan, 0.0, 1.0));
}

double effective(const PairEvidence& pair, SignalKind kind, double full)
{
    double best = 0;
    for (const SignalEvidence& s : pair.signals)
        if (s.kind == kind)
            best = std::max(best, (isGeometry(kind) ? geometryShare(s) : s.share) * trust(s, full, pair.measured));
    return best;
}

// How far the shared geometry goes beyond one choice: 0 for one decision or less, 1 from kFullDecisions on.
double geometryDecisions(const PairEvidence& pair)
{
    double decisions = 0;
    for (const SignalEvidence& s : pair.signals)
        if (isGeometry(s.kind))
            decisions = std::max(decisions, s.decisions);
    return std::clamp((decisions - 1) / (kFullDecisions - 1), 0.0, 1.0);
}

// Geometry is the strong signal. The drawing order adds up to half of what geometry leaves: a paste keeps it, but
// students who follow the assignment sheet draw in much the same order, so order alone stays below one half.
// Texts, names and handles support them: alone they stay far below any threshold, and they add the more, the
// stronger geometry and order already are.
double combinedScore(const PairEvidence& pair)
{
    for (const SignalEvidence& s : pair.signals)
        if (s.decisive)
            return 1;
    const double g = std::max(effective(pair, SignalKind::GeometryInPlace, kFullEvidence),
                              effective(pair, SignalKind::GeometryMoved, kFullEvidence));
    const double o = effective(pair, SignalKind::DrawingOrder, kFullOrderEvidence);
    const double strong = g + (1 - g) * o * 0.5;
    const double t = effective(pair, SignalKind::SameTexts, kFullTextEvidence);
    // A name two drawings share (a login of a lab computer, say) supports a copy only as far as the geometry shows
    // choices of its own: with one shared choice it is a coincidence beside another.
    const double n = effective(pair, SignalKind::SameAuthor, 1) * geometryDecisions(pair);
    const double h = effective(pair, SignalKind::SharedHandles, kFullEvidence);
    const double support = 1 - (1 - 0.5 * t) * (1 - 0.25 * n) * (1 - 0.15 * h);
    return strong + (1 - strong) * support * (0.3 + 0.7 * strong);
}

} // namespace

PairEvidence comparePair(const PreparedDrawing& a, const PreparedDrawing& b)
{
    PairEvidence out;
    out.measured = a.rarity.measured();
    Marks marks;
    addIdentity(a, b, out);
    addNames(a, b, out);
    addTexts(a, b, out, marks);
    addGeometry(a, b, out, marks);
    addOrder(a, b, out, marks);
    addTokens(SignalKind::SharedHandles, a.handles, a.handleSet, b.handles, b.handleSet, out);
    out.score = combinedScore(out);
    std::stable_sort(out.signals.begin(), out.signals.end(), [](const SignalEvidence& x, const SignalEvidence& y) {
        return std::tie(x.decisive, x.share) > std::tie(y.decisive, y.share);
    });
    out.matchedA.assign(marks.a.begin(), marks.a.end());
    out.matchedB.assign(marks.b.begin(), marks.b.end());
    return out;
}

PairEvidence comparePair(const DrawingFeatures& a, const DrawingFeatures& b, const Rarity& rarity)
{
    return comparePair(PreparedDrawing(a, rarity), PreparedDrawing(b, rarity));
}

} // namespace darv::similar
