// Fingerprints of a sequence by k-grams and winnowing (Schleimer, Wilkerson and Aiken, SIGMOD 2003):
// every run of at least window + k - 1 equal items in two sequences gives at least one equal fingerprint,
// and a few inserted or deleted items only change the fingerprints near them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace darv::similar {

struct Fingerprint
{
    std::uint64_t hash = 0;
    std::size_t position = 0; // index of the k-gram's first item in the sequence
};

// The hash of every k-gram, then the smallest hash of every window of `window` consecutive k-grams (the
// rightmost one on ties), each chosen k-gram recorded once. A sequence shorter than k has none; one with
// fewer k-grams than a window gives its smallest.
std::vector<Fingerprint> winnow(const std::vector<std::uint64_t>& items, std::size_t k, std::size_t window);

} // namespace darv::similar
