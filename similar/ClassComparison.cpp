// Candidate pairs from shared counting tokens, then the full comparison of each candidate.
#include "similar/ClassComparison.h"

#include "similar/SignalText.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace darv::similar {
namespace {

// A pair is compared when it shares at least this many counting tokens, or one identity, name or text.
constexpr std::uint32_t kMinShared = 2;
// A token that more stored drawings of an earlier project hold than this points at no one drawing.
constexpr std::size_t kHolderLimit = 100;
// The most earlier drawings compared with one class drawing: those sharing the most tokens with it.
constexpr std::size_t kCandidatesPerDrawing = 50;
// Drawings sharing an identity, a name or a text with a class drawing come first among its candidates.
constexpr std::uint32_t kLabelledRank = 0xFFFFFFFF;
// Signals below this share are left out of the report (they count in the score all the same).
constexpr double kShownShare = 0.10;

std::vector<std::uint64_t> handlesOf(const DrawingFeatures& f, const std::vector<std::size_t>& indices)
{
    std::vector<std::uint64_t> handles;
    for (const std::size_t i : indices)
        handles.push_back(f.entities[i].handle);
    return handles;
}

std::vector<std::uint64_t> templateHandles(const DrawingFeatures& f)
{
    std::vector<std::uint64_t> handles;
    for (const EntityFeature& e : f.entities)
        if (e.fromTemplate)
            handles.push_back(e.handle);
    return handles;
}

// Identity, name and text tokens: one shared is reason enough to compare.
std::unordered_set<std::uint64_t> labelledTokens(const DrawingFeatures& f)
{
    std::unordered_set<std::uint64_t> tokens;
    for (const auto* list : {&f.identity, &f.names, &f.texts})
        for (const LabelledToken& t : *list)
            tokens.insert(t.token);
    return tokens;
}

} // namespace

SimilarPair makePair(const DrawingName& a, const DrawingFeatures& fa, const DrawingName& b, const DrawingFeatures& fb,
                     const PairEvidence& evidence)
{
    SimilarPair pair;
    pair.a = a;
    pair.b = b;
    pair.score = evidence.score * 100.0;
    for (const SignalEvidence& s : evidence.signals)
        if (s.decisive || s.share >= kShownShare)
            pair.fired.push_back(Signal{s.kind, s.share, signalText(s, "A", "B"), s.decisive});
    pair.placement = evidence.placement;
    pair.handlesA = handlesOf(fa, evidence.matchedA);
    pair.handlesB = handlesOf(fb, evidence.matchedB);
    pair.templateHandlesA = templateHandles(fa);
    pair.templateHandlesB = templateHandles(fb);
    return pair;
}

namespace {

// Whether a pair shares enough to be worth comparing: an identity, name or text, or some counting tokens and, for
// a threshold above zero, a part of the smaller side's that grows with it (a copy shares nearly all of them;
// with less than a tenth shared nothing reaches 50 %).
bool worthComparing(std::uint32_t shared, bool labelled, std::size_t countA, std::size_t countB, double minScore)
{
    if (labelled)
        return true;
    return shared >= kMinShared &&
           static_cast<double>(shared) >= minScore / 500.0 * static_cast<double>(std::min(countA, countB));
}

} // namespace

