// The one bounds-checked source of bits and bytes that every part of the reader reads through.
#include "dwg/BitReader.h"

#include "drawing/Utf8.h"

#include <cstring>

namespace dwg {

bool resolveHandle(HandleRef ref, std::uint64_t ownHandle, std::uint64_t& result)
{
    switch (ref.code) {
    case 0x2:
    case 0x3:
    case 0x4:
    case 0x5:
        result = ref.value;
        return true;
    case 0x6:
        result = ownHandle + 1;
        return true;
    case 0x8:
        result = ownHandle - 1;
        return true;
    case 0xA:
        result = ownHandle + ref.value;
        return true;
    case 0xC:
        result = ownHandle - ref.value;
        return true;
    default:
        return false;
    }
}

BitReader::BitReader(std::span<const std::uint8_t> bytes)
    : m_data(bytes.data()), m_size(bytes.size()), m_end(static_cast<std::uint64_t>(bytes.size()) * 8)
{}

void BitReader::fail()
{
    if (!m_failed) {
        m_failed = true;
        m_failPos = m_pos;
    }
    m_pos = m_end;
}

bool BitReader::take(std::uint64_t bits)
{
    if (m_pos <= m_end && bits <= m_end - m_pos) {
        return true;
    }
    fail();
    return false;
}

void BitReader::setPosition(std::uint64_t bit)
{
    if (bit > m_end) {
        fail();
        return;
    }
    m_pos = bit;
}

void BitReader::setEnd(std::uint64_t bit)
{
    const std::uint64_t limit = m_size * 8;
    m_end = bit < limit ? bit : limit;
    if (m_pos > m_end) {
        fail();
    }
}

void BitReader::skipBits(std::uint64_t count)
{
    if (take(count)) {
        m_pos += count;
    }
}

bool BitReader::readBit()
{
    if (!take(1)) {
        return false;
    }
    const bool bit = ((m_data[m_pos >> 3] >> (7 - (m_pos & 7))) & 1) != 0;
    ++m_pos;
    return bit;
}

unsigned BitReader::read2Bits()
{
    return static_cast<unsigned>(readBitsRaw(2));
}

unsigned BitReader::read3Bits()
{
    unsigned value = 0;
    for (int i = 0; i < 3; ++i) {
        const bool bit = readBit();
        value = (value << 1) | (bit ? 1u : 0u);
        if (!bit) {
            break;
        }
    }
    return value;
}

std::uint64_t BitReader::readBitsRaw(unsigned count)
{
    if (count > 64 || !take(count)) {
        if (count > 64) {
            fail();
        }
        return 0;
    }
    if (count == 0) {
        return 0;
    }
    if (count <= 56) {
        // The bytes that hold the bits (at most eight, all inside the buffer as take() checked), then the bits.
        const std::uint64_t end = m_pos + count;
        const auto first = static_cast<std::size_t>(m_pos >> 3);
        const auto last = static_cast<std::size_t>((end - 1) >> 3);
        std::uint64_t bytes = 0;
        for (std::size_t i = first; i <= last; ++i) {
            bytes = (bytes << 8) | m_data[i];
        }
        m_pos = end;
        const auto unused = static_cast<unsigned>(8 * (std::uint64_t{last} + 1) - end);
        return (bytes >> unused) & ((std::uint64_t{1} << count) - 1);
    }
    std::uint64_t value = 0;
    while (count >= 8) {
        value = (value << 8) | readByte();
        count -= 8;
    }
    while (count > 0) {
        value = (value << 1) | (readBit() ? 1u : 0u);
        --count;
    }
    return value;
}

std::uint8_t BitReader::readByte()
{
    if (!take(8)) {
        return 0;
    }
    const std::size_t index = static_cast<std::size_t>(m_pos >> 3);
    const unsigned shift = static_cast<unsigned>(m_pos & 7);
    m_pos += 8;
    if (shift == 0) {
        return m_data[index];
    }
    // take(8) guarantees that the byte after `index` exists when the position is unaligned.
    return static_cast<std::uint8_t>((m_data[index] << shift) | (m_data[index + 1] >> (8 - shift)));
}

bool BitReader::readBytes(std::uint8_t* target, std::size_t count)
{
    if (!take(static_cast<std::uint64_t>(count) * 8)) {
        return false;
    }
    if ((m_pos & 7) == 0) {
        if (count > 0) {
            std::memcpy(target, m_data + (m_pos >> 3), count);
        }
        m_pos += static_cast<std::uint64_t>(count) * 8;
        return true;
    }
    for (std::size_t i = 0; i < count; ++i) {
        target[i] = readByte();
    }
    return true;
}

std::int16_t BitReader::readRawShort()
{
    if (!take(16)) {
        return 0;
    }
    const unsigned low = readByte();
    const unsigned high = readByte();
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

std::uint16_t BitReader::readRawShortBigEndian()
{
    if (!take(16)) {
        return 0;
    }
    const unsigned high = readByte();
    const unsigned low = readByte();
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint32_t BitReader::readRawLong()
{
    if (!take(32)) {
        return 0;
    }
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(readByte()) << (8 * i);
    }
    return value;
}

std::uint64_t BitReader::readRawLongLong()
{
    if (!take(64)) {
        return 0;
    }
    const std::uint64_t low = readRawLong();
    const std::uint64_t high = readRawLong();
    return low | (high << 32);
}

double BitReader::readRawDouble()
{
    const std::uint64_t bits = readRawLongLong();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::int16_t BitReader::readBitShort()
{
    switch (read2Bits()) {
    case 0:
        return readRawShort();
    case 1:
        return static_cast<std::int16_t>(readByte());
    case 2:
        return 0;
    default:
        return 256;
    }
}

std::int32_t BitReader::readBitLong()
{
    switch (read2Bits()) {
    case 0:
        return static_cast<std::int32_t>(readRawLong());
    case 1:
        return static_cast<std::int32_t>(readByte());
    case 2:
        return 0;
    default:
        fail(); // code 3 is not a valid bit long
        return 0;
    }
}

std::uint64_t BitReader::readBitLongLong()
{
    const unsigned count = static_cast<unsigned>(readBitsRaw(3));
    std::uint64_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        value |= static_cast<std::uint64_t>(readByte()) << (8 * i);
    }
    return value;
}

double BitReader::readBitDouble()
{
    switch (read2Bits()) {
    case 0:
        return readRawDouble();
    case 1:
        return 1.0;
    case 2:
        return 0.0;
    default:
        fail(); // code 3 is not a valid bit double
        return 0.0;
    }
}

double BitReader::readDefaultDouble(double fallback)
{
    const unsigned code = read2Bits();
    if (code == 0) {
        return fallback;
    }
    if (code == 3) {
        return readRawDouble();
    }
    // Codes 1 and 2 replace bytes of the fallback's little-endian image: 1 the low four bytes; 2 bytes four and five,
    // then the low four.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &fallback, sizeof bits);
    if (code == 2) {
        const std::uint64_t middle = static_cast<std::uint16_t>(readRawShort());
        bits = (bits & ~(std::uint64_t{0xFFFF} << 32)) | (middle << 32);
    }
    const std::uint64_t low = readRawLong();
    bits = (bits & ~std::uint64_t{0xFFFFFFFF}) | low;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void BitReader::skipBitDoubles(unsigned count)
{
    for (unsigned i = 0; i < count && !m_failed; ++i) {
        switch (read2Bits()) {
        case 0:
            skipBits(64);
            break;
        case 3:
            fail();
            break;
        default:
            break;
        }
    }
}

std::uint64_t BitReader::readModularCharUnsigned()
{
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        const std::uint8_t byte = readByte();
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0 || m_failed) {
            return value;
        }
    }
    fail(); // more than ten groups cannot encode a 64-bit value
    return 0;
}

std::int64_t BitReader::readModularChar()
{
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 63; shift += 7) {
        const std::uint8_t byte = readByte();
        if (m_failed) {
            return 0;
        }
        if ((byte & 0x80) != 0) {
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            continue;
        }
        // Last group: bit 6 is the sign, bits 0-5 the payload.
        value |= static_cast<std::uint64_t>(byte & 0x3F) << shift;
        const auto magnitude = static_cast<std::int64_t>(value & 0x7FFFFFFFFFFFFFFFull);
        return (byte & 0x40) != 0 ? -magnitude : magnitude;
    }
    fail();
    return 0;
}

