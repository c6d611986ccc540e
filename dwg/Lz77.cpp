// The LZ77 variant that compresses the pages of R2004-family drawings.
#include "dwg/Lz77.h"

#include "dwg/BitReader.h"

#include <cstring>

namespace dwg {

namespace {

class Decompressor
{
public:
    Decompressor(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) : m_in(in), m_out(out) {}

    Expected<std::size_t> run();

private:
    // A count stored as a nibble or, when that is zero, as base + a run of extension bytes.
    std::uint64_t longCount(unsigned nibble, std::uint64_t base);
    std::uint64_t literalLength(unsigned op) { return longCount(op & 0x0F, 0x0F) + 3; }
    bool copyLiterals(std::uint64_t count);
    bool copyMatch(std::uint64_t count, std::uint64_t offset);
    Fault corrupt(const char* what) const
    {
        return Fault{ErrorCode::Corrupt, m_in.bytePosition(), std::string("compressed page: ") + what};
    }

    BitReader m_in;
    std::span<std::uint8_t> m_out;
    std::size_t m_written = 0;
};

std::uint64_t Decompressor::longCount(unsigned nibble, std::uint64_t base)
{
    if (nibble != 0) {
        return nibble;
    }
    std::uint64_t count = base;
    // Every round consumes one input byte, so the loop ends at the end of the input at the latest.
    while (!m_in.failed()) {
        const std::uint8_t byte = m_in.readByte();
        if (byte != 0) {
            return count + byte;
        }
        count += 0xFF;
    }
    return 0;
}

bool Decompressor::copyLiterals(std::uint64_t count)
{
    if (count > m_out.size() - m_written) {
        return false;
    }
    if (!m_in.readBytes(m_out.data() + m_written, static_cast<std::size_t>(count))) {
        return false;
    }
    m_written += static_cast<std::size_t>(count);
    return true;
}

bool Decompressor::copyMatch(std::uint64_t count, std::uint64_t offset)
{
    if (offset == 0 || offset > m_written || count > m_out.size() - m_written) {
        return false;
    }
    std::uint8_t* target = m_out.data() + m_written;
    const std::uint8_t* source = target - offset;
    const auto n = static_cast<std::size_t>(count);
    if (offset >= count) {
        std::memcpy(target, source, n);
    } else {
        // The source overlaps the bytes being written: a run, copied byte by byte.
        for (std::size_t i = 0; i < n; ++i) {
            target[i] = source[i];
        }
    }
    m_written += n;
    return true;
}

Expected<std::size_t> Decompressor::run()
{
    unsigned op = m_in.readByte();
    if (op <= 0x0F) {
        if (!copyLiterals(literalLength(op))) {
            return corrupt("literal run");
        }
        op = m_in.readByte();
    } else if (op > 0x11) {
        // A leading byte above 0x11 announces op - 17 literals.
        if (!copyLiterals(op - 17)) {
            return corrupt("literal run");
        }
        op = m_in.readByte();
    }
    // Every round consumes at least one input byte, so the loop ends with the input.
    while (!m_in.failed()) {
        if (op == 0x11) {
            return m_written;
        }
        std::uint64_t count = 0;
        std::uint64_t offset = 0;
        unsigned literals = 0;
        if (op >= 0x40) {
            count = (op >> 4) - 1;
            const unsigned b = m_in.readByte();
            offset = ((b << 2) | ((op >> 2) & 3)) + 1;
            literals = op & 3;
        } else if (op >= 0x20) {
            count = longCount(op & 0x1F, 0x1F) + 2;
            const unsigned b1 = m_in.readByte();
            const unsigned b2 = m_in.readByte();
            offset = ((b2 << 6) | (b1 >> 2)) + 1;
            literals = b1 & 3;
        } else if (op >= 0x10) {
            count = longCount(op & 7, 7) + 2;
            const unsigned b1 = m_in.readByte();
            const unsigned b2 = m_in.readByte();
            offset = ((op & 8u) << 11) + ((b2 << 6) | (b1 >> 2)) + 0x4000;
            literals = b1 & 3;
        } else {
            return corrupt("literal run where a copy was expected");
        }
        if (m_in.failed()) {
            break;
        }
        if (!copyMatch(count, offset)) {
            return corrupt("back reference");
        }
        if (literals > 0) {
            if (!copyLiterals(literals)) {
                return corrupt("literal run");
            }
            op = m_in.readByte();
        } else {
            op = m_in.readByte();
            if (op <= 0x0F) {
                if (!copyLiterals(literalLength(op))) {
                    return corrupt("literal run");
                }
                op = m_in.readByte();
            }
        }
    }
    return Fault{ErrorCode::Truncated, m_in.bytePosition(), "compressed page: stream ends without end mark"};
}

} // namespace

Expected<std::size_t> decompressLz77(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    return Decompressor(in, out).run();
}

} // namespace dwg
