// Small DXF files written by the tests: groups as ASCII lines or as binary DXF.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace darv::test {

using Groups = std::vector<std::pair<int, std::string>>;

inline std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

// Right-aligned group codes as the CAD program writes them; lineEnd "\r\n", "\n" or "\r".
inline std::string asciiDxf(const Groups& groups, const std::string& lineEnd = "\r\n")
{
    std::string text;
    for (const auto& [code, value] : groups) {
        const std::string number = std::to_string(code);
        text += std::string(number.size() < 3 ? 3 - number.size() : 0, ' ') + number + lineEnd + value + lineEnd;
    }
    return text;
}

// Binary DXF: two-byte group codes (R13 and later) or one-byte ones (R12). Values go by their code's type; only the
// types these tests use: strings, reals (10-59) and 16-bit integers (60-79).
inline std::vector<std::uint8_t> binaryDxf(const Groups& groups, bool oneByteCodes = false)
{
    const std::string sentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);
    std::vector<std::uint8_t> bytes(sentinel.begin(), sentinel.end());
    const auto append = [&](const void* data, std::size_t size) {
        const auto* begin = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), begin, begin + size);
    };
    for (const auto& [code, value] : groups) {
        const auto code16 = static_cast<std::uint16_t>(code);
        if (oneByteCodes && code < 255) {
            bytes.push_back(static_cast<std::uint8_t>(code));
        } else {
            if (oneByteCodes) {
                bytes.push_back(255);
            }
            append(&code16, 2); // little-endian machines only, like every machine these tests run on
        }
        if (code >= 10 && code <= 59) {
            const double real = std::stod(value);
            append(&real, 8);
        } else if (code >= 60 && code <= 79) {
            const auto integer = static_cast<std::int16_t>(std::stoi(value));
            append(&integer, 2);
        } else {
            append(value.c_str(), value.size() + 1);
        }
    }
    return bytes;
}

} // namespace darv::test
