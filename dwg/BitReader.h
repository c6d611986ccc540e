// The one bounds-checked source of bits and bytes that every part of the reader reads through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace dwg {

// A handle reference as stored: code nibble and value (the value is not yet resolved against the
// reading object's handle, see resolveHandle).
struct HandleRef
{
    std::uint8_t code = 0;
    std::uint64_t value = 0;
};

// Handle codes 6, 8, 0xA and 0xC are relative to the handle of the object being read.
// Returns false for codes that cannot occur in a handle reference.
bool resolveHandle(HandleRef ref, std::uint64_t ownHandle, std::uint64_t& result);

// Reads a byte buffer as a bit stream, most significant bit of each byte first. A read past the end
// (or past a limit set with setEnd) yields zero and marks the reader failed; the failure is sticky, so
// callers read a whole group of fields and check failed() once.
class BitReader
{
public:
    BitReader() = default;
    explicit BitReader(std::span<const std::uint8_t> bytes);

    std::uint64_t position() const { return m_pos; } // in bits from the start of the buffer
    std::uint64_t end() const { return m_end; }      // in bits
    std::uint64_t remaining() const { return m_pos < m_end ? m_end - m_pos : 0; }
    std::size_t bytePosition() const { return static_cast<std::size_t>(m_pos >> 3); }
    bool failed() const { return m_failed; }
    std::uint64_t failPosition() const { return m_failPos; } // bit where the first failed read began

    void setPosition(std::uint64_t bit); // beyond the end: fails
    void setEnd(std::uint64_t bit);      // narrows the readable range (never widens past the buffer)
    void skipBits(std::uint64_t count);
    void skipBytes(std::uint64_t count) { skipBits(count * 8); }
    void alignToByte() { m_pos = (m_pos + 7) & ~std::uint64_t{7}; }
    void fail();

    // Raw values at the current (possibly unaligned) position.
    bool readBit();                            // B
    unsigned read2Bits();                      // BB
    unsigned read3Bits();                      // 3B
    std::uint64_t readBitsRaw(unsigned count); // up to 64 bits, first bit read is the most significant
    std::uint8_t readByte();                   // RC
    std::int16_t readRawShort();               // RS
    std::uint32_t readRawLong();               // RL
    std::uint64_t readRawLongLong();           // RLL
    double readRawDouble();                    // RD
    std::uint16_t readRawShortBigEndian();
    bool readBytes(std::uint8_t* target, std::size_t count);

    // Compressed numbers.
    std::int16_t readBitShort();               // BS
    std::int32_t readBitLong();                // BL
    std::uint64_t readBitLongLong();           // BLL
    double readBitDouble();                    // BD
    double readDefaultDouble(double fallback); // DD: a double stored as its difference from `fallback`
    std::uint64_t readModularCharUnsigned();   // UMC
    std::int64_t readModularChar();            // MC (signed)
    std::uint32_t readModularShort();          // MS
    std::uint16_t readObjectType();            // OT (R2010+)
    HandleRef readHandle();                    // H
    void skipHandle() { readHandle(); }

    // Strings: TV keeps the bytes of the drawing codepage; TU converts UTF-16 to UTF-8. With a
    // `maxLength`, only that many leading characters are kept (the rest is skipped), which bounds the
    // work for fields of which only a prefix matters.
    std::string readTextV(std::size_t maxLength = SIZE_MAX);
    std::string readTextU(std::size_t maxLength = SIZE_MAX);
    void skipTextV() { skipBytes(static_cast<std::uint16_t>(readBitShort())); }
    void skipTextU() { skipBytes(2ull * static_cast<std::uint16_t>(readBitShort())); }

    // Skips a group of doubles without converting them.
    void skipBitDoubles(unsigned count);
    void skipRawDoubles(unsigned count) { skipBits(64ull * count); }

private:
    bool take(std::uint64_t bits); // checks that `bits` are readable at m_pos; fails otherwise

    const std::uint8_t* m_data = nullptr;
    std::uint64_t m_size = 0; // bytes
    std::uint64_t m_pos = 0;
    std::uint64_t m_end = 0;
    std::uint64_t m_failPos = 0;
    bool m_failed = false;
};

} // namespace dwg
