// Text in a drawing code page ($DWGCODEPAGE, e.g. "ANSI_1252") to UTF-8: the one place that knows code pages.
#include "dxf/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace dxf {

namespace {

const auto invalidHandle = reinterpret_cast<iconv_t>(-1);

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

void appendReplacement(std::string& out)
{
    out += "\xEF\xBF\xBD";
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
        m_handle = iconv_open("UTF-8", name.c_str());
        m_known = m_handle != invalidHandle;
    }
    if (!m_known) {
        m_handle = iconv_open("UTF-8", "CP1252");
    }
    if (m_handle == invalidHandle) {
        m_handle = nullptr;
    }
}

CodePageConverter::CodePageConverter(CodePageConverter&& other) noexcept
    : m_handle(other.m_handle), m_known(other.m_known)
{
    other.m_handle = nullptr;
}

CodePageConverter& CodePageConverter::operator=(CodePageConverter&& other) noexcept
{
    if (this != &other) {
        if (m_handle) {
            iconv_close(static_cast<iconv_t>(m_handle));
        }
        m_handle = other.m_handle;
        m_known = other.m_known;
        other.m_handle = nullptr;
    }
    return *this;
}

CodePageConverter::~CodePageConverter()
{
    if (m_handle) {
        iconv_close(static_cast<iconv_t>(m_handle));
    }
}

void CodePageConverter::appendUtf8(std::string_view bytes, std::string& out)
{
    if (!m_handle) {
        // No converter at all (a C library without code pages): keep ASCII, mark the rest.
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                appendReplacement(out);
            }
        }
        return;
    }
    const auto handle = static_cast<iconv_t>(m_handle);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // EILSEQ (undefined byte) or EINVAL (a multi-byte character cut short): mark it and go on.
        appendReplacement(out);
        ++in;
        --inLeft;
    }
}

} // namespace dxf