std::vector<SimilarPair> compareWithinClass(const std::vector<ClassMember>& members, const Rarity& rarity,
                                            double minScore, std::vector<ComparedPair>* compared,
                                            std::vector<SimilarPair>* below, double belowFloor)
{
    // Prepared when first needed: a drawing in no candidate pair is never prepared.
    std::vector<std::unique_ptr<PreparedDrawing>> prepared(members.size());
    const auto preparedOf = [&](std::size_t m) -> const PreparedDrawing& {
        if (!prepared[m])
            prepared[m] = std::make_unique<PreparedDrawing>(members[m].features, rarity, &members[m].handPlaced);
        return *prepared[m];
    };
    // Every (token, member) once, sorted: a token held by one member alone (most of a big drawing's) is passed over
    // without asking whether it counts.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> held;
    for (std::uint32_t m = 0; m < members.size(); ++m)
        for (const std::uint64_t token : members[m].tokens)
            held.emplace_back(token, m);
    std::sort(held.begin(), held.end());
    std::vector<std::size_t> countingTokens(members.size(), 0); // of each member: how much it can share
    std::vector<std::optional<std::unordered_set<std::uint64_t>>> labelledOf(members.size());
    const auto isLabelled = [&](std::uint32_t m, std::uint64_t token) {
        if (!labelledOf[m])
            labelledOf[m] = labelledTokens(members[m].features);
        return labelledOf[m]->count(token) != 0;
    };
    struct Shared
    {
        std::uint32_t tokens = 0;
        bool labelled = false;
    };
    std::unordered_map<std::uint64_t, Shared> shared;
    std::vector<std::uint32_t> holders;
    for (std::size_t k = 0; k < held.size();) {
        const std::uint64_t token = held[k].first;
        holders.clear();
        for (; k < held.size() && held[k].first == token; ++k)
            holders.push_back(held[k].second);
        if (!rarity.countsHeldBy(token, static_cast<std::uint32_t>(holders.size())))
            continue;
        for (const std::uint32_t m : holders)
            ++countingTokens[m];
        if (holders.size() < 2)
            continue;
        bool labelled = false;
        for (const std::uint32_t m : holders)
            labelled = labelled || isLabelled(m, token);
        for (std::size_t i = 0; i < holders.size(); ++i) {
            for (std::size_t j = i + 1; j < holders.size(); ++j) {
                Shared& s = shared[(std::uint64_t{holders[i]} << 32) | holders[j]];
                ++s.tokens;
                s.labelled = s.labelled || labelled;
            }
        }
    }
    std::vector<SimilarPair> pairs;
    for (const auto& [key, s] : shared) {
        const std::size_t ma = key >> 32;
        const std::size_t mb = key & 0xFFFFFFFFu;
        if (!worthComparing(s.tokens, s.labelled, countingTokens[ma], countingTokens[mb], minScore))
            continue;
        const PreparedDrawing& a = preparedOf(ma);
        const PreparedDrawing& b = preparedOf(mb);
        const PairEvidence evidence = comparePair(a, b);
        if (compared)
            compared->push_back({ma, mb, evidence.score * 100.0});
        const double score = evidence.score * 100.0;
        if (score >= minScore)
            pairs.push_back(makePair(members[ma].name, a.features, members[mb].name, b.features, evidence));
        else if (below && score >= belowFloor && score > 0)
            below->push_back(makePair(members[ma].name, a.features, members[mb].name, b.features, evidence));
    }
    return pairs;
}

namespace {

struct EarlierProject
{
    std::string name;
    TemplateSet excluded; // its templates' and its common tokens
};

// The earlier projects as their last runs left them (see unusableEarlierProject), with the search of their
// drawings; empty with the reason in failure when the store fails.
std::vector<EarlierProject> loadEarlier(EvidenceStore& store, const std::vector<std::string>& names,
                                        std::unique_ptr<EarlierSearch>& search, std::string& failure)
{
    std::vector<EarlierProject> projects;
    std::vector<std::int64_t> ids;
    for (const std::string& name : names) {
        const auto id = store.findProject(name);
        auto excluded = id ? store.loadExcluded(*id) : std::nullopt;
        if (!excluded) {
            failure = "the evidence store cannot be read: " + store.error();
            return {};
        }
        // A run killed before it indexed what it stored left tokens waiting.
        if (!store.indexTokens(*id)) {
            failure = "the evidence store cannot be written: " + store.error();
            return {};
        }
        projects.push_back(EarlierProject{name, std::move(*excluded)});
        ids.push_back(*id);
    }
    search = store.searchEarlier(ids);
    if (!search) {
        failure = "the evidence store cannot be read: " + store.error();
        return {};
    }
    return projects;
}

// Stored drawings of the earlier projects that share the most counting tokens with the class drawing.
std::optional<std::vector<SharedHolder>> earlierCandidates(EarlierSearch& search, const PreparedDrawing& drawing,
                                                           double minScore)
{
    const std::unordered_set<std::uint64_t> labelled = labelledTokens(drawing.features);
    std::vector<std::uint64_t> counting;
    std::vector<bool> isLabelled;
    for (const std::uint64_t token : drawing.features.indexTokens())
        if (drawing.rarity.counts(token)) {
            counting.push_back(token);
            isLabelled.push_back(labelled.count(token) != 0);
        }
    // All of the drawing's tokens in one question: a server answers them without a round trip per token.
    const auto shared = search.sharing(counting, isLabelled, kHolderLimit);
    if (!shared)
        return std::nullopt;
    std::vector<std::pair<std::uint32_t, const SharedHolder*>> ranked;
    for (const SharedHolder& s : *shared)
        if (worthComparing(s.shared, s.labelled, drawing.countingTokens(), s.tokenCount, minScore))
            ranked.emplace_back(s.labelled ? kLabelledRank : s.shared, &s);
    std::sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) {
        return x.first != y.first ? x.first > y.first : x.second->id < y.second->id;
    });
    std::vector<SharedHolder> candidates;
    for (std::size_t i = 0; i < ranked.size() && i < kCandidatesPerDrawing; ++i)
        candidates.push_back(*ranked[i].second);
    return candidates;
}

} // namespace

