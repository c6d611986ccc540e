// Damaged and foreign input: always an error value or a result, never a crash or a hang.
#include "drawing/Drawing.h"
#include "dwg/ObjectMap.h"
#include "dwg/R13Container.h"

#include "CorpusFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace dwg {
namespace {

using Bytes = std::vector<std::uint8_t>;
using darv::test::corpusDir;
using darv::test::readFileBytes;

Bytes withVersion(const char* version, std::size_t size)
{
    Bytes bytes(size, 0);
    std::copy(version, version + 6, bytes.begin());
    return bytes;
}

// A read of damaged input is acceptable when it ends in an error with a text, or in a result whose
// entities are in strictly ascending handle order.
void expectSoundOutcome(const ReadResult& result, const std::string& context)
{
    if (!result.ok()) {
        EXPECT_NE(result.error.code, ErrorCode::IoError) << context;
        EXPECT_FALSE(describe(result.error).empty()) << context;
        return;
    }
    const auto& entities = result.drawing->entities;
    const bool ascending = std::adjacent_find(entities.begin(), entities.end(), [](const Entity& a, const Entity& b) {
                               return a.handle >= b.handle;
                           }) == entities.end();
    EXPECT_TRUE(ascending) << context;
}

// Damage that the read does not refuse is told in warnings, or did not touch what the reader uses: never a different
// drawing without a word. Returns whether it was told.
bool expectToldOrIntact(const ReadResult& result, const ReadResult& intact, const std::string& context)
{
    expectSoundOutcome(result, context);
    if (!result.ok() || !result.drawing->warnings.empty()) {
        return true;
    }
    const auto same = [](const Entity& x, const Entity& y) {
        return x.handle == y.handle && x.className == y.className && x.layer == y.layer && x.space == y.space;
    };
    const auto& entities = result.drawing->entities;
    const auto& expected = intact.drawing->entities;
    EXPECT_TRUE(std::equal(entities.begin(), entities.end(), expected.begin(), expected.end(), same))
        << context << ": " << entities.size() << " entities instead of " << expected.size() << ", no warning";
    return false;
}

TEST(BadInput, EmptyFileIsNotADrawing)
{
    const ReadResult result = readDrawing({});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error.code, ErrorCode::NotDwg);
}

TEST(BadInput, OtherFileKindsAreNotDrawings)
{
    const Bytes zip{'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0};
    EXPECT_EQ(readDrawing(zip).error.code, ErrorCode::NotDwg);
    const Bytes text{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    EXPECT_EQ(readDrawing(text).error.code, ErrorCode::NotDwg);
}

TEST(BadInput, OlderAndUnknownVersionsAreNamed)
{
    for (const char* version : {"AC1009", "AC1006", "AC1004", "AC2.10", "AC1040"}) {
        const ReadResult result = readDrawing(withVersion(version, 0x400));
        ASSERT_FALSE(result.ok()) << version;
        EXPECT_EQ(result.error.code, ErrorCode::UnsupportedVersion) << version;
        EXPECT_EQ(result.error.detail, version);
        EXPECT_NE(describe(result.error).find(version), std::string::npos);
    }
}

TEST(BadInput, VersionStringOnly)
{
    for (const char* version : {"AC1012", "AC1014", "AC1015", "AC1018", "AC1021", "AC1024", "AC1027", "AC1032"}) {
        const ReadResult result = readDrawing(withVersion(version, 6));
        ASSERT_FALSE(result.ok()) << version;
        EXPECT_EQ(result.error.code, ErrorCode::Truncated) << version;
    }
}

TEST(BadInput, LocatorCountOutOfRange)
{
    Bytes bytes = withVersion("AC1015", 0x200);
    bytes[0x15] = 0xFF;
    bytes[0x16] = 0xFF;
    EXPECT_EQ(readDrawing(bytes).error.code, ErrorCode::Corrupt);
}

TEST(BadInput, LocatorPointingPastTheEnd)
{
    Bytes bytes = withVersion("AC1015", 0x200);
    bytes[0x15] = 3;
    for (std::uint8_t id = 0; id < 3; ++id) {
        const std::size_t at = 0x19 + 9u * id;
        bytes[at] = id;
        bytes[at + 1] = 0x00;
        bytes[at + 2] = 0x10; // offset 0x1000 in a 0x200-byte file
        bytes[at + 5] = 0x20;
    }
    EXPECT_EQ(readDrawing(bytes).error.code, ErrorCode::Truncated);
}

TEST(BadInput, ContainerHeaderWithoutSignature)
{
    EXPECT_EQ(readDrawing(withVersion("AC1018", 0x200)).error.code, ErrorCode::Corrupt);
}

TEST(BadInput, PasswordProtectedDrawing)
{
    Bytes bytes = withVersion("AC1018", 0x200);
    bytes[0x18] = 0x01;
    EXPECT_EQ(readDrawing(bytes).error.code, ErrorCode::Encrypted);
}

TEST(BadInput, MissingFileIsAnIoError)
{
    const ReadResult result = readDrawingFile("/nonexistent/folder/drawing.dwg");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error.code, ErrorCode::IoError);
}

TEST(BadInput, FolderIsAnIoError)
{
    const ReadResult result = readDrawingFile(std::filesystem::temp_directory_path().string());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error.code, ErrorCode::IoError);
}

