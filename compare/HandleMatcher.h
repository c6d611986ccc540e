// Counts shared handles between the handle lists of all drawings, without comparing every entry with every entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace darv {

// The entries of a stored handle list: each "$" ends one handle; text after the last "$" is no handle.
// An empty text between two "$" is an empty handle and counts like any other.
std::vector<std::string_view> splitHandleList(std::string_view list);

// The number of entries of l1 that occur in l2, the way the check has always counted them: each entry
// of l1 is looked up in l2 from its start and counts once when found; an entry twice in l1 counts twice.
// Costs count1 x count2 text comparisons; kept as the reference for the faster matcher.
std::int64_t literalMatches(const std::vector<std::string_view>& l1, const std::vector<std::string_view>& l2);

// The same count for every pair of drawings. Every distinct handle text gets a number; handles found in
// many drawings are kept as bits (a pair costs one AND and popcount per 64 of them), rare ones in
// per-handle lists of the drawings that hold them. Where the line between the two lies is chosen from the
// data, so that neither a class of near-identical drawings nor one of unrelated drawings gets slow.
class HandleMatcher
{
public:
    // Called now and then while the matcher is built: step of steps done.
    using Progress = std::function<void(std::size_t step, std::size_t steps)>;

    // The lists must stay alive while the matcher is built; it keeps no reference to them afterwards.
    explicit HandleMatcher(const std::vector<std::string>& handleLists, const Progress& progress = {});

    std::size_t size() const { return m_entryCounts.size(); }
    std::int64_t entryCount(std::size_t slot) const { return m_entryCounts[slot]; }

    // matches[j] for every j > i: the literal count of list i against list j. matches is resized to size();
    // slots up to i are set to 0.
    void matchesFrom(std::size_t i, std::vector<std::int64_t>& matches) const;

private:
    void addPosted(std::size_t i, std::size_t id, std::int64_t weight, std::vector<std::int64_t>& matches) const;

    std::vector<std::int64_t> m_entryCounts;

    // Per drawing (offsets in m_rareStart, n + 1 of them): its rare handles and how often each occurs.
    std::vector<std::size_t> m_rareStart;
    std::vector<std::size_t> m_rareIds;
    std::vector<std::int64_t> m_rareTimes;

    // Per drawing: common handles that occur more than once in it, with the number of extra occurrences.
    std::vector<std::size_t> m_extraStart;
    std::vector<std::size_t> m_extraIds;
    std::vector<std::int64_t> m_extraTimes;

    // Per handle number: the drawings that hold it, ascending.
    std::vector<std::size_t> m_postStart;
    std::vector<std::size_t> m_postDrawings;

    // Per drawing: one bit for each common handle it holds.
    std::size_t m_words = 0;
    std::vector<std::uint64_t> m_bits;
    std::vector<char> m_hasCommon;
};

} // namespace darv