std::string unusableEarlierProject(EvidenceStore& store, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const auto id = store.findProject(name);
        const auto stored = id && *id != 0 ? store.hasPresentDrawings(*id) : std::optional<bool>(false);
        const auto version = id && *id != 0 ? store.tokenVersion(*id) : std::optional<std::uint64_t>(0);
        if (!id || !stored || !version)
            return "the evidence store cannot be read: " + store.error();
        const std::string again = "compare it with 'darv2007-cli similar " + name + "' first";
        if (!*stored)
            return "the earlier project " + name + " has no stored drawings: " + again;
        if (*version < kOldestComparableTokenVersion || *version > kTokenVersion)
            return "the earlier project " + name + " was stored by another version of this check: " + again;
    }
    return "";
}

EarlierComparison compareWithEarlier(EvidenceStore& store, const std::vector<ClassMember>& members,
                                     const TokenCounts& counts, const TemplateSet& templates,
                                     const SimilarOptions& options)
{
    EarlierComparison out;
    out.failure = unusableEarlierProject(store, options.earlierProjects);
    std::unique_ptr<EarlierSearch> search;
    const std::vector<EarlierProject> projects = out.failure.empty()
                                                     ? loadEarlier(store, options.earlierProjects, search, out.failure)
                                                     : std::vector<EarlierProject>{};
    if (!out.failure.empty()) {
        out.damaged = store.damaged();
        return out;
    }
    // One rarity for all: what any of the earlier projects left out is no evidence against any of them.
    TemplateSet excluded;
    for (const EarlierProject& project : projects)
        for (const std::uint64_t token : project.excluded.tokens())
            excluded.addToken(token);
    out.drawings = search->drawings();
    Rarity rarity(counts, members.size(), options.commonShare, templates, &excluded);
    // Each drawing of the class is held against every earlier one: chance has that many more pairs to find alike.
    const auto size = static_cast<double>(members.size());
    rarity.comparePairs(size * (size - 1) / 2 + size * static_cast<double>(out.drawings));
    struct Loaded
    {
        StoredRow row;
        DrawingFeatures features;
        std::unique_ptr<PreparedDrawing> prepared;
    };
    std::map<std::int64_t, Loaded> loaded;
    const auto fail = [&](const EarlierProject& project) {
        out.failure = "the earlier project " + project.name + " cannot be compared: " + store.error();
        out.damaged = store.damaged() || store.error().find("is damaged") != std::string::npos;
        return out;
    };
    for (const ClassMember& member : members) {
        const PreparedDrawing a(member.features, rarity);
        const auto candidates = earlierCandidates(*search, a, options.minScore);
        if (!candidates) {
            out.failure = "the evidence store cannot be read: " + store.error();
            out.damaged = store.damaged();
            return out;
        }
        // The candidates not loaded for an earlier drawing, read in one question.
        std::vector<std::int64_t> unread;
        for (const SharedHolder& candidate : *candidates)
            if (!loaded.count(candidate.id))
                unread.push_back(candidate.id);
        if (!unread.empty()) {
            const auto records = search->records(unread);
            if (!records)
                return fail(projects[candidates->front().project]);
            for (std::size_t i = 0; i < records->size(); ++i) {
                const CandidateRecord& record = (*records)[i];
                const auto at = std::find_if(candidates->begin(), candidates->end(),
                                             [&](const SharedHolder& c) { return c.id == record.row.id; });
                const EarlierProject& project = projects[at->project];
                // The features its own run stored, made with its templates (its excluded set marks the same
                // entities as template ones and holds the same handle seed).
                auto features = store.loadFeatures(record, record.row.tokenBasis, project.excluded);
                if (!features)
                    return fail(project);
                auto it = loaded.emplace(record.row.id, Loaded{record.row, std::move(*features), nullptr}).first;
                it->second.prepared = std::make_unique<PreparedDrawing>(it->second.features, rarity);
            }
        }
        for (const SharedHolder& candidate : *candidates) {
            const Loaded& stored = loaded.at(candidate.id);
            const PairEvidence evidence = comparePair(a, *stored.prepared);
            if (evidence.score * 100.0 < options.minScore)
                continue;
            out.pairs.push_back(
                makePair(member.name, member.features,
                         DrawingName{stored.row.path, stored.row.shownName, projects[candidate.project].name},
                         stored.features, evidence));
        }
    }
    return out;
}

} // namespace darv::similar
