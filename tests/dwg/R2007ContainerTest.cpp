// Tests of the 2007 container reader: the corpus drawings, and small built files with one fault each.
#include "dwg/R2007Container.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace dwg {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readCorpusFile(const std::string& name)
{
    std::ifstream in(std::string(DARV_CORPUS_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

constexpr std::array<std::uint8_t, 16> kHeaderSentinel = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                                          0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
constexpr std::array<std::uint8_t, 16> kHeaderEnd = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                                     0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
constexpr std::array<std::uint8_t, 16> kClassesSentinel = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                                           0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
constexpr std::array<std::uint8_t, 16> kClassesEnd = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                                      0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};

bool startsWith(std::span<const std::uint8_t> data, std::span<const std::uint8_t> prefix, std::size_t at = 0)
{
    return data.size() >= at + prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
}

std::uint32_t le32(std::span<const std::uint8_t> data, std::size_t at)
{
    return data[at] | (std::uint32_t{data[at + 1]} << 8) | (std::uint32_t{data[at + 2]} << 16) |
           (std::uint32_t{data[at + 3]} << 24);
}

// CRC-16 with the reflected polynomial 0xA001 and the drawing format's seed.
std::uint16_t crc16(std::span<const std::uint8_t> data)
{
    std::uint16_t crc = 0xC0C1;
    for (std::uint8_t byte : data) {
        crc = static_cast<std::uint16_t>(crc ^ byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
    return crc;
}

// A framed section (sentinel, RL size, data, RS CRC, end sentinel) must end in its end sentinel.
void expectFramed(std::span<const std::uint8_t> section, std::span<const std::uint8_t> start,
                  std::span<const std::uint8_t> end)
{
    ASSERT_TRUE(startsWith(section, start));
    const std::size_t size = le32(section, 16);
    EXPECT_TRUE(startsWith(section, end, 16 + 4 + size + 2)) << "data size " << size;
}

struct MapEntry
{
    std::uint64_t handle;
    std::int64_t offset;
};

// A small object-map walk for checking the container's output: big-endian page sizes, unsigned
// handle deltas, signed offset deltas, a CRC per page.
std::vector<MapEntry> parseObjectMap(std::span<const std::uint8_t> map)
{
    std::vector<MapEntry> entries;
    std::size_t pos = 0;
    std::uint64_t handle = 0;
    std::int64_t offset = 0;
    while (pos + 2 <= map.size()) {
        const std::size_t pageSize = (std::size_t{map[pos]} << 8) | map[pos + 1];
        if (pageSize <= 2 || pos + pageSize + 2 > map.size())
            break;
        const auto page = map.subspan(pos, pageSize);
        const std::uint16_t storedCrc =
            static_cast<std::uint16_t>((map[pos + pageSize] << 8) | map[pos + pageSize + 1]);
        EXPECT_EQ(crc16(page), storedCrc) << "object map page at " << pos;
        std::size_t at = 2;
        handle = 0;
        offset = 0;
        while (at < pageSize) {
            std::uint64_t delta = 0;
            for (int shift = 0; at < pageSize; shift += 7) {
                const std::uint8_t b = page[at++];
                delta |= std::uint64_t{b & 0x7Fu} << shift;
                if ((b & 0x80) == 0)
                    break;
            }
            std::int64_t move = 0;
            for (int shift = 0; at < pageSize; shift += 7) {
                const std::uint8_t b = page[at++];
                if ((b & 0x80) != 0) {
                    move |= std::int64_t{b & 0x7F} << shift;
                    continue;
                }
                move |= std::int64_t{b & 0x3F} << shift;
                if ((b & 0x40) != 0)
                    move = -move;
                break;
            }
            handle += delta;
            offset += move;
            entries.push_back({handle, offset});
        }
        pos += pageSize + 2;
    }
    return entries;
}

struct CorpusCase
{
    const char* file;
    std::size_t objects; // entries in the object map; 0 = not known in advance
};

class R2007Corpus : public testing::TestWithParam<CorpusCase>
{
protected:
    void SetUp() override
    {
        m_file = readCorpusFile(GetParam().file);
        if (m_file.empty())
            GTEST_SKIP() << "corpus file " << GetParam().file << " not found under " << DARV_CORPUS_DIR;
    }
    Bytes m_file;
};

TEST_P(R2007Corpus, YieldsTheFourSections)
{
    const auto sections = readR2007Sections(m_file);
    ASSERT_TRUE(sections.ok()) << sections.fault().detail << " at " << sections.fault().offset;
    expectFramed(sections->header, kHeaderSentinel, kHeaderEnd);
    expectFramed(sections->classes, kClassesSentinel, kClassesEnd);
    ASSERT_GE(sections->objects.size(), 4u);
    EXPECT_EQ(le32(sections->objects, 0), 0x0DCAu);
    EXPECT_FALSE(sections->handles.empty());
}

TEST_P(R2007Corpus, ObjectMapPointsAtIntactObjects)
{
    const auto sections = readR2007Sections(m_file);
    ASSERT_TRUE(sections.ok()) << sections.fault().detail;
    const auto map = parseObjectMap(sections->handles);
    ASSERT_FALSE(map.empty());
    if (GetParam().objects != 0) {
        EXPECT_EQ(map.size(), GetParam().objects);
    }
    const auto objects = sections->objects;
    std::uint64_t previous = 0;
    for (const MapEntry& entry : map) {
        EXPECT_GT(entry.handle, previous);
        previous = entry.handle;
        ASSERT_GE(entry.offset, 4);
        const auto at = static_cast<std::size_t>(entry.offset);
        ASSERT_LT(at + 2, objects.size()) << "handle " << entry.handle;
        // Each object: MS size, that many bytes, CRC-16 over both, stored little-endian.
        std::size_t size = 0, pos = at;
        for (int shift = 0;; shift += 15) {
            const std::size_t word = objects[pos] | (std::size_t{objects[pos + 1]} << 8);
            pos += 2;
            size |= (word & 0x7FFF) << shift;
            if ((word & 0x8000) == 0)
                break;
        }
        ASSERT_LE(pos + size + 2, objects.size()) << "handle " << entry.handle;
        const std::uint16_t stored = static_cast<std::uint16_t>(objects[pos + size] | (objects[pos + size + 1] << 8));
        EXPECT_EQ(crc16(objects.subspan(at, pos - at + size)), stored) << "handle " << std::hex << entry.handle;
    }
}

// Cut-off copies must end in a fault or, when only unused trailing pages are cut, in sections;
// never in a crash or an out-of-bounds read (the sanitizer build checks the latter).
TEST_P(R2007Corpus, TruncationSweepNeverCrashes)
{
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < 0x500; cut += 3)
        cuts.push_back(cut);
    for (std::size_t i = 1; i < 400; ++i)
        cuts.push_back(m_file.size() * i / 400);
    for (std::size_t back = 1; back < 0x1000; back += 61)
        cuts.push_back(m_file.size() - back);
    for (std::size_t cut : cuts) {
        const auto sections = readR2007Sections(std::span(m_file).first(cut));
        if (cut < 0x480) {
            ASSERT_FALSE(sections.ok()) << "cut at " << cut;
        }
        if (!sections.ok()) {
            EXPECT_FALSE(sections.fault().detail.empty());
            EXPECT_NE(sections.fault().code, ErrorCode::Encrypted);
        }
    }
}

TEST_P(R2007Corpus, BitFlipsNeverCrash)
{
    std::mt19937 random(21);
    int faults = 0;
    // Half of the flips hit the header, page map and early pages, where every byte matters.
    for (int round = 0; round < 300; ++round) {
        Bytes copy = m_file;
        const std::size_t span = round % 2 == 0 ? std::min<std::size_t>(copy.size(), 0x2000) : copy.size();
        const std::size_t at = random() % span;
        copy[at] = static_cast<std::uint8_t>(copy[at] ^ (1u << (random() % 8)));
        const auto sections = readR2007Sections(copy);
        if (!sections.ok()) {
            ++faults;
            EXPECT_FALSE(sections.fault().detail.empty());
        } else {
            for (const auto& part : {sections->header, sections->classes, sections->handles, sections->objects})
                EXPECT_NE(part.data(), nullptr);
        }
    }
    EXPECT_GT(faults, 0);
}

INSTANTIATE_TEST_SUITE_P(Drawings, R2007Corpus,
                         testing::Values(CorpusCase{"sample_AC1021.dwg", 925}, CorpusCase{"example_2007.dwg", 0}),
                         [](const testing::TestParamInfo<CorpusCase>& param) {
                             return std::string(param.param.file).substr(0, std::string(param.param.file).find('.'));
                         });

} // namespace
} // namespace dwg
