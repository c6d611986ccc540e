// Counting the class's tokens and deciding which of them are evidence.
#include "similar/Rarity.h"

#include "similar/HandPlaced.h"
#include "similar/Hashing.h"

#include <algorithm>
#include <cmath>

namespace darv::similar {
namespace {

// Independent students draw the assignment alike, but each in their own way: the common tokens they share are
// held by ever other groups of them, a few tokens per group. A copy ring is one group that holds a whole body of
// work, at least this many tokens, held by exactly its drawings and by no other.
constexpr std::size_t kRingTokens = 12;
// ...and it is a group of drawings, not most of the class: what all but one or two hold alike is the
// assignment, and what dozens of a large class hold alike (the same order of the given entities, say) is
// a common way of working. A drawing copied by eight or nine of a class of twenty is still a ring.
constexpr double kRingShare = 0.75;
constexpr std::uint32_t kRingLeavesOut = 2;
constexpr std::uint32_t kRingMost = 10;
// The fewest other drawings a chance of a choice is measured against (see information).
constexpr double kLeastOthers = 50;

} // namespace

std::vector<std::uint64_t> allTokens(const DrawingFeatures& features)
{
    return allTokens(features, handPlacedEntities(features));
}

std::vector<std::uint64_t> allTokens(const DrawingFeatures& features, const std::vector<HandPlacedEntity>& handPlaced)
{
    std::vector<std::uint64_t> tokens = features.indexTokens();
    for (const GeometryItem& item : features.items)
        tokens.push_back(item.context);
    for (const std::uint64_t handle : features.handles)
        if (handle != 0)
            tokens.push_back(handle);
    for (const HandPlacedEntity& placed : handPlaced) {
        tokens.push_back(placed.place);
        for (const std::uint64_t relative : placed.relative)
            if (relative != 0)
                tokens.push_back(relative);
    }
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    return tokens;
}

TokenCounts countTokens(const std::vector<const DrawingFeatures*>& drawings)
{
    std::vector<std::vector<std::uint64_t>> tokens;
    std::vector<const std::vector<std::uint64_t>*> pointers;
    tokens.reserve(drawings.size());
    for (const DrawingFeatures* f : drawings) {
        tokens.push_back(allTokens(*f));
        pointers.push_back(&tokens.back());
    }
    return countTokens(pointers);
}

TokenCounts countTokens(const std::vector<const std::vector<std::uint64_t>*>& drawingTokens)
{
    // Every (token, drawing) once, sorted: each token's holders together and in the drawings' order, so the map
    // is built once at its final size.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> held;
    for (std::size_t m = 0; m < drawingTokens.size(); ++m)
        for (const std::uint64_t token : *drawingTokens[m])
            held.emplace_back(token, static_cast<std::uint32_t>(m));
    std::sort(held.begin(), held.end());
    std::size_t distinct = 0;
    for (std::size_t k = 0; k < held.size(); ++k)
        distinct += k == 0 || held[k].first != held[k - 1].first ? 1u : 0u;
    TokenCounts counts;
    counts.reserve(distinct);
    for (std::size_t k = 0; k < held.size();) {
        TokenHolders holders;
        const std::uint64_t token = held[k].first;
        for (; k < held.size() && held[k].first == token; ++k) {
            ++holders.count;
            holders.signature = Hasher(holders.signature).add(std::uint64_t{held[k].second}).value();
        }
        counts.insert(token, holders);
    }
    return counts;
}

Rarity::Rarity(const TokenCounts& counts, std::size_t classSize, double commonShare, const TemplateSet& templates,
               const TemplateSet* other)
    : m_counts(counts), m_commonAbove(commonShare / 100.0 * static_cast<double>(classSize)),
      m_classSize(static_cast<double>(classSize)), m_templates(templates), m_other(other)
{
    comparePairs(m_classSize * (m_classSize - 1) / 2);
    // The frequency cut is for what independent students draw alike. What only copying gives several drawings
    // (their copied own details, hand-picked places, order and handles) is held by exactly the ring's drawings,
    // many tokens of it: such tokens stay evidence however many drawings share them.
    const auto size = static_cast<double>(classSize);
    std::unordered_map<std::uint64_t, std::size_t> perSignature;
    counts.forEach([&](std::uint64_t token, const TokenHolders& holders) {
        if (holders.count < 3 || holders.count > kRingMost || static_cast<double>(holders.count) > kRingShare * size ||
            holders.count + kRingLeavesOut > classSize || templates.contains(token))
            return;
        ++perSignature[holders.signature];
    });
    for (const auto& [signature, tokens] : perSignature)
        if (tokens >= kRingTokens)
            m_rings.insert(signature);
}

double Rarity::information(double weight) const
{
    // The weight is two over the holders (see weight); a detail only the pair holds has one chance in the others.
    // A small class cannot show how rare such a choice is: it is taken as one in kLeastOthers.
    const double holders = weight >= 1 ? 2.0 : 2.0 / weight;
    const double others = std::max(kLeastOthers, m_classSize - 1);
    return std::log(others / std::clamp(holders - 1, 1.0, others));
}

double Rarity::measured() const
{
    return std::clamp((m_classSize - 1 - kLeastOthers) / kLeastOthers, 0.0, 1.0);
}

void Rarity::comparePairs(double pairs)
{
    m_burden = std::log(std::max(1.0, pairs));
}

std::uint32_t Rarity::holders(std::uint64_t token) const
{
    const TokenHolders* found = m_counts.find(token);
    return found ? found->count : 0;
}

std::uint64_t Rarity::holderSignature(std::uint64_t token) const
{
    const TokenHolders* found = m_counts.find(token);
    return found ? found->signature : 0;
}

bool Rarity::common(std::uint64_t token) const
{
    const TokenHolders* found = m_counts.find(token);
    return found && commonHolders(*found);
}

bool Rarity::commonHolders(const TokenHolders& holders) const
{
    return commonCount(holders.count) && !ring(holders.signature);
}

bool Rarity::commonCount(std::uint32_t n) const
{
    return n >= 3 && static_cast<double>(n) > m_commonAbove;
}

bool Rarity::counts(std::uint64_t token) const
{
    return countsHeldBy(token, holders(token));
}

bool Rarity::countsHeldBy(std::uint64_t token, std::uint32_t holders) const
{
    if (commonCount(holders) && (m_rings.empty() || !ring(holderSignature(token))))
        return false;
    return !m_templates.contains(token) && !(m_other && m_other->contains(token));
}

bool Rarity::counting(std::uint64_t token, double& weight, std::uint64_t& signature) const
{
    const TokenHolders* found = m_counts.find(token);
    const TokenHolders holders = found ? *found : TokenHolders{};
    if (commonHolders(holders) || m_templates.contains(token) || (m_other && m_other->contains(token)))
        return false;
    // A ring's work is a copy between every two of its drawings: it weighs whole.
    const auto n = static_cast<double>(holders.count);
    weight = n <= 2.0 || ring(holders.signature) ? 1.0 : 2.0 / n;
    signature = holders.signature;
    return true;
}

double Rarity::countingWeight(std::uint64_t token) const
{
    double weight = 0;
    std::uint64_t signature = 0;
    return counting(token, weight, signature) ? weight : 0;
}

double Rarity::weight(std::uint64_t token) const
{
    const TokenHolders* found = m_counts.find(token);
    const auto n = static_cast<double>(found ? found->count : 0);
    return n <= 2.0 || ring(found->signature) ? 1.0 : 2.0 / n;
}

} // namespace darv::similar
