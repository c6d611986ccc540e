// What the checks report while they run: status texts, counters, elapsed-time updates and the alert.
#pragma once

#include <cstdint>
#include <string>

namespace darv {

enum class ConflictCounter { Time, Handle, Age };

// "Comparing  1 vs.  2": each pair number written with one blank in front of its digits.
std::string comparingText(std::int64_t first, std::int64_t second);

// "Indexing  3 of  10": the handle lists being prepared before the pairs are compared.
std::string indexingText(std::int64_t step, std::int64_t steps);

class CompareObserver
{
public:
    virtual ~CompareObserver() = default;
    virtual void statusChanged(const std::string& text) = 0;
    // The handle check starts on a pair (numbers counted from 1). Called for every pair compared, so
    // an observer that shows it may format the text only when it repaints.
    virtual void pairStarted(std::int64_t first, std::int64_t second) { statusChanged(comparingText(first, second)); }
    // The handle check is still indexing the handle lists: step of steps done. Called often.
    virtual void indexing(std::int64_t step, std::int64_t steps) { statusChanged(indexingText(step, steps)); }
    virtual void counterChanged(ConflictCounter counter, std::int64_t value) = 0;
    // ShowElapsed: called after every comparison step.
    virtual void showElapsed() = 0;
    // ConflictAlert: called by a check at its end when it found conflicts and no alert was raised yet.
    virtual void conflictAlert() = 0;
};

} // namespace darv
