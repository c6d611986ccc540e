// k-gram fingerprints chosen by winnowing.
#include "similar/Winnowing.h"

#include "similar/Hashing.h"

#include <algorithm>

namespace darv::similar {

std::vector<Fingerprint> winnow(const std::vector<std::uint64_t>& items, std::size_t k, std::size_t window)
{
    std::vector<Fingerprint> chosen;
    if (k == 0 || window == 0 || items.size() < k)
        return chosen;
    std::vector<std::uint64_t> grams(items.size() - k + 1);
    for (std::size_t i = 0; i < grams.size(); ++i) {
        Hasher hash(0x4B4752414Dull); // "KGRAM"
        for (std::size_t j = 0; j < k; ++j)
            hash.add(items[i + j]);
        grams[i] = hash.value();
    }
    const std::size_t windows = grams.size() >= window ? grams.size() - window + 1 : 1;
    const std::size_t width = std::min(window, grams.size());
    std::size_t last = grams.size(); // none chosen yet
    for (std::size_t start = 0; start < windows; ++start) {
        std::size_t best = start;
        for (std::size_t i = start; i < start + width; ++i)
            if (grams[i] <= grams[best])
                best = i;
        if (best != last) {
            chosen.push_back(Fingerprint{grams[best], best});
            last = best;
        }
    }
    return chosen;
}

} // namespace darv::similar
