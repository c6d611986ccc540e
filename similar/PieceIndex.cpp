// Indexing a drawing's pieces for the placement search.
#include "similar/PieceIndex.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <cmath>

namespace darv::similar {
namespace {

constexpr double kRelativeTolerance = 1e-6;
constexpr double kLeastTolerance = 4e-6;

double extentOf(const std::vector<GeometryItem>& items)
{
    bool any = false;
    double lowX = 0, highX = 0, lowY = 0, highY = 0;
    for (const GeometryItem& item : items) {
        const dwg::Point3& c = item.form.centre;
        if (!std::isfinite(c.x) || !std::isfinite(c.y))
            continue;
        lowX = any ? std::min(lowX, c.x) : c.x;
        highX = any ? std::max(highX, c.x) : c.x;
        lowY = any ? std::min(lowY, c.y) : c.y;
        highY = any ? std::max(highY, c.y) : c.y;
        any = true;
    }
    const double extent = std::hypot(highX - lowX, highY - lowY);
    return std::isfinite(extent) ? extent : 0;
}

} // namespace

PieceIndex::PieceIndex(const DrawingFeatures& features, const Rarity& rarity)
    : tolerance(std::max(kLeastTolerance, kRelativeTolerance * extentOf(features.items)))
{
    const auto& items = features.items;
    cells.reserve(items.size());
    for (std::size_t k = 0; k < items.size(); ++k) {
        cells.emplace_back(cellOf(items[k].form.centre), k);
        const std::uint64_t token = items[k].formToken;
        CountingForm form{k, token, 0, 0};
        if (token != 0 && rarity.counting(token, form.weight, form.signature))
            counting.push_back(form);
    }
    std::sort(cells.begin(), cells.end());
    std::stable_sort(counting.begin(), counting.end(),
                     [](const CountingForm& x, const CountingForm& y) { return x.token < y.token; });
}

std::span<const CountingForm> PieceIndex::countingWith(std::uint64_t token) const
{
    const auto [from, to] =
        std::equal_range(counting.begin(), counting.end(), CountingForm{0, token, 0, 0},
                         [](const CountingForm& x, const CountingForm& y) { return x.token < y.token; });
    return {from, to};
}

PieceIndex::Cell PieceIndex::cellOf(const dwg::Point3& p) const
{
    return {onGrid(p.x, 2 * tolerance), onGrid(p.y, 2 * tolerance)};
}

} // namespace darv::similar
