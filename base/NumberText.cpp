// Numbers as the system writes them into its files.
#include "base/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace darv {

std::string decimalText(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == 0.0)
        return "0";
    // 15 significant digits in scientific form: d.dddddddddddddde[+-]xx
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string text(buffer);
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        text.erase(0, 1);
    }
    const auto ePos = text.find('e');
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            digits += text[i];
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    // The decimal point goes after digit number exponent + 1.
    std::string result;
    const int pointAt = exponent + 1;
    const int count = static_cast<int>(digits.size());
    if (pointAt <= 0) {
        result = "0." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (pointAt >= count) {
        result = digits + std::string(static_cast<std::size_t>(pointAt - count), '0');
    } else {
        result = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
                 digits.substr(static_cast<std::size_t>(pointAt));
    }
    return negative ? "-" + result : result;
}

double roundTo15Digits(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

} // namespace darv
