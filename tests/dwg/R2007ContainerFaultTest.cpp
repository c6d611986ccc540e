// Tests of the 2007 container reader on small built files, each with one planted fault.
#include "dwg/R2007Container.h"

#include "tests/dwg/R2007FakeFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace dwg {
namespace {

using testing2007::Bytes;
using testing2007::FakeFile;

std::span<const std::uint8_t> asSpan(const Bytes& b)
{
    return b;
}

TEST(R2007Container, BuiltFileYieldsItsSections)
{
    const FakeFile fake = FakeFile::standard();
    const Bytes file = fake.build();
    const auto sections = readR2007Sections(file);
    ASSERT_TRUE(sections.ok()) << sections.fault().detail << " at " << sections.fault().offset;
    EXPECT_EQ(Bytes(sections->header.begin(), sections->header.end()), fake.sections[0].data);
    EXPECT_EQ(Bytes(sections->classes.begin(), sections->classes.end()), fake.sections[1].data);
    EXPECT_EQ(Bytes(sections->handles.begin(), sections->handles.end()), fake.sections[3].data);
    // The all-zero page between the stored ones was left out of the file and reads back as zeros.
    EXPECT_EQ(Bytes(sections->objects.begin(), sections->objects.end()), fake.sections[2].data);
}

TEST(R2007Container, SectionsSurviveAMove)
{
    const Bytes file = FakeFile::standard().build();
    auto sections = readR2007Sections(file);
    ASSERT_TRUE(sections.ok());
    const Sections moved = std::move(*sections);
    ASSERT_EQ(moved.storage.size(), 4u);
    EXPECT_EQ(moved.header.data(), moved.storage[0].data());
    EXPECT_EQ(std::string(moved.header.begin(), moved.header.end()), "header section bytes");
}

struct FaultCase
{
    const char* name;
    std::function<void(FakeFile&)> plant;
    ErrorCode code;
    const char* detail; // part of the fault's detail
};

class R2007ContainerFault : public testing::TestWithParam<FaultCase>
{
};

TEST_P(R2007ContainerFault, ReportsIt)
{
    FakeFile fake = FakeFile::standard();
    GetParam().plant(fake);
    const Bytes file = fake.build();
    const auto sections = readR2007Sections(file);
    ASSERT_FALSE(sections.ok());
    EXPECT_EQ(sections.fault().code, GetParam().code) << sections.fault().detail;
    EXPECT_NE(sections.fault().detail.find(GetParam().detail), std::string::npos) << sections.fault().detail;
}

constexpr std::uint64_t kHuge = std::uint64_t{1} << 40;

INSTANTIATE_TEST_SUITE_P(
    Planted, R2007ContainerFault,
    testing::Values(
        FaultCase{"PasswordFlag", [](FakeFile& f) { f.securityFlags = 1; }, ErrorCode::Encrypted, "password"},
        FaultCase{"EncryptedSection", [](FakeFile& f) { f.sections[1].encrypted = 1; }, ErrorCode::Encrypted,
                  "AcDb:Classes"},
        FaultCase{"MissingSection", [](FakeFile& f) { f.sections.pop_back(); }, ErrorCode::Corrupt, "no AcDb:Handles"},
        FaultCase{"UnknownEncoding", [](FakeFile& f) { f.sections[0].encoding = 2; }, ErrorCode::Corrupt,
                  "unknown encoding"},
        FaultCase{"PageNotInPageMap", [](FakeFile& f) { f.sections[0].firstPageId = 999; }, ErrorCode::Corrupt,
                  "page 999 not in the page map"},
        FaultCase{"PageOutsideSection", [](FakeFile& f) { f.sections[2].declaredSize = 100; }, ErrorCode::Corrupt,
                  "page outside its section"},
        FaultCase{"HugeSectionSize", [](FakeFile& f) { f.sections[2].declaredSize = kHuge; }, ErrorCode::Corrupt,
                  "larger than the file can hold"},
        FaultCase{"HugePageMapSize", [](FakeFile& f) { f.headerFields[0x58] = kHuge; }, ErrorCode::Corrupt,
                  "2007 page map"},
        FaultCase{"HugePageMapCorrection", [](FakeFile& f) { f.headerFields[0x18] = kHuge; }, ErrorCode::Corrupt,
                  "2007 page map"},
        FaultCase{"PageMapCorrectionZero", [](FakeFile& f) { f.headerFields[0x18] = 0; }, ErrorCode::Corrupt,
                  "2007 page map: larger than its stored words"},
        FaultCase{"CompressedPageMapCorrectionZero",
                  [](FakeFile& f) {
                      f.headerFields[0x18] = 0;
                      f.headerFields[0x50] = 8;
                  },
                  ErrorCode::Corrupt, "2007 page map: compressed size larger than its stored words"},
        FaultCase{"PageMapPastEnd", [](FakeFile& f) { f.headerFields[0x38] = kHuge; }, ErrorCode::Truncated,
                  "2007 page map"},
        // Claimed compressed, so its first stored entry is read as a stream that stops mid-instruction.
        FaultCase{"PageMapNotAStream", [](FakeFile& f) { f.headerFields[0x50] = 8; }, ErrorCode::Truncated,
                  "2007 page map: compressed data"},
        FaultCase{"SectionMapPageUnknown", [](FakeFile& f) { f.headerFields[0xC0] = 777; }, ErrorCode::Corrupt,
                  "2007 section map: page 777"},
        FaultCase{"SectionMapCutShort",
                  [](FakeFile& f) {
                      f.headerFields[0xC8] = 40;
                      f.headerFields[0xB0] = 40;
                  },
                  ErrorCode::Truncated, "2007 section map"},
        FaultCase{"SectionMapLargerThanFile",
                  [](FakeFile& f) {
                      f.headerFields[0xB0] = 100000;
                      f.headerFields[0xC8] = 100000;
                  },
                  ErrorCode::Corrupt, "2007 section map: impossible size"},
        FaultCase{"HeaderLengthPastBlock", [](FakeFile& f) { f.headerLength = 1000; }, ErrorCode::Corrupt,
                  "2007 file header"},
        FaultCase{"HeaderFieldsTooShort", [](FakeFile& f) { f.headerData = Bytes(16, 0); }, ErrorCode::Corrupt,
                  "2007 file header"},
        // Eight literal bytes are a valid stream, but the fields need 0x110 bytes.
        FaultCase{"HeaderDecompressesShort",
                  [](FakeFile& f) {
                      f.headerData = FakeFile::text(std::string(1, '\0') + "abcdefgh");
                      f.headerLength = 9;
                  },
                  ErrorCode::Corrupt, "wrong size"}),
    [](const testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

TEST(R2007Container, TinyInputsFailCleanly)
{
    for (std::size_t size : {0u, 6u, 0x80u, 0x457u}) {
        const Bytes file(size, 0);
        const auto sections = readR2007Sections(file);
        ASSERT_FALSE(sections.ok()) << size;
        EXPECT_EQ(sections.fault().code, ErrorCode::Truncated) << size;
    }
    // A header that is all zeros describes an empty page map: no section map page to find.
    const Bytes zeros(0x1000, 0);
    const auto sections = readR2007Sections(zeros);
    ASSERT_FALSE(sections.ok());
    EXPECT_EQ(sections.fault().code, ErrorCode::Corrupt);
}

// Every cut and every single-bit flip of a whole built file ends in sections or a fault.
TEST(R2007Container, EveryCutAndFlipOfABuiltFileIsSafe)
{
    const Bytes file = FakeFile::standard().build();
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        const auto sections = readR2007Sections(asSpan(file).first(cut));
        if (!sections.ok()) {
            EXPECT_FALSE(sections.fault().detail.empty());
        }
    }
    Bytes copy = file;
    for (std::size_t at = 0x80; at < copy.size(); ++at) {
        for (int bit = 0; bit < 8; bit += 3) {
            copy[at] = static_cast<std::uint8_t>(copy[at] ^ (1u << bit));
            const auto sections = readR2007Sections(copy);
            if (!sections.ok()) {
                EXPECT_FALSE(sections.fault().detail.empty());
            }
            copy[at] = file[at];
        }
    }
}

} // namespace
} // namespace dwg
