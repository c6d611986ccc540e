// Builds small bit streams for the reader's tests, most significant bit first like the drawings.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace darv::test {

class BitWriter
{
public:
    void bit(bool value)
    {
        if (m_bits % 8 == 0) {
            m_bytes.push_back(0);
        }
        if (value) {
            m_bytes.back() = static_cast<std::uint8_t>(m_bytes.back() | (0x80u >> (m_bits % 8)));
        }
        ++m_bits;
    }
    void bits(std::uint64_t value, unsigned count)
    {
        for (unsigned i = count; i > 0; --i) {
            bit(((value >> (i - 1)) & 1) != 0);
        }
    }
    void rawByte(std::uint8_t value) { bits(value, 8); }
    void rawShort(std::uint16_t value)
    {
        rawByte(static_cast<std::uint8_t>(value & 0xFF));
        rawByte(static_cast<std::uint8_t>(value >> 8));
    }
    void rawLong(std::uint32_t value)
    {
        rawShort(static_cast<std::uint16_t>(value & 0xFFFF));
        rawShort(static_cast<std::uint16_t>(value >> 16));
    }
    void bitShort(std::uint16_t value) // always the RS form
    {
        bits(0, 2);
        rawShort(value);
    }
    void bitLong(std::uint32_t value) // always the RL form
    {
        bits(0, 2);
        rawLong(value);
    }
    void bitDouble(double value) // always the full form
    {
        bits(0, 2);
        std::uint64_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        rawLong(static_cast<std::uint32_t>(raw & 0xFFFFFFFF));
        rawLong(static_cast<std::uint32_t>(raw >> 32));
    }
    void textV(const std::string& text)
    {
        bitShort(static_cast<std::uint16_t>(text.size()));
        for (const char c : text) {
            rawByte(static_cast<std::uint8_t>(c));
        }
    }
    void textU(const std::string& ascii)
    {
        bitShort(static_cast<std::uint16_t>(ascii.size()));
        for (const char c : ascii) {
            rawShort(static_cast<std::uint8_t>(c));
        }
    }
    void bytes(const std::vector<std::uint8_t>& data)
    {
        for (const std::uint8_t b : data) {
            rawByte(b);
        }
    }

    std::uint64_t bitCount() const { return m_bits; }
    const std::vector<std::uint8_t>& data() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_bits = 0;
};

} // namespace darv::test
