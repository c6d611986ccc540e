// Turns the texts of a drawing into UTF-8: the drawing's code page before 2007, with "\U+XXXX" escapes decoded.
#pragma once

#include "drawing/CharsetConverter.h"
#include "dwg/CodePageTables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dwg {

// The name the CAD program gives a code page number of the file header, e.g. 30 -> "ANSI_1252"; empty when unknown.
std::string_view codepageName(std::uint16_t codepage);

// Replaces every "\U+XXXX" (four hexadecimal digits, a surrogate pair as two escapes) by its character in UTF-8.
std::string decodeUnicodeEscapes(std::string_view text);

// Converts 8-bit texts of one drawing. Single-byte code pages use built-in tables; multi-byte ones (Japanese,
// Chinese, Korean) go through iconv, opened once per decoder. Bytes that do not convert become U+FFFD, and an
// unknown code page is read as ANSI_1252, so a text is never lost.
class TextDecoder
{
public:
    explicit TextDecoder(std::uint16_t codepage);

    // Code page bytes -> UTF-8, then "\U+XXXX" escapes decoded.
    std::string decode(std::string_view bytes);

private:
    const CodePageTable* m_table = nullptr;
    std::optional<CharsetConverter> m_multiByte;
};

} // namespace dwg
