// Payload recovery from interleaved Reed-Solomon code words of the 2007 format.
#include "dwg/R2007ReedSolomon.h"

namespace dwg {

bool deinterleaveR2007(std::span<const std::uint8_t> src, std::size_t blocks, std::size_t k,
                       std::vector<std::uint8_t>& out)
{
    out.clear();
    if (k == 0 || k > kR2007CodeWordSize || blocks > src.size() / k)
        return false;
    out.resize(blocks * k);
    std::uint8_t* target = out.data();
    for (std::size_t word = 0; word < blocks; ++word) {
        // Walk one word's bytes with a stride; src.size() >= blocks * k keeps the last index in range.
        const std::uint8_t* from = src.data() + word;
        for (std::size_t j = 0; j < k; ++j)
            *target++ = from[j * blocks];
    }
    return true;
}

} // namespace dwg
