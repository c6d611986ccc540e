// Signal texts, in the words of the report.
#include "similar/SignalText.h"

#include <cmath>
#include <cstdio>

namespace darv::similar {
namespace {

// Below this many items a share is said as a count ("13 of 13 rare shapes"): a percentage of a tiny base says
// more than it knows.
constexpr std::size_t kPercentBase = 20;

// How many texts a line quotes before it says how many more there are.
constexpr std::size_t kQuotedTexts = 3;

std::string quotedList(const std::vector<std::string>& labels)
{
    std::string out;
    for (std::size_t i = 0; i < labels.size() && i < kQuotedTexts; ++i)
        out += (i ? ", '" : "'") + labels[i] + "'";
    if (labels.size() > kQuotedTexts)
        out += " and " + std::to_string(labels.size() - kQuotedTexts) + " more";
    return out;
}

std::string offsetText(const dwg::Point3& p)
{
    std::string out = "(" + shortNumber(p.x) + ", " + shortNumber(p.y);
    if (shortNumber(p.z) != "0")
        out += ", " + shortNumber(p.z);
    return out + ")";
}

// "rotated by 90.0 deg, mirrored, scaled by 25.4 and moved by (120.5, -33.2)"; a pure move as "moved by (...)".
std::string placementText(const Placement& p)
{
    std::vector<std::string> parts;
    if (!p.onlyMoves()) {
        char text[64];
        std::snprintf(text, sizeof text, "%.1f", p.rotationDegrees());
        if (std::string(text) != "0.0" && std::string(text) != "360.0")
            parts.push_back(std::string("rotated by ") + text + " deg");
        if (p.mirrored)
            parts.push_back("mirrored");
        std::snprintf(text, sizeof text, "%.4g", p.scale);
        if (std::string(text) != "1")
            parts.push_back(std::string("scaled by ") + text);
    }
    parts.push_back("moved by " + offsetText(p.offset));
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return out;
}

std::string percentText(double share)
{
    return std::to_string(wholePercent(share)) + " %";
}

std::string percentOf(const SignalEvidence& s)
{
    return percentText(s.share);
}

// The part of the items counted, for a line that gives them in the same unit ("20 % ... (4 of 20 handles)"): the
// share weighted by rarity would read as a miscount beside them.
std::string percentOfItems(const SignalEvidence& s)
{
    return percentText(s.items > 0 ? static_cast<double>(s.itemsMatched) / static_cast<double>(s.items) : 0);
}

std::string counted(const SignalEvidence& s, const std::string& what)
{
    return "(" + std::to_string(s.itemsMatched) + " of " + std::to_string(s.items) + " " + what + ")";
}

// "(7 of 8 details, 26 of 30 shapes)"
std::string details(const SignalEvidence& s)
{
    return "(" + std::to_string(s.matched - s.places) + " of " + std::to_string(s.countable - s.places) + " details, " +
           std::to_string(s.itemsMatched) + " of " + std::to_string(s.items) + " shapes)";
}

// ", and 2 hand-picked positions": those found are said apart from the shapes.
std::string placesToo(const SignalEvidence& s)
{
    if (s.places == 0)
        return "";
    return ", and " + std::to_string(s.places) + " hand-picked position" + (s.places == 1 ? "" : "s");
}

// "13 of 13 rare shapes of A (3 of 3 details)", "2 hand-picked positions of A"
std::string rareShapes(const SignalEvidence& s, const std::string& drawing)
{
    const std::size_t shapeDetails = s.countable - s.places, shapeDetailsFound = s.matched - s.places;
    if (s.items == 0)
        return std::to_string(s.places) + " hand-picked position" + (s.places == 1 ? "" : "s") + " of " + drawing;
    return std::to_string(s.itemsMatched) + " of " + std::to_string(s.items) + " rare shapes of " + drawing + " (" +
           std::to_string(shapeDetailsFound) + " of " + std::to_string(shapeDetails) + " details" + placesToo(s) + ")";
}

// What rareShapes says is one hand-picked position: the verb after it is singular.
bool onePlaceAlone(const SignalEvidence& s)
{
    return s.items == 0 && s.places == 1;
}

} // namespace

std::string shortNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string out = text;
    while (out.back() == '0')
        out.pop_back();
    if (out.back() == '.')
        out.pop_back();
    return out == "-0" ? "0" : out;
}

