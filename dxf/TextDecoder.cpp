// DXF strings to UTF-8: the file's encoding (a code page before 2007, UTF-8 from 2007 on) and its escapes.
#include "dxf/TextDecoder.h"

#include "drawing/Utf8.h"

#include <charconv>

namespace dxf {

namespace {

bool isPlain(std::string_view raw)
{
    for (char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || c == '\\' || c == '^' || byte == 0) {
            return false;
        }
    }
    return true;
}

int versionNumber(std::string_view version)
{
    int number = 0;
    if (version.size() < 3 || version.substr(0, 2) != "AC") {
        return 0;
    }
    std::from_chars(version.data() + 2, version.data() + version.size(), number);
    return number;
}

// Length of the UTF-8 sequence at text[0], or 0 when it is not a valid one.
std::size_t validSequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and values above U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) || (lead == 0xF0 && byte(1) < 0x90) ||
        (lead == 0xF4 && byte(1) >= 0x90)) {
        return 0;
    }
    return length;
}

bool readHex(std::string_view text, std::size_t at, std::size_t digits, unsigned& value)
{
    if (at + digits > text.size()) {
        return false;
    }
    const char* begin = text.data() + at;
    const auto result = std::from_chars(begin, begin + digits, value, 16);
    return result.ec == std::errc() && result.ptr == begin + digits;
}

constexpr char32_t replacement = 0xFFFD;

} // namespace

void appendCodePoint(char32_t codePoint, std::string& out)
{
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = replacement;
    }
    dwg::appendUtf8(out, codePoint);
}

bool appendValidUtf8(std::string_view text, std::string& out)
{
    bool clean = true;
    while (!text.empty()) {
        const std::size_t length = validSequence(text);
        if (length == 0 || (length == 1 && text[0] == 0)) {
            appendCodePoint(replacement, out);
            text.remove_prefix(1);
            clean = false;
            continue;
        }
        out.append(text.data(), length);
        text.remove_prefix(length);
    }
    return clean;
}

TextDecoder::TextDecoder(std::string_view version, std::string_view codepage) : m_codepage(codepage)
{
    const int number = versionNumber(version);
    m_encoding = number >= 1021 ? Encoding::Utf8 : number > 0 ? Encoding::CodePage : Encoding::Guess;
}

std::string TextDecoder::decode(std::string_view raw)
{
    if (isPlain(raw)) {
        return std::string(raw);
    }
    std::string text;
    text.reserve(raw.size());
    appendEncoded(raw, text);
    if (text.find_first_of("\\^") == std::string::npos) {
        return text;
    }
    return decodeEscapes(text);
}

void TextDecoder::appendEncoded(std::string_view raw, std::string& out)
{
    if (m_encoding == Encoding::CodePage) {
        m_codepage.appendUtf8(raw, out);
        return;
    }
    const std::size_t start = out.size();
    if (!appendValidUtf8(raw, out) && m_encoding == Encoding::Guess) {
        out.resize(start);
        m_codepage.appendUtf8(raw, out);
    }
}

std::string TextDecoder::decodeEscapes(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        unsigned value = 0;
        if (c == '^' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == ' ') {
                out += '^';
                ++i;
                continue;
            }
            if (next >= '@' && next <= '_') {
                appendCodePoint(static_cast<char32_t>(next - '@'), out);
                ++i;
                continue;
            }
        } else if (c == '\\' && i + 2 < text.size() && (text[i + 1] == 'U' || text[i + 1] == 'u') &&
                   text[i + 2] == '+' && readHex(text, i + 3, 4, value)) {
            i += 6;
            unsigned low = 0;
            if (value >= 0xD800 && value <= 0xDBFF && text.compare(i + 1, 3, "\\U+") == 0 &&
                readHex(text, i + 4, 4, low) && low >= 0xDC00 && low <= 0xDFFF) {
                value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
                i += 7;
            }
            appendCodePoint(value, out);
            continue;
        } else if (c == '\\' && i + 3 < text.size() && (text[i + 1] == 'M' || text[i + 1] == 'm') &&
                   text[i + 2] == '+' && text[i + 3] >= '1' && text[i + 3] <= '5' && readHex(text, i + 4, 4, value)) {
            appendMultiByte(text[i + 3] - '1', value, out);
            i += 7;
            continue;
        }
        out += c;
    }
    return out;
}

// "\M+nXXXX": one double-byte character of a far-east code page, n = 1 Japanese, 2 traditional Chinese, 3 Korean
// (Wansung), 4 Korean (Johab), 5 simplified Chinese.
void TextDecoder::appendMultiByte(int page, unsigned value, std::string& out)
{
    static constexpr std::string_view pages[] = {"ANSI_932", "ANSI_950", "ANSI_949", "ANSI_1361", "ANSI_936"};
    auto& converter = m_multiByte[static_cast<std::size_t>(page)];
    if (!converter) {
        converter = std::make_unique<CodePageConverter>(pages[page]);
    }
    const char bytes[2] = {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
    converter->appendUtf8(std::string_view(bytes, 2), out);
}

} // namespace dxf
