// Bytes of a character set that the C library's iconv knows ("CP932", "CP1251") to UTF-8: the code pages that
// have no built-in table, for DWG and DXF texts alike.
#pragma once

#include <string>
#include <string_view>

namespace dwg {

class CharsetConverter
{
public:
    // ok() tells whether the C library knows the character set.
    explicit CharsetConverter(const char* charset);
    CharsetConverter(CharsetConverter&& other) noexcept;
    CharsetConverter& operator=(CharsetConverter&& other) noexcept;
    CharsetConverter(const CharsetConverter&) = delete;
    CharsetConverter& operator=(const CharsetConverter&) = delete;
    ~CharsetConverter();

    bool ok() const { return m_handle != nullptr; }
    // Appends the UTF-8 form of bytes, from a fresh shift state; each byte that starts no valid character (an
    // undefined or cut-short sequence) becomes U+FFFD. Nothing is appended when !ok().
    void appendUtf8(std::string_view bytes, std::string& out);

private:
    void* m_handle = nullptr; // iconv_t
};

} // namespace dwg
