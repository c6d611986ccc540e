// The words of a drawing's text: multi-line text codes removed, and dates and small numbers left out.
#include "similar/ComparableText.h"

#include <cstring>

namespace darv::similar {
namespace {

// Codes of multi-line texts that run up to a semicolon: font, height, colour, width, tracking, slant,
// alignment, paragraph, stacking.
bool codeWithArgument(char c)
{
    return std::strchr("ACcFfHQTWpS", c) != nullptr;
}

std::string withoutCodes(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}')
            continue;
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char code = text[++i];
        if (code == 'P' || code == '~' || code == 'X') {
            out += ' ';
        } else if (code == '\\' || code == '{' || code == '}') {
            out += code;
        } else if (codeWithArgument(code)) {
            while (i + 1 < text.size() && text[i + 1] != ';')
                ++i;
            ++i; // the semicolon
        }        // underline, overline, strike-through switches: nothing to keep
    }
    return out;
}

// Only digits and separators, with no run of more than four digits: a date, a time, a measure, a page.
bool saysNothingOfItsAuthor(const std::string& text)
{
    std::size_t run = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (++run > 4)
                return false;
        } else if (std::strchr(" ./:-,", c)) {
            run = 0;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

std::string foldedText(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
            continue;
        }
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string comparableText(const std::string& text)
{
    const std::string out = foldedText(withoutCodes(text));
    if (out.size() < 2 || saysNothingOfItsAuthor(out))
        return "";
    return out;
}

} // namespace darv::similar
