// Stable 64-bit hashing and the rounding of coordinates that every fingerprint of the similarity check uses.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace darv::similar {

// Coordinates are rounded to this grid (drawing units) before they are hashed: far below any detail a
// person draws, far above the last bits that a move, a save as DXF or a save in another version changes.
inline constexpr double kLengthGrid = 1e-6;
inline constexpr double kAngleGrid = 1e-9; // radians

// A value on the grid; values beyond any real drawing (or not numbers) share one bucket each side.
inline std::int64_t onGrid(double value, double grid)
{
    constexpr double limit = 4e18;
    if (std::isnan(value))
        return 0;
    const double scaled = std::round(value / grid);
    if (scaled >= limit)
        return static_cast<std::int64_t>(limit);
    if (scaled <= -limit)
        return -static_cast<std::int64_t>(limit);
    return static_cast<std::int64_t>(scaled);
}

inline std::int64_t lengthKey(double value)
{
    return onGrid(value, kLengthGrid);
}

// An angle taken modulo a full turn, so 0 and 2 pi (and -pi/2 and 3 pi/2) fall together.
inline std::int64_t angleKey(double radians)
{
    constexpr double turn = 6.283185307179586476925;
    if (!std::isfinite(radians))
        return 0;
    double reduced = std::fmod(radians, turn);
    if (reduced < 0)
        reduced += turn;
    const std::int64_t key = onGrid(reduced, kAngleGrid);
    return key == onGrid(turn, kAngleGrid) ? 0 : key;
}

// FNV-1a over the bytes fed in, with a final mix; the same input gives the same value on every machine.
class Hasher
{
public:
    explicit Hasher(std::uint64_t seed = 0) { add(seed); }

    Hasher& add(std::uint64_t value)
    {
        for (int shift = 0; shift < 64; shift += 8)
            addByte(static_cast<std::uint8_t>(value >> shift));
        return *this;
    }
    Hasher& add(std::int64_t value) { return add(static_cast<std::uint64_t>(value)); }
    Hasher& add(std::string_view text)
    {
        add(static_cast<std::uint64_t>(text.size()));
        for (const char c : text)
            addByte(static_cast<std::uint8_t>(c));
        return *this;
    }

    std::uint64_t value() const
    {
        std::uint64_t z = m_state + 0x9E3779B97F4A7C15ull;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    void addByte(std::uint8_t byte)
    {
        m_state ^= byte;
        m_state *= 0x100000001B3ull;
    }

    std::uint64_t m_state = 0xCBF29CE484222325ull;
};

// A checksum of stored bytes, eight at a time (far faster than Hasher over long records): tells a record damaged
// in the store from the one that was written.
inline std::uint64_t bytesSum(std::string_view bytes, std::uint64_t seed = 0)
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (seed * 0xFF51AFD7ED558CCDull) ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    std::uint64_t tail = 0;
    if (i < bytes.size())
        std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    h = (h ^ tail) * 0x100000001B3ull;
    return Hasher(h).value();
}

} // namespace darv::similar
