// Work on a pool of worker threads, with the results taken up on the calling thread in a fixed order, so
// that a run with many threads stores and reports exactly what a run with one thread does.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace darv::similar {

// work(i) runs for i = 0 .. count - 1 on `threads` worker threads (on the calling thread alone when threads
// is 1); take(i) runs on the calling thread for i = 0, 1, 2 ... in that order, each once work(i) is done.
// take returning false, or cancel becoming true, stops the pool: no further take, workers finish the item
// in hand. True when every item was taken. Workers run at most a few items ahead of take.
bool runOrdered(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<bool(std::size_t)>& take, const std::atomic<bool>& cancel);

// One worker per core (at least one).
unsigned defaultThreads();

} // namespace darv::similar