int wholePercent(double share)
{
    // A share just below a whole number from rounding (0.7 * 100 = 69.999...) is that number.
    return static_cast<int>(std::floor(share * 100.0 + 1e-9));
}

const char* signalKindName(SignalKind kind)
{
    switch (kind) {
    case SignalKind::SameFingerprint:
        return "fingerprint";
    case SignalKind::SameVersionGuid:
        return "version-guid";
    case SignalKind::SameCreated:
        return "created";
    case SignalKind::SameContent:
        return "content";
    case SignalKind::SameAuthor:
        return "author";
    case SignalKind::SameTexts:
        return "texts";
    case SignalKind::GeometryInPlace:
        return "geometry-in-place";
    case SignalKind::GeometryMoved:
        return "geometry-moved";
    case SignalKind::DrawingOrder:
        return "order";
    case SignalKind::SharedHandles:
        return "handles";
    }
    return "unknown";
}

std::string signalText(const SignalEvidence& s, const std::string& nameA, const std::string& nameB)
{
    const std::string& smaller = s.smallerIsA ? nameA : nameB;
    const std::string& other = s.smallerIsA ? nameB : nameA;
    const std::string label = s.labels.empty() ? std::string() : s.labels.front();
    switch (s.kind) {
    case SignalKind::SameFingerprint:
        return "same fingerprint " + label + ": one is a copy of the other";
    case SignalKind::SameVersionGuid:
        return "same version GUID " + label + ": both are the same save of one drawing";
    case SignalKind::SameCreated:
        return "same creation time (" + label + "): both began as one drawing";
    case SignalKind::SameContent:
        return "the same content: everything read from both drawings is equal";
    case SignalKind::SameAuthor:
        if (s.labels.size() == 2 && s.labels[0] != s.labels[1])
            return "the same name in both: " + s.labels[0] + " in " + nameA + ", " + s.labels[1] + " in " + nameB;
        return "both " + label;
    case SignalKind::SameTexts:
        return "both hold the texts " + quotedList(s.labels) + " " + counted(s, "texts of " + smaller);
    case SignalKind::GeometryInPlace:
        if (s.items < kPercentBase)
            return rareShapes(s, smaller) + (onePlaceAlone(s) ? " lies" : " lie") + " at the same place in " + other;
        return percentOf(s) + " of the geometry of " + smaller + " " + details(s) + " lies at the same place in " +
               other + placesToo(s);
    case SignalKind::GeometryMoved: {
        // The placement takes A to B; said of the smaller drawing, it takes that one to the other.
        const Placement placed = s.smallerIsA ? s.placement : s.placement.inverse();
        if (s.items < kPercentBase)
            return rareShapes(s, smaller) + (onePlaceAlone(s) ? " is" : " are") + " in " + other + ", " +
                   placementText(placed);
        return percentOf(s) + " of the geometry of " + smaller + " " + details(s) + " is in " + other + ", " +
               placementText(placed) + placesToo(s);
    }
    case SignalKind::DrawingOrder:
        if (s.items < kPercentBase)
            return std::to_string(s.itemsMatched) + " of " + std::to_string(s.items) +
                   " rare fingerprints of the drawing order of " + smaller + " recur in " + other;
        return percentOfItems(s) + " of the drawing order of " + smaller + " " + counted(s, "fingerprints") +
               " recurs in " + other;
    case SignalKind::SharedHandles:
        if (s.items < kPercentBase)
            return std::to_string(s.itemsMatched) + " of " + std::to_string(s.items) + " handles of " + smaller +
                   " beyond the template's are in " + other + " on the same entities";
        return percentOfItems(s) + " of the handles of " + smaller + " beyond the template's " + counted(s, "handles") +
               " are in " + other + " on the same entities";
    }
    return {};
}

} // namespace darv::similar
