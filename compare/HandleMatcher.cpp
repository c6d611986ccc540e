// Counts shared handles between the handle lists of all drawings.
#include "compare/HandleMatcher.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

namespace darv {
namespace {

// Progress is told after about this many handle entries: often enough to look alive on a large class,
// never for a small one.
constexpr std::size_t kProgressEntries = 1 << 16;

inline std::int64_t bitCount(std::uint64_t x)
{
#if defined(__POPCNT__)
    return std::popcount(x);
#else
    // Without the popcount instruction the library call would cost more than the whole pair.
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<std::int64_t>((x * 0x0101010101010101ULL) >> 56);
#endif
}

struct Interned
{
    std::vector<std::size_t> start; // per drawing, n + 1 offsets into ids
    std::vector<std::size_t> ids;   // handle numbers of every entry, sorted within each drawing
    std::size_t distinct = 0;
};

// Progress is told once per drawing of each of the two passes that cost the most.
Interned internHandles(const std::vector<std::string>& lists, const HandleMatcher::Progress& progress)
{
    Interned result;
    std::unordered_map<std::string_view, std::size_t> numbers;
    std::size_t told = 0;
    result.start.reserve(lists.size() + 1);
    result.start.push_back(0);
    for (const std::string& list : lists) {
        const std::size_t first = result.ids.size();
        std::size_t from = 0;
        for (std::size_t pos = list.find('$'); pos != std::string::npos; pos = list.find('$', from)) {
            const std::string_view handle(list.data() + from, pos - from);
            const auto [it, added] = numbers.try_emplace(handle, numbers.size());
            result.ids.push_back(it->second);
            from = pos + 1;
        }
        std::sort(result.ids.begin() + static_cast<std::ptrdiff_t>(first), result.ids.end());
        result.start.push_back(result.ids.size());
        if (progress && result.ids.size() - told >= kProgressEntries) {
            told = result.ids.size();
            progress(result.start.size() - 1, 2 * lists.size());
        }
    }
    result.distinct = numbers.size();
    return result;
}

// The least number of drawings a handle must be in to be kept as a bit. Rare handles cost about
// len * len / 2 additions over all pairs; common ones one word operation per pair for every 64 of them.
std::size_t chooseCommonLimit(const std::vector<std::size_t>& postingLength, std::size_t drawings)
{
    const double pairs = static_cast<double>(drawings) * static_cast<double>(drawings > 0 ? drawings - 1 : 0) / 2.0;
    std::size_t longest = 0;
    for (std::size_t len : postingLength)
        longest = std::max(longest, len);
    std::size_t best = longest + 1; // everything rare
    double bestCost = -1.0;
    for (std::size_t limit = 1;; limit *= 2) {
        const std::size_t candidate = std::min(limit, longest + 1);
        double rareCost = 0.0;
        std::size_t common = 0;
        for (std::size_t len : postingLength) {
            if (len >= candidate)
                ++common;
            else
                rareCost += static_cast<double>(len) * static_cast<double>(len) / 2.0;
        }
        const double words = static_cast<double>((common + 63) / 64);
        const double cost = rareCost + pairs * words * 2.0;
        if (bestCost < 0.0 || cost < bestCost) {
            bestCost = cost;
            best = candidate;
        }
        if (candidate > longest)
            break;
    }
    return best;
}

} // namespace

std::vector<std::string_view> splitHandleList(std::string_view list)
{
    std::vector<std::string_view> entries;
    std::size_t from = 0;
    for (std::size_t pos = list.find('$'); pos != std::string_view::npos; pos = list.find('$', from)) {
        entries.push_back(list.substr(from, pos - from));
        from = pos + 1;
    }
    return entries;
}

std::int64_t literalMatches(const std::vector<std::string_view>& l1, const std::vector<std::string_view>& l2)
{
    std::int64_t matches = 0;
    for (const std::string_view a : l1) {
        for (const std::string_view b : l2) {
            if (a == b) {
                ++matches;
                break;
            }
        }
    }
    return matches;
}

HandleMatcher::HandleMatcher(const std::vector<std::string>& handleLists, const Progress& progress)
{
    const std::size_t n = handleLists.size();
    const Interned interned = internHandles(handleLists, progress);

    // Distinct handles of each drawing with their number of occurrences.
    std::vector<std::size_t> distinctStart{0};
    std::vector<std::size_t> distinctIds;
    std::vector<std::int64_t> distinctTimes;
    std::vector<std::size_t> postingLength(interned.distinct, 0);
    m_entryCounts.resize(n);
    for (std::size_t d = 0; d < n; ++d) {
        const std::size_t begin = interned.start[d];
        const std::size_t end = interned.start[d + 1];
        m_entryCounts[d] = static_cast<std::int64_t>(end - begin);
        for (std::size_t k = begin; k < end;) {
            std::size_t next = k + 1;
            while (next < end && interned.ids[next] == interned.ids[k])
                ++next;
            distinctIds.push_back(interned.ids[k]);
            distinctTimes.push_back(static_cast<std::int64_t>(next - k));
            ++postingLength[interned.ids[k]];
            k = next;
        }
        distinctStart.push_back(distinctIds.size());
    }

    // Drawings per handle, ascending because the drawings are visited in order.
    m_postStart.assign(interned.distinct + 1, 0);
    for (std::size_t id = 0; id < interned.distinct; ++id)
        m_postStart[id + 1] = m_postStart[id] + postingLength[id];
    m_postDrawings.resize(m_postStart.back());
    std::vector<std::size_t> fill(m_postStart.begin(), m_postStart.end() - 1);
    for (std::size_t d = 0; d < n; ++d) {
        for (std::size_t k = distinctStart[d]; k < distinctStart[d + 1]; ++k)
            m_postDrawings[fill[distinctIds[k]]++] = d;
    }

    const std::size_t limit = chooseCommonLimit(postingLength, n);
    std::vector<std::size_t> bitIndex(interned.distinct, 0);
    std::size_t common = 0;
    for (std::size_t id = 0; id < interned.distinct; ++id) {
        if (postingLength[id] >= limit)
            bitIndex[id] = common++;
    }
    m_words = (common + 63) / 64;
    m_bits.assign(n * m_words, 0);
    m_hasCommon.assign(n, 0);
    m_rareStart.push_back(0);
    m_extraStart.push_back(0);
    std::size_t told = 0;
    for (std::size_t d = 0; d < n; ++d) {
        for (std::size_t k = distinctStart[d]; k < distinctStart[d + 1]; ++k) {
            const std::size_t id = distinctIds[k];
            if (postingLength[id] >= limit) {
                const std::size_t bit = bitIndex[id];
                m_bits[d * m_words + bit / 64] |= std::uint64_t{1} << (bit % 64);
                m_hasCommon[d] = 1;
                if (distinctTimes[k] > 1) {
                    m_extraIds.push_back(id);
                    m_extraTimes.push_back(distinctTimes[k] - 1);
                }
            } else {
                m_rareIds.push_back(id);
                m_rareTimes.push_back(distinctTimes[k]);
            }
        }
        m_rareStart.push_back(m_rareIds.size());
        m_extraStart.push_back(m_extraIds.size());
        if (progress && distinctStart[d + 1] - told >= kProgressEntries) {
            told = distinctStart[d + 1];
            progress(n + d + 1, 2 * n);
        }
    }
}

void HandleMatcher::addPosted(std::size_t i, std::size_t id, std::int64_t weight,
                              std::vector<std::int64_t>& matches) const
{
    const auto first = m_postDrawings.begin() + static_cast<std::ptrdiff_t>(m_postStart[id]);
    const auto last = m_postDrawings.begin() + static_cast<std::ptrdiff_t>(m_postStart[id + 1]);
    for (auto it = std::upper_bound(first, last, i); it != last; ++it)
        matches[*it] += weight;
}

void HandleMatcher::matchesFrom(std::size_t i, std::vector<std::int64_t>& matches) const
{
    const std::size_t n = size();
    matches.assign(n, 0);
    if (i >= n)
        return;
    for (std::size_t k = m_rareStart[i]; k < m_rareStart[i + 1]; ++k)
        addPosted(i, m_rareIds[k], m_rareTimes[k], matches);
    for (std::size_t k = m_extraStart[i]; k < m_extraStart[i + 1]; ++k)
        addPosted(i, m_extraIds[k], m_extraTimes[k], matches);
    if (!m_hasCommon[i])
        return;
    const std::uint64_t* own = m_bits.data() + i * m_words;
    for (std::size_t j = i + 1; j < n; ++j) {
        if (!m_hasCommon[j])
            continue;
        const std::uint64_t* other = m_bits.data() + j * m_words;
        std::int64_t shared = 0;
        for (std::size_t w = 0; w < m_words; ++w)
            shared += bitCount(own[w] & other[w]);
        matches[j] += shared;
    }
}

} // namespace darv
