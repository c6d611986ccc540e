// Bytes of a character set that the C library's iconv knows to UTF-8.
#include "drawing/CharsetConverter.h"

#include "drawing/Utf8.h"

#include <array>
#include <iconv.h>
#include <utility>

namespace dwg {

CharsetConverter::CharsetConverter(const char* charset)
{
    const iconv_t handle = iconv_open("UTF-8", charset);
    if (handle != reinterpret_cast<iconv_t>(-1)) {
        m_handle = handle;
    }
}

CharsetConverter::CharsetConverter(CharsetConverter&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr))
{}

CharsetConverter& CharsetConverter::operator=(CharsetConverter&& other) noexcept
{
    if (this != &other) {
        if (m_handle != nullptr) {
            iconv_close(static_cast<iconv_t>(m_handle));
        }
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

CharsetConverter::~CharsetConverter()
{
    if (m_handle != nullptr) {
        iconv_close(static_cast<iconv_t>(m_handle));
    }
}

void CharsetConverter::appendUtf8(std::string_view bytes, std::string& out)
{
    if (m_handle == nullptr) {
        return;
    }
    const auto handle = static_cast<iconv_t>(m_handle);
    iconv(handle, nullptr, nullptr, nullptr, nullptr); // a fresh shift state for every text
    std::array<char, 256> buffer{};
    char* in = const_cast<char*>(bytes.data()); // iconv's interface; the input is not written
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* target = buffer.data();
        std::size_t targetLeft = buffer.size();
        const std::size_t result = iconv(handle, &in, &inLeft, &target, &targetLeft);
        out.append(buffer.data(), buffer.size() - targetLeft);
        if (result == static_cast<std::size_t>(-1) && targetLeft == buffer.size()) {
            // An invalid or incomplete sequence: one replacement character for its first byte, then go on.
            dwg::appendUtf8(out, 0xFFFD);
            ++in;
            --inLeft;
        }
    }
}

} // namespace dwg
