// DXF text in the code page its header names ($DWGCODEPAGE, e.g. "ANSI_1252") to UTF-8, through the C library.
#include "dxf/CodePage.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace dxf {

namespace {

std::string upperAscii(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

std::string iconvName(std::string_view dwgCodepage)
{
    const std::string name = upperAscii(dwgCodepage);
    if (name == "ANSI_1361" || name == "JOHAB") {
        return "JOHAB";
    }
    if (name == "KSC5601") {
        return "CP949";
    }
    if (name == "BIG5" || name == "GB2312" || name == "MACINTOSH" || name == "UTF-8") {
        return name;
    }
    if (name == "ASCII") {
        return "CP1252"; // bytes above 127 are not ASCII; the CAD program reads them as its default page
    }
    for (std::string_view prefix : {"ANSI_", "DOS", "CP"}) {
        if (name.rfind(prefix, 0) == 0 && allDigits(std::string_view(name).substr(prefix.size()))) {
            const std::string number = name.substr(prefix.size());
            return number == "1200" ? std::string() : "CP" + number; // ANSI_1200 is UTF-16, not a byte page
        }
    }
    if (name.rfind("ISO8859-", 0) == 0 && allDigits(std::string_view(name).substr(8))) {
        return "ISO-8859-" + name.substr(8);
    }
    return {};
}

CodePageConverter::CodePageConverter(std::string_view dwgCodepage)
{
    const std::string name = iconvName(dwgCodepage);
    if (!name.empty()) {
        dwg::CharsetConverter converter(name.c_str());
        if (converter.ok()) {
            m_converter.emplace(std::move(converter));
            m_known = true;
        }
    }
    if (!m_known) {
        dwg::CharsetConverter fallback("CP1252");
        if (fallback.ok()) {
            m_converter.emplace(std::move(fallback));
        }
    }
}

void CodePageConverter::appendUtf8(std::string_view bytes, std::string& out)
{
    if (m_converter) {
        m_converter->appendUtf8(bytes, out);
        return;
    }
    // No converter at all (a C library without code pages): keep ASCII, mark the rest.
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else {
            out += "\xEF\xBF\xBD";
        }
    }
}

} // namespace dxf
