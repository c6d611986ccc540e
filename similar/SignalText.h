// The line a person reads for each signal of a pair.
#pragma once

#include "similar/PairEvidence.h"

#include <string>

namespace darv::similar {

// nameA and nameB as the report names the two drawings.
std::string signalText(const SignalEvidence& signal, const std::string& nameA, const std::string& nameB);

// "120.5", "-33.25", "0": at most three decimals, no trailing zeros.
std::string shortNumber(double value);

// A share as a whole percentage, rounded down: a pair shown at 50 % is at or above 50 %.
int wholePercent(double share);

} // namespace darv::similar
