// LZ77 decompression for the 2007 format: permuted literal runs and four kinds of back-reference.
#include "dwg/R2007Decompressor.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

namespace dwg {

namespace {

// Literal runs are stored with their bytes reordered. A run shorter than 32 bytes is written in the
// order given by its row below: each row lists source index ranges (inclusive) in output order.
struct IndexRange
{
    std::uint8_t first = 0;
    std::uint8_t last = 0;
};
using RangeRow = std::array<IndexRange, 7>;

constexpr std::array<RangeRow, 32> kRunRanges = {{
    {},
    {{{0, 0}}},
    {{{1, 1}, {0, 0}}},
    {{{2, 2}, {1, 1}, {0, 0}}},
    {{{0, 3}}},
    {{{4, 4}, {0, 3}}},
    {{{5, 5}, {1, 4}, {0, 0}}},
    {{{6, 6}, {5, 5}, {1, 4}, {0, 0}}},
    {{{0, 7}}},
    {{{8, 8}, {0, 7}}},
    {{{9, 9}, {1, 8}, {0, 0}}},
    {{{10, 10}, {9, 9}, {1, 8}, {0, 0}}},
    {{{8, 11}, {0, 7}}},
    {{{12, 12}, {8, 11}, {0, 7}}},
    {{{13, 13}, {9, 12}, {1, 8}, {0, 0}}},
    {{{14, 14}, {13, 13}, {9, 12}, {1, 8}, {0, 0}}},
    {{{8, 15}, {0, 7}}},
    {{{9, 16}, {8, 8}, {0, 7}}},
    {{{17, 17}, {9, 16}, {1, 8}, {0, 0}}},
    {{{18, 18}, {17, 17}, {16, 16}, {8, 15}, {0, 7}}},
    {{{16, 19}, {8, 15}, {0, 7}}},
    {{{20, 20}, {16, 19}, {8, 15}, {0, 7}}},
    {{{21, 21}, {20, 20}, {16, 19}, {8, 15}, {0, 7}}},
    {{{22, 22}, {21, 21}, {20, 20}, {16, 19}, {8, 15}, {0, 7}}},
    {{{16, 23}, {8, 15}, {0, 7}}},
    {{{17, 24}, {16, 16}, {8, 15}, {0, 7}}},
    {{{25, 25}, {17, 24}, {16, 16}, {8, 15}, {0, 7}}},
    {{{26, 26}, {25, 25}, {17, 24}, {16, 16}, {8, 15}, {0, 7}}},
    {{{24, 27}, {16, 23}, {8, 15}, {0, 7}}},
    {{{28, 28}, {24, 27}, {16, 23}, {8, 15}, {0, 7}}},
    {{{29, 29}, {28, 28}, {24, 27}, {16, 23}, {8, 15}, {0, 7}}},
    {{{30, 30}, {26, 29}, {18, 25}, {10, 17}, {2, 9}, {1, 1}, {0, 0}}},
}};

using RunOrder = std::array<std::array<std::uint8_t, 32>, 32>;

// Expands the ranges into one index list per run length; unused trailing ranges are ignored because
// expansion stops once the row holds `length` indices.
constexpr RunOrder expandRunOrders()
{
    RunOrder orders{};
    for (std::size_t length = 1; length < 32; ++length) {
        std::size_t count = 0;
        for (const IndexRange& range : kRunRanges[length])
            for (std::size_t i = range.first; i <= range.last && count < length; ++i)
                orders[length][count++] = static_cast<std::uint8_t>(i);
    }
    return orders;
}

// Every row must be a permutation of 0..length-1, or literal bytes would be lost or duplicated.
constexpr bool runOrdersArePermutations(const RunOrder& orders)
{
    for (std::size_t length = 1; length < 32; ++length) {
        std::array<bool, 32> seen{};
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint8_t index = orders[length][i];
            if (index >= length || seen[index])
                return false;
            seen[index] = true;
        }
    }
    return true;
}

constexpr RunOrder kRunOrder = expandRunOrders();
static_assert(runOrdersArePermutations(kRunOrder));

class Decoder
{
public:
    Decoder(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) : m_in(in), m_out(out) {}

    Expected<std::size_t> run();

private:
    bool fail(ErrorCode code, const char* what)
    {
        if (!m_fault)
            m_fault = Fault{code, m_pos, std::string("compressed data: ") + what};
        return false;
    }
    bool atEnd() const { return m_pos >= m_in.size(); }
    bool next(std::uint8_t& value)
    {
        if (atEnd())
            return fail(ErrorCode::Truncated, "stream ends inside an instruction");
        value = m_in[m_pos++];
        return true;
    }
    bool literalLength(std::uint8_t op, std::size_t& length);
    bool copyLiteral(std::size_t length);
    bool decodeMatch(std::uint8_t& op, std::size_t& length, std::size_t& offset);
    bool copyMatch(std::size_t offset, std::size_t length);