// A FIFO would block a plain read for ever; a huge file would be read whole into memory.
TEST(BadInput, SpecialAndHugeFilesAreRefusedWithoutReading)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("darv-bad-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string fifo = (folder / "pipe.dwg").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readDrawingFile(fifo).error.code, ErrorCode::IoError);

    const std::filesystem::path huge = folder / "huge.dwg";
    std::ofstream(huge, std::ios::binary) << "AC1015";
    std::filesystem::resize_file(huge, maxDrawingBytes + 1); // sparse: takes no disk space
    const ReadResult result = readDrawingFile(huge.string());
    EXPECT_EQ(result.error.code, ErrorCode::TooLarge);
    EXPECT_NE(describe(result.error).find("too large to be a drawing"), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(BadInput, RandomBytes)
{
    std::mt19937 random(20070101);
    for (int round = 0; round < 200; ++round) {
        Bytes bytes(static_cast<std::size_t>(random() % 4096));
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        // Half of the rounds carry a version string, so the containers see the noise too.
        static const char* const versions[] = {"AC1012", "AC1014", "AC1015", "AC1018", "AC1024", "AC1032"};
        if (round % 2 == 0 && bytes.size() >= 6) {
            const char* version = versions[static_cast<std::size_t>(round / 2) % 6];
            std::copy(version, version + 6, bytes.begin());
        }
        expectSoundOutcome(readDrawing(bytes), "round " + std::to_string(round));
        expectSoundOutcome(readDrawing(bytes, ReadDetail::Contents), "full read, round " + std::to_string(round));
    }
}

class CorpusDamage : public ::testing::TestWithParam<std::string>
{
protected:
    void SetUp() override
    {
        if (GetParam().empty()) {
            GTEST_SKIP() << "no drawing corpus at " << corpusDir();
        }
        m_bytes = readFileBytes(corpusDir() / (GetParam() + ".dwg"));
        ASSERT_FALSE(m_bytes.empty());
        m_quick = readDrawing(m_bytes);
        m_full = readDrawing(m_bytes, ReadDetail::Contents);
        ASSERT_TRUE(m_quick.ok() && m_full.ok());
        ASSERT_TRUE(m_quick.drawing->warnings.empty() && m_full.drawing->warnings.empty());
    }
    Bytes m_bytes;
    ReadResult m_quick; // the intact drawing
    ReadResult m_full;
};

TEST_P(CorpusDamage, TruncationSweep)
{
    // Dense near the start (file header, locators, container header), then spread over the file.
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < 0x200 && cut < m_bytes.size(); cut += 13) {
        cuts.push_back(cut);
    }
    for (int i = 1; i < 48; ++i) {
        cuts.push_back(m_bytes.size() * static_cast<std::size_t>(i) / 48);
    }
    cuts.push_back(m_bytes.size() - 1);
    for (const std::size_t cut : cuts) {
        const std::span<const std::uint8_t> part(m_bytes.data(), cut);
        expectToldOrIntact(readDrawing(part), m_quick, "cut at " + std::to_string(cut));
        expectToldOrIntact(readDrawing(part, ReadDetail::Contents), m_full, "full read, cut at " + std::to_string(cut));
    }
}

TEST_P(CorpusDamage, SingleBitFlips)
{
    std::mt19937 random(static_cast<std::uint32_t>(m_bytes.size()));
    int told = 0;
    for (int round = 0; round < 48; ++round) {
        Bytes damaged = m_bytes;
        // Every fourth flip lands in the first kilobyte, where the structures that locate everything are.
        const std::size_t range = round % 4 == 0 ? std::min<std::size_t>(1024, damaged.size()) : damaged.size();
        const std::size_t at = random() % range;
        damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ (1u << (random() % 8)));
        const std::string where = "bit flip at " + std::to_string(at);
        told += expectToldOrIntact(readDrawing(damaged), m_quick, where) ? 1 : 0;
        told += expectToldOrIntact(readDrawing(damaged, ReadDetail::Contents), m_full, "full read, " + where) ? 1 : 0;
    }
    EXPECT_GT(told, 0) << "no flip was noticed";
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusDamage, ::testing::ValuesIn(darv::test::corpusTestParameters()),
                         darv::test::corpusTestName);

