// Turns the texts of a drawing into UTF-8: the drawing's code page before 2007, with "\U+XXXX" escapes decoded.
#include "dwg/TextDecoder.h"

#include "drawing/Utf8.h"

#include <array>
#include <utility>

namespace dwg {

namespace {

// Indexed by the code page number at file offset 0x13.
constexpr std::array<std::string_view, 45> codepageNames{
    "",          "ASCII",     "ISO8859-1", "ISO8859-2", "ISO8859-3", "ISO8859-4", "ISO8859-5", "ISO8859-6", "ISO8859-7",
    "ISO8859-8", "ISO8859-9", "DOS437",    "DOS850",    "DOS852",    "DOS855",    "DOS857",    "DOS860",    "DOS861",
    "DOS863",    "DOS864",    "DOS865",    "DOS869",    "DOS932",    "MACINTOSH", "BIG5",      "KSC5601",   "JOHAB",
    "DOS866",    "ANSI_1250", "ANSI_1251", "ANSI_1252", "GB2312",    "ANSI_1253", "ANSI_1254", "ANSI_1255", "ANSI_1256",
    "ANSI_1257", "ANSI_874",  "ANSI_932",  "ANSI_936",  "ANSI_949",  "ANSI_950",  "ANSI_1361", "ANSI_1200", "ANSI_1258",
};

constexpr std::uint16_t ansi1252 = 30;

// The iconv name of a multi-byte code page; nullptr for the others.
const char* multiByteCharset(std::uint16_t codepage)
{
    switch (codepage) {
    case 22:
    case 38:
        return "CP932";
    case 24:
    case 41:
        return "BIG5";
    case 25:
    case 40:
        return "CP949";
    case 26:
    case 42:
        return "JOHAB";
    case 31:
    case 39:
        return "GBK"; // a superset of GB2312
    default:
        return nullptr;
    }
}

bool isPlain(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\') {
            return false;
        }
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The code unit of a "\U+XXXX" escape at `at`, or -1 when there is none.
long escapeAt(std::string_view text, std::size_t at)
{
    if (at + 7 > text.size() || text[at] != '\\' || (text[at + 1] != 'U' && text[at + 1] != 'u') ||
        text[at + 2] != '+') {
        return -1;
    }
    long value = 0;
    for (std::size_t i = at + 3; i < at + 7; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

std::string_view codepageName(std::uint16_t codepage)
{
    return codepage < codepageNames.size() ? codepageNames[codepage] : std::string_view();
}

std::string decodeUnicodeEscapes(std::string_view text)
{
    if (text.find('\\') == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const long unit = escapeAt(text, i);
        if (unit < 0) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        auto code = static_cast<std::uint32_t>(unit);
        i += 7;
        if (code >= 0xD800 && code < 0xDC00) {
            const long low = escapeAt(text, i);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint32_t>(low) - 0xDC00);
                i += 7;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xDC00 && code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(out, code);
    }
    return out;
}

TextDecoder::TextDecoder(std::uint16_t codepage)
{
    if (const char* charset = multiByteCharset(codepage)) {
        CharsetConverter converter(charset);
        if (converter.ok()) {
            m_multiByte.emplace(std::move(converter));
            return;
        }
    }
    m_table = singleByteTable(codepage);
    if (m_table == nullptr) {
        m_table = singleByteTable(ansi1252);
    }
}

std::string TextDecoder::decode(std::string_view bytes)
{
    if (isPlain(bytes)) {
        return std::string(bytes);
    }
    std::string utf8;
    if (m_multiByte) {
        m_multiByte->appendUtf8(bytes, utf8);
    } else {
        utf8.reserve(bytes.size() + bytes.size() / 2);
        for (const char c : bytes) {
            appendUtf8(utf8, (*m_table)[static_cast<unsigned char>(c)]);
        }
    }
    return decodeUnicodeEscapes(utf8);
}

} // namespace dwg
