// Grouping the class by shared identities and measuring what each group holds in common.
#include "similar/StartDrawings.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace darv::similar {
namespace {

// The counting tokens of a member: those no template holds.
std::size_t ownTokens(const ClassMember& member, const TemplateSet& templates)
{
    return static_cast<std::size_t>(std::count_if(member.tokens.begin(), member.tokens.end(),
                                                  [&](std::uint64_t t) { return !templates.contains(t); }));
}

} // namespace

std::vector<StartDrawing> findStartDrawings(const std::vector<ClassMember>& members, TemplateSet& implied)
{
    const TemplateSet named = implied;
    // Fingerprints first: a group found by both is named by its fingerprint.
    std::map<std::pair<bool, std::uint64_t>, std::vector<std::size_t>> byIdentity;
    std::map<std::uint64_t, std::string> labels;
    for (std::size_t m = 0; m < members.size(); ++m) {
        for (const LabelledToken& t : members[m].features.identity) {
            if ((t.kind != TokenKind::Fingerprint && t.kind != TokenKind::Created) || named.contains(t.token))
                continue;
            std::vector<std::size_t>& holders = byIdentity[{t.kind != TokenKind::Fingerprint, t.token}];
            if (holders.empty() || holders.back() != m)
                holders.push_back(m);
            labels.emplace(t.token, t.label);
        }
    }
    std::vector<StartDrawing> found;
    std::set<std::vector<std::size_t>>
        noted; // a group found by both its fingerprint and its creation time is said once
    for (const auto& [key, holders] : byIdentity) {
        const std::uint64_t identity = key.second;
        if (holders.size() < 2)
            continue;
        std::vector<std::uint64_t> common = members[holders[0]].tokens; // sorted, each once
        for (std::size_t i = 1; i < holders.size() && !common.empty(); ++i) {
            const std::vector<std::uint64_t>& next = members[holders[i]].tokens;
            std::vector<std::uint64_t> both;
            std::set_intersection(common.begin(), common.end(), next.begin(), next.end(), std::back_inserter(both));
            common = std::move(both);
        }
        std::erase_if(common, [&](std::uint64_t t) { return named.contains(t); });
        // A minority of every one of them: less than half of its own tokens.
        const bool minority = std::all_of(holders.begin(), holders.end(), [&](std::size_t m) {
            return 2 * common.size() < ownTokens(members[m], named);
        });
        if (!minority)
            continue;
        implied.addToken(identity);
        for (const std::uint64_t t : common)
            implied.addToken(t);
        if (!noted.insert(holders).second)
            continue;
        StartDrawing start{labels.at(identity), {}};
        for (const std::size_t m : holders)
            start.drawings.push_back(members[m].name.shownName);
        found.push_back(std::move(start));
    }
    return found;
}

} // namespace darv::similar
