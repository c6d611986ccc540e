// Preparing a drawing for the pair comparison.
#include "similar/PreparedDrawing.h"

#include "similar/EntityShape.h"
#include "similar/Hashing.h"

#include <algorithm>
#include <array>

namespace darv::similar {
namespace {

// The kinds of the entities that are modeler data (solids, regions, bodies, surfaces). Such an entity's shape is its
// whole model with where it lies, so two different ones alike are two steps of modelling alike, never one choice
// repeated: each is a detail of its own.
bool isModelerKind(std::uint64_t kind)
{
    static const std::array<std::uint64_t, 10> kinds = [] {
        const char* const names[] = {
            "AcDb3dSolid",         "AcDbRegion",       "AcDbBody",         "AcDbExtrudedSurface", "AcDbLoftedSurface",
            "AcDbRevolvedSurface", "AcDbSweptSurface", "AcDbPlaneSurface", "AcDbNurbSurface",     "AcDbSurface"};
        std::array<std::uint64_t, 10> hashed{};
        for (std::size_t i = 0; i < hashed.size(); ++i)
            hashed[i] = Hasher().add(std::string_view(names[i])).value();
        return hashed;
    }();
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Each token once, in order; with the weight of those that count.
void weigh(std::vector<std::uint64_t> tokens, const Rarity& rarity, std::vector<WeightedToken>& counting,
           FlatTokenSet& all)
{
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    all.reserve(tokens.size());
    for (const std::uint64_t token : tokens) {
        all.insert(token);
        if (const double weight = rarity.countingWeight(token); weight > 0)
            counting.push_back({token, weight});
    }
}

} // namespace

PreparedDrawing::PreparedDrawing(const DrawingFeatures& f, const Rarity& r, const std::vector<HandPlacedEntity>* placed)
    : features(f), rarity(r), pieces(f, r)
{
    placeKeys.reserve(f.items.size());
    std::uint64_t lastToken = 0, lastSignature = 0;
    bool lastCounts = false;
    double lastWeight = 0;
    for (std::size_t k = 0; k < f.items.size(); ++k) {
        const GeometryItem& item = f.items[k];
        placeKeys.push_back(placeKey(EntityShape{true, item.shape, item.anchor}));
        places[placeKeys.back()].push_back(k);
        contexts[item.context].push_back(k);
        shapes[item.shape].push_back(k);
        const std::uint64_t token = makeToken(TokenKind::Shape, item.shape);
        // Pieces of one shape follow each other often: the last answer is kept.
        if (token != lastToken) {
            lastToken = token;
            lastCounts = rarity.counting(token, lastWeight, lastSignature);
        }
        if (!lastCounts)
            continue;
        Detail& detail = own[{item.kind, isModelerKind(item.kind) ? token : lastSignature}];
        detail.weight = lastWeight;
        detail.typed = detail.typed && typedPiece(item.form);
        detail.shapes[token].push_back(k);
    }
    handPlaced = placed ? *placed : handPlacedEntities(f);
    for (std::size_t n = 0; n < handPlaced.size(); ++n) {
        const HandPlacedEntity& h = handPlaced[n];
        handPlaces[h.place].push_back(n);
        bool given = false;
        for (const std::uint64_t relative : h.relative) {
            if (relative == 0)
                continue;
            handOffsets[relative].push_back(n);
            given = given || rarity.common(relative);
        }
        double weight = 0;
        std::uint64_t signature = 0;
        if (!given && rarity.counting(h.place, weight, signature))
            countingPlaces.emplace_back(n, weight);
    }
    std::vector<std::uint64_t> prints;
    for (const Fingerprint& p : f.order)
        prints.push_back(p.hash);
    weigh(prints, rarity, order, orderSet);
    std::vector<std::uint64_t> words;
    for (const LabelledToken& t : f.texts)
        words.push_back(t.token);
    weigh(words, rarity, texts, textSet);
    std::vector<std::uint64_t> kept;
    for (const std::uint64_t h : f.handles)
        if (h != 0)
            kept.push_back(h);
    weigh(kept, rarity, handles, handleSet);
}

std::size_t PreparedDrawing::countingTokens() const
{
    if (!m_countingTokens) {
        std::size_t n = 0;
        for (const std::uint64_t token : allTokens(features))
            n += rarity.counts(token) ? 1u : 0u;
        m_countingTokens = n;
    }
    return *m_countingTokens;
}

} // namespace darv::similar
