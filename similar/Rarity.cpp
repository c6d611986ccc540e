// Counting the class's tokens and deciding which of them are evidence.
#include "similar/Rarity.h"

#include "similar/Hashing.h"

#include <algorithm>

namespace darv::similar {

std::vector<std::uint64_t> allTokens(const DrawingFeatures& features)
{
    std::vector<std::uint64_t> tokens = features.indexTokens();
    for (const GeometryItem& item : features.items)
        tokens.push_back(item.context);
    for (const std::uint64_t handle : features.handles)
        if (handle != 0)
            tokens.push_back(handle);
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    return tokens;
}

TokenCounts countTokens(const std::vector<const DrawingFeatures*>& drawings)
{
    TokenCounts counts;
    for (std::size_t m = 0; m < drawings.size(); ++m) {
        for (const std::uint64_t token : allTokens(*drawings[m])) {
            TokenHolders& holders = counts[token];
            ++holders.count;
            holders.signature = Hasher(holders.signature).add(std::uint64_t{m}).value();
        }
    }
    return counts;
}

Rarity::Rarity(const TokenCounts& counts, std::size_t classSize, double commonShare, const TemplateSet& templates,
               const TemplateSet* other)
    : m_counts(counts), m_commonAbove(commonShare / 100.0 * static_cast<double>(classSize)), m_templates(templates),
      m_other(other)
{}

std::uint32_t Rarity::holders(std::uint64_t token) const
{
    const auto it = m_counts.find(token);
    return it == m_counts.end() ? 0 : it->second.count;
}

std::uint64_t Rarity::holderSignature(std::uint64_t token) const
{
    const auto it = m_counts.find(token);
    return it == m_counts.end() ? 0 : it->second.signature;
}

bool Rarity::common(std::uint64_t token) const
{
    const std::uint32_t n = holders(token);
    return n >= 3 && static_cast<double>(n) > m_commonAbove;
}

bool Rarity::counts(std::uint64_t token) const
{
    return !m_templates.contains(token) && !common(token) && !(m_other && m_other->contains(token));
}

double Rarity::weight(std::uint64_t token) const
{
    const auto n = static_cast<double>(holders(token));
    return n <= 2.0 ? 1.0 : 2.0 / n;
}

} // namespace darv::similar
