// DXF text in the code page its header names ($DWGCODEPAGE, e.g. "ANSI_1252") to UTF-8, through the C library.
#pragma once

#include "drawing/CharsetConverter.h"

#include <optional>
#include <string>
#include <string_view>

namespace dxf {

class CodePageConverter
{
public:
    // An unknown or empty name reads as ANSI_1252, the CAD program's default; known() tells which it was.
    explicit CodePageConverter(std::string_view dwgCodepage);

    bool known() const { return m_known; }
    // Appends the UTF-8 form of bytes; a byte sequence that the code page does not define becomes U+FFFD.
    void appendUtf8(std::string_view bytes, std::string& out);

private:
    std::optional<dwg::CharsetConverter> m_converter;
    bool m_known = false;
};

// The iconv name of a $DWGCODEPAGE value ("ANSI_1251" -> "CP1251", "DOS850" -> "CP850"); empty when unknown.
std::string iconvName(std::string_view dwgCodepage);

} // namespace dxf