    std::span<const std::uint8_t> m_in;
    std::span<std::uint8_t> m_out;
    std::size_t m_pos = 0;
    std::size_t m_written = 0;
    std::optional<Fault> m_fault;
};

// A long literal run: op + 8, extended by one byte and then by 16-bit words while they are saturated.
bool Decoder::literalLength(std::uint8_t op, std::size_t& length)
{
    length = std::size_t{op} + 8;
    if (length != 0x17)
        return true;
    std::uint8_t extra = 0;
    if (!next(extra))
        return false;
    length += extra;
    if (extra != 0xFF)
        return true;
    std::size_t word = 0;
    do {
        std::uint8_t low = 0, high = 0;
        if (!next(low) || !next(high))
            return false;
        word = std::size_t{low} | (std::size_t{high} << 8);
        length += word;
        // Each word consumes input, so the sum stays below 2^15 times the input size: no overflow.
    } while (word == 0xFFFF);
    return true;
}

bool Decoder::copyLiteral(std::size_t length)
{
    if (length > m_in.size() - m_pos)
        return fail(ErrorCode::Truncated, "literal run past the end of the stream");
    if (length > m_out.size() - m_written)
        return fail(ErrorCode::Corrupt, "literal run past the end of the output");
    const std::uint8_t* src = m_in.data() + m_pos;
    std::uint8_t* dst = m_out.data() + m_written;
    m_pos += length;
    m_written += length;
    // Full 32-byte blocks are stored as their four 8-byte groups in reverse order.
    for (; length >= 32; length -= 32, src += 32, dst += 32)
        for (std::size_t group = 0; group < 4; ++group)
            std::memcpy(dst + 8 * group, src + 8 * (3 - group), 8);
    const auto& order = kRunOrder[length];
    for (std::size_t i = 0; i < length; ++i)
        dst[i] = src[order[i]];
    return true;
}

// Decodes the back-reference that starts with `op`; some forms replace `op` with a later byte whose low
// three bits give the length of the literal run that follows.
bool Decoder::decodeMatch(std::uint8_t& op, std::size_t& length, std::size_t& offset)
{
    std::uint8_t b = 0, c = 0;
    switch (op >> 4) {
    case 0:
        length = std::size_t{op & 0x0Fu} + 0x13;
        if (!next(b) || !next(op))
            return false;
        length += (std::size_t{op} >> 3) & 0x10;
        offset = (std::size_t{op & 0x78u} << 5) + b + 1;
        return true;
    case 1:
        length = std::size_t{op & 0x0Fu} + 3;
        if (!next(b) || !next(op))
            return false;
        offset = (std::size_t{op & 0xF8u} << 5) + b + 1;
        return true;
    case 2:
        if (!next(b) || !next(c))
            return false;
        offset = std::size_t{b} | (std::size_t{c} << 8);
        length = op & 7u;
        if ((op & 8) == 0) {
            if (!next(op))
                return false;
            length += op & 0xF8u;
        } else {
            offset += 1;
            if (!next(b) || !next(op))
                return false;
            length += (std::size_t{b} << 3) + (std::size_t{op & 0xF8u} << 8) + 0x100;
        }
        return true;
    default:
        length = op >> 4;
        offset = op & 0x0Fu;
        if (!next(op))
            return false;
        offset += (std::size_t{op & 0xF8u} << 1) + 1;
        return true;
    }
}

bool Decoder::copyMatch(std::size_t offset, std::size_t length)
{
    if (offset == 0 || offset > m_written)
        return fail(ErrorCode::Corrupt, "back-reference before the start of the output");
    if (length > m_out.size() - m_written)
        return fail(ErrorCode::Corrupt, "back-reference past the end of the output");
    std::uint8_t* dst = m_out.data() + m_written;
    const std::uint8_t* src = dst - offset;
    if (offset >= length) {
        std::memcpy(dst, src, length);
    } else {
        // Overlapping copy repeats the last `offset` bytes: it must run forwards byte by byte.
        for (std::size_t i = 0; i < length; ++i)
            dst[i] = src[i];
    }
    m_written += length;
    return true;
}

Expected<std::size_t> Decoder::run()
{
    if (m_in.empty())
        return std::size_t{0};
    std::uint8_t op = m_in[m_pos++];
    std::size_t literal = 0;
    // A stream may open with a 0x2? byte and two more bytes before a short literal run.
    if ((op & 0xF0) == 0x20) {
        if (m_in.size() - m_pos < 3) {
            fail(ErrorCode::Truncated, "stream ends inside its opening");
            return *m_fault;
        }
        m_pos += 3;
        literal = m_in[m_pos - 1] & 7u;
    }
    bool ok = true;
    while (ok && !atEnd()) {
        if (literal == 0)
            ok = literalLength(op, literal);
        ok = ok && copyLiteral(literal);
        if (!ok || atEnd())
            break;
        ok = next(op);
        // Every pass consumes input, so the loop ends with the stream.
        while (ok) {
            std::size_t length = 0, offset = 0;
            ok = decodeMatch(op, length, offset) && copyMatch(offset, length);
            if (!ok)
                break;
            literal = op & 7u;
            if (literal != 0 || atEnd())
                break;
            ok = next(op);
            if (ok && (op >> 4) == 0)
                break; // a literal-length code follows
            if ((op >> 4) == 0x0F)
                op &= 0x0F;
        }
    }
    if (m_fault)
        return *m_fault;
    return m_written;
}

} // namespace

Expected<std::size_t> decompressR2007(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    return Decoder(in, out).run();
}

} // namespace dwg
