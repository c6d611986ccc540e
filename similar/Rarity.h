// What counts as evidence in a class: tokens in no template, held by few drawings. What more than a set
// share of the class holds is the assignment itself (given dimensions, title block) and is ignored.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/FlatTokens.h"
#include "similar/HandPlaced.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace darv::similar {

// Which drawings of the class hold a token: how many, and a signature of exactly which.
struct TokenHolders
{
    std::uint32_t count = 0;
    std::uint64_t signature = 0;
};
using TokenCounts = FlatTokenMap<TokenHolders>;

// Every token of a drawing (identity, names, texts, shapes, contexts, order, handles), each once.
std::vector<std::uint64_t> allTokens(const DrawingFeatures& features);
// The same with the drawing's handPlacedEntities already worked out.
std::vector<std::uint64_t> allTokens(const DrawingFeatures& features, const std::vector<HandPlacedEntity>& handPlaced);

TokenCounts countTokens(const std::vector<const DrawingFeatures*>& drawings);
// The same from each drawing's allTokens.
TokenCounts countTokens(const std::vector<const std::vector<std::uint64_t>*>& drawingTokens);

class Rarity
{
public:
    // commonShare in percent (25 by default); `other` is what the earlier projects exclude (their templates and
    // common tokens), or null within the class.
    Rarity(const TokenCounts& counts, std::size_t classSize, double commonShare, const TemplateSet& templates,
           const TemplateSet* other = nullptr);

    // True unless a template holds the token or it is common in the class (or in the earlier project).
    bool counts(std::uint64_t token) const;
    // The same for a token whose holders in the class are known (no look-up in the counts).
    bool countsHeldBy(std::uint64_t token, std::uint32_t holders) const;
    // The token's weight when it counts, 0 when it does not: one look-up.
    double countingWeight(std::uint64_t token) const;
    // Its weight and holder signature when it counts: one look-up. False when it does not count.
    bool counting(std::uint64_t token, double& weight, std::uint64_t& signature) const;
    // 1 for a token that at most two drawings hold, less in proportion for one that more hold: several drawings
    // sharing a detail say less about any one pair of them. A ring's work weighs 1. The weight does not grow with
    // the class: a large class has so many more pairs that shares by chance of what a twentieth of it holds reach
    // the threshold.
    double weight(std::uint64_t token) const;

    // Common: held by more than the share of the class, and by at least three drawings, and not a ring's work.
    bool common(std::uint64_t token) const;
    bool commonCount(std::uint32_t holders) const;
    bool commonHolders(const TokenHolders& holders) const;
    // Whether exactly the drawings of this signature share a body of work that only copying gives them: see the
    // constructor.
    bool ring(std::uint64_t signature) const { return m_rings.count(signature) != 0; }

    // What a shared detail of this weight tells of a pair, in nats: the log of one over the chance that another
    // drawing of the class holds it as well, had its students worked alone.
    double information(double weight) const;
    // How far the class shows by itself how rare a choice is: 0 for a small class, whose chances information
    // assumes, 1 for a class of twice the size.
    double measured() const;
    // The log of the number of pairs compared: the information that chance alone gives the most alike of them.
    double pairBurden() const { return m_burden; }
    // Compared with so many pairs in all (a class against earlier drawings): the burden grows with them.
    void comparePairs(double pairs);

    std::uint32_t holders(std::uint64_t token) const;
    // Equal for two tokens held by exactly the same drawings of the class.
    std::uint64_t holderSignature(std::uint64_t token) const;

private:
    const TokenCounts& m_counts;
    double m_commonAbove = 0;
    double m_classSize = 0;
    double m_burden = 0;
    const TemplateSet& m_templates;
    const TemplateSet* m_other = nullptr;
    std::unordered_set<std::uint64_t> m_rings; // holder signatures
};

} // namespace darv::similar
