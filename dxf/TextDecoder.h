// DXF strings to UTF-8: the file's encoding (a code page before 2007, UTF-8 from 2007 on) and its escapes.
#pragma once

#include "dxf/CodePage.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace dxf {

class TextDecoder
{
public:
    // version: $ACADVER ("AC1015"); codepage: $DWGCODEPAGE. Files of 2007 (AC1021) and later are UTF-8; earlier ones
    // use the code page; a file that names no version is read as UTF-8 where its bytes are valid UTF-8.
    TextDecoder(std::string_view version, std::string_view codepage);

    // The stored string as UTF-8, with "\U+XXXX", "\M+nXXXX" and "^J"-style escapes decoded. Always valid UTF-8.
    std::string decode(std::string_view raw);
    bool codepageKnown() const { return m_codepage.known(); }
    bool usesCodePage() const { return m_encoding != Encoding::Utf8; }

private:
    void appendEncoded(std::string_view raw, std::string& out);
    std::string decodeEscapes(const std::string& text);
    void appendMultiByte(int page, unsigned value, std::string& out);

    enum class Encoding { Utf8, CodePage, Guess };
    Encoding m_encoding = Encoding::Guess;
    CodePageConverter m_codepage;
    // The far-east code pages of "\M+n" escapes (1 to 5), opened when one first appears.
    std::array<std::unique_ptr<CodePageConverter>, 5> m_multiByte;
};

// Appends text, each invalid UTF-8 sequence replaced by U+FFFD; true when nothing had to be replaced.
bool appendValidUtf8(std::string_view text, std::string& out);
void appendCodePoint(char32_t codePoint, std::string& out);

} // namespace dxf
