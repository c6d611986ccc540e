// R13/R14 viewports: the body holds the viewport's place and size only; the view is kept in the viewport's extended
// data, a group of the application ACAD that starts with the string "MVIEW".
#include "dwg/GeometryReaders.h"

#include <array>
#include <cstring>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace dwg {

namespace {

// The group's reals (1040) in their order: twist, view height, view centre x and y, ...
constexpr std::size_t viewHeightAt = 1;
constexpr std::size_t viewCenterXAt = 2;
constexpr std::size_t viewCenterYAt = 3;

// The items of one group of extended data, each a code (group - 1000) and its value, as R13/R14 store them.
class ItemCursor
{
public:
    explicit ItemCursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_at >= m_bytes.size(); }
    bool failed() const { return m_failed; }
    std::uint8_t byte() { return take(1) ? m_bytes[m_at - 1] : 0; }
    std::span<const std::uint8_t> bytes(std::size_t count)
    {
        return take(count) ? m_bytes.subspan(m_at - count, count) : std::span<const std::uint8_t>();
    }
    std::uint64_t littleEndian(std::size_t count)
    {
        std::uint64_t value = 0;
        const auto part = bytes(count);
        for (std::size_t i = 0; i < part.size(); ++i) {
            value |= std::uint64_t{part[i]} << (8 * i);
        }
        return value;
    }
    double real()
    {
        const std::uint64_t bits = littleEndian(8);
        double value = 0;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    bool take(std::size_t count)
    {
        if (m_failed || count > m_bytes.size() - m_at) {
            m_failed = true;
            return false;
        }
        m_at += count;
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_failed = false;
};

// One group: false when it is no viewport's view or is damaged.
bool readViewGroup(std::span<const std::uint8_t> group, ViewportContents& viewport,
                   std::vector<std::uint64_t>& frozenLayers)
{
    ItemCursor in(group);
    if (in.byte() != 0) {
        return false;
    }
    const std::uint8_t length = in.byte();
    in.bytes(2); // code page
    const auto name = in.bytes(length);
    if (in.failed() || std::string_view(reinterpret_cast<const char*>(name.data()), name.size()) != "MVIEW") {
        return false;
    }
    std::array<double, viewCenterYAt + 1> reals{};
    std::size_t realCount = 0;
    int depth = 0;
    std::vector<std::uint64_t> layers;
    while (!in.atEnd() && !in.failed()) {
        const std::uint8_t code = in.byte();
        switch (code) {
        case 0: { // string
            const std::uint8_t size = in.byte();
            in.bytes(2u + size);
            break;
        }
        case 2: // '{' or '}'
            depth += in.byte() == 0 ? 1 : -1;
            break;
        case 3: // a layer by its handle, most significant byte first; inside the nested group, a frozen one
        {
            const auto handle = in.bytes(8);
            std::uint64_t value = 0;
            for (const std::uint8_t b : handle) {
                value = value << 8 | b;
            }
            if (depth == 2) {
                layers.push_back(value);
            }
            break;
        }
        case 4: // binary chunk
            in.bytes(in.byte());
            break;
        case 5: // entity handle
            in.bytes(8);
            break;
        case 10:
        case 11:
        case 12:
        case 13:
            in.bytes(24);
            break;
        case 40:
        case 41:
        case 42: {
            const double value = in.real();
            if (depth == 1 && realCount < reals.size()) {
                reals[realCount] = value;
            }
            realCount += depth == 1 ? 1 : 0;
            break;
        }
        case 70:
            in.bytes(2);
            break;
        case 71:
            in.bytes(4);
            break;
        default:
            return false; // no such item: damage
        }
    }
    if (in.failed() || depth != 0 || realCount < reals.size()) {
        return false;
    }
    viewport.viewHeight = reals[viewHeightAt];
    viewport.viewCenter = Point3{reals[viewCenterXAt], reals[viewCenterYAt], 0};
    frozenLayers = std::move(layers);
    return true;
}

} // namespace

bool readViewportView(BitReader extendedData, ViewportContents& viewport, std::vector<std::uint64_t>& frozenLayers)
{
    // Each group takes at least three bytes of the object: the groups end with it at the latest.
    std::vector<std::uint8_t> group;
    while (!extendedData.failed()) {
        const auto size = static_cast<std::uint16_t>(extendedData.readBitShort());
        if (size == 0 || size > extendedData.remaining() / 8) {
            return false;
        }
        extendedData.skipHandle(); // the application
        group.resize(size);
        if (!extendedData.readBytes(group.data(), size)) {
            return false;
        }
        if (readViewGroup(group, viewport, frozenLayers)) {
            return true;
        }
    }
    return false;
}

} // namespace dwg
