// Bounds-checked little-endian reading of the 2007 container's fixed-size fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dwg {

// The only place where the 2007 container reads raw fields: every read is checked against the buffer,
// and a failed read leaves the position unchanged so the caller can report where the data ran out.
class R2007Cursor
{
public:
    explicit R2007Cursor(std::span<const std::uint8_t> data, std::size_t pos = 0) : m_data(data), m_pos(pos) {}

    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_pos < m_data.size() ? m_data.size() - m_pos : 0; }

    bool u64(std::uint64_t& value)
    {
        if (remaining() < 8)
            return false;
        value = 0;
        for (std::size_t i = 0; i < 8; ++i)
            value |= std::uint64_t{m_data[m_pos + i]} << (8 * i);
        m_pos += 8;
        return true;
    }

    bool u32(std::uint32_t& value)
    {
        if (remaining() < 4)
            return false;
        value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value |= std::uint32_t{m_data[m_pos + i]} << (8 * i);
        m_pos += 4;
        return true;
    }

    bool bytes(std::size_t count, std::span<const std::uint8_t>& out)
    {
        if (remaining() < count)
            return false;
        out = m_data.subspan(m_pos, count);
        m_pos += count;
        return true;
    }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

} // namespace dwg