// One object whose size field is destroyed is left out; the rest of the drawing is read.
TEST(BadInput, DamagedObjectIsSkipped)
{
    const auto path = corpusDir() / "sample_AC1015.dwg";
    Bytes bytes = readFileBytes(path);
    if (bytes.empty()) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    const ReadResult intact = readDrawing(bytes);
    ASSERT_TRUE(intact.ok());
    constexpr std::uint64_t victim = 0x2C7; // a LINE in model space

    auto sections = readR13Sections(bytes);
    ASSERT_TRUE(sections);
    auto map = readObjectMap(sections->handles);
    ASSERT_TRUE(map);
    const auto location = std::find_if(map->locations.begin(), map->locations.end(),
                                       [](const ObjectLocation& l) { return l.handle == victim; });
    ASSERT_NE(location, map->locations.end());
    const auto at = static_cast<std::size_t>(location->offset);
    bytes[at] = 0xFF; // object size: two groups announcing far more bytes than the file has
    bytes[at + 1] = 0xFF;
    bytes[at + 2] = 0xFF;
    bytes[at + 3] = 0x7F;

    const ReadResult damaged = readDrawing(bytes);
    ASSERT_TRUE(damaged.ok()) << describe(damaged.error);
    EXPECT_EQ(damaged.drawing->entities.size(), intact.drawing->entities.size() - 1);
    for (const Entity& entity : damaged.drawing->entities) {
        EXPECT_NE(entity.handle, victim);
    }
}

} // namespace
} // namespace dwg

namespace dwg {
namespace {

// Sets `count` bits at bit `position`, most significant first, as the drawings store them.
void writeBits(Bytes& bytes, std::uint64_t position, std::uint64_t value, unsigned count)
{
    for (unsigned i = 0; i < count; ++i, ++position) {
        const auto mask = static_cast<std::uint8_t>(0x80u >> (position % 8));
        auto& byte = bytes[static_cast<std::size_t>(position / 8)];
        byte = ((value >> (count - 1 - i)) & 1) != 0 ? static_cast<std::uint8_t>(byte | mask)
                                                     : static_cast<std::uint8_t>(byte & ~mask);
    }
}

// An entity whose stored size of its data stream leaves no room for its body keeps its handle and class; only its
// geometry is left out, and every other entity is read in full.
TEST(BadInput, DamagedEntityBodyLeavesOnlyItsGeometryOut)
{
    Bytes bytes = readFileBytes(corpusDir() / "sample_AC1015.dwg");
    if (bytes.empty()) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    const ReadResult intact = readDrawing(bytes, ReadDetail::Contents);
    ASSERT_TRUE(intact.ok());
    constexpr std::uint64_t victim = 0x2C7; // a LINE in model space
    auto sections = readR13Sections(bytes);
    ASSERT_TRUE(sections);
    auto map = readObjectMap(sections->handles);
    ASSERT_TRUE(map);
    const auto location = std::find_if(map->locations.begin(), map->locations.end(),
                                       [](const ObjectLocation& l) { return l.handle == victim; });
    ASSERT_NE(location, map->locations.end());
    // R2000: MS size (two bytes here), BS type (10 bits for a LINE), then RL: the bits before the handle stream.
    const auto at = static_cast<std::uint64_t>(location->offset) * 8 + 16 + 10;
    const std::uint32_t headOnly = 10 + 32 + 8 + 16 + 2 + 1 + 2 + 2; // type, size, handle, no EED, graphics, mode
    for (unsigned byte = 0; byte < 4; ++byte) {
        writeBits(bytes, at + 8 * byte, (headOnly >> (8 * byte)) & 0xFF, 8);
    }

    const ReadResult damaged = readDrawing(bytes, ReadDetail::Contents);
    ASSERT_TRUE(damaged.ok()) << describe(damaged.error);
    ASSERT_EQ(damaged.drawing->entities.size(), intact.drawing->entities.size());
    for (std::size_t i = 0; i < intact.drawing->entities.size(); ++i) {
        const Entity& before = intact.drawing->entities[i];
        const Entity& after = damaged.drawing->entities[i];
        EXPECT_EQ(after.handle, before.handle);
        EXPECT_EQ(after.className, before.className);
        if (after.handle == victim) {
            EXPECT_TRUE(std::holds_alternative<LineGeometry>(before.geometry));
            EXPECT_TRUE(std::holds_alternative<std::monostate>(after.geometry));
        } else {
            EXPECT_EQ(after.geometry.index(), before.geometry.index()) << std::hex << after.handle;
            EXPECT_EQ(after.layer, before.layer);
        }
    }
}

} // namespace
} // namespace dwg