std::uint32_t BitReader::readModularShort()
{
    std::uint32_t value = 0;
    for (unsigned shift = 0; shift < 32; shift += 15) {
        const auto word = static_cast<std::uint16_t>(readRawShort());
        value |= static_cast<std::uint32_t>(word & 0x7FFF) << shift;
        if ((word & 0x8000) == 0 || m_failed) {
            return value;
        }
    }
    fail(); // a third group would exceed any object size
    return 0;
}

std::uint16_t BitReader::readObjectType()
{
    switch (read2Bits()) {
    case 0:
        return readByte();
    case 1:
        return static_cast<std::uint16_t>(readByte() + 0x1F0);
    default:
        return static_cast<std::uint16_t>(readRawShort());
    }
}

HandleRef BitReader::readHandle()
{
    const std::uint8_t first = readByte();
    HandleRef ref;
    ref.code = static_cast<std::uint8_t>(first >> 4);
    const unsigned count = first & 0x0F;
    if (count > 8) {
        fail();
        return {};
    }
    for (unsigned i = 0; i < count; ++i) {
        ref.value = (ref.value << 8) | readByte();
    }
    return ref;
}

std::string BitReader::readTextV(std::size_t maxLength)
{
    const auto length = static_cast<std::uint16_t>(readBitShort());
    if (m_failed || !take(static_cast<std::uint64_t>(length) * 8)) {
        return {};
    }
    const std::size_t kept = length < maxLength ? length : maxLength;
    std::string text(kept, '\0');
    readBytes(reinterpret_cast<std::uint8_t*>(text.data()), kept);
    skipBytes(length - kept);
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

std::string BitReader::readTextU(std::size_t maxLength)
{
    const auto length = static_cast<std::uint16_t>(readBitShort());
    if (m_failed || !take(static_cast<std::uint64_t>(length) * 16)) {
        return {};
    }
    const std::size_t kept = length < maxLength ? length : maxLength;
    const std::uint64_t end = m_pos + static_cast<std::uint64_t>(length) * 16;
    std::string text;
    text.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) {
        std::uint32_t unit = static_cast<std::uint16_t>(readRawShort());
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < kept) {
            // A surrogate pair: combine with the low half when it follows.
            const auto low = static_cast<std::uint16_t>(readRawShort());
            ++i;
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00u);
            } else {
                unit = 0xFFFD;
            }
        } else if (unit >= 0xD800 && unit < 0xE000) {
            unit = 0xFFFD;
        }
        appendUtf8(text, unit);
    }
    m_pos = end; // past the characters that were not kept
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

} // namespace dwg
