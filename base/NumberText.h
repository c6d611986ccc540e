// Numbers as the system writes them into its files: plain decimal text.
#pragma once

#include <string>

namespace darv {

// Shortest decimal text of a value rounded to 15 significant digits: "." as separator, no trailing
// zeros after the point, no point for whole numbers, no exponent, "-" for negatives.
// 2454001.60418981 -> "2454001.60418981", 2454001.5 -> "2454001.5", 12.0 -> "12", 0.00001 -> "0.00001".
std::string decimalText(double value);

// The value rounded to 15 significant digits (the value decimalText shows).
double roundTo15Digits(double value);

} // namespace darv
