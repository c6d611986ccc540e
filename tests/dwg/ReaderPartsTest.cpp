// Smaller parts of the reader on hand-made input: container key, object map, layout names, messages.
#include "drawing/Drawing.h"
#include "dwg/Crc.h"
#include "dwg/EntitySelection.h"
#include "dwg/ObjectMap.h"
#include "dwg/ObjectTypes.h"
#include "dwg/R2004Container.h"
#include "dwg/Version.h"

#include <gtest/gtest.h>

#include <array>

namespace dwg {
namespace {

TEST(ContainerKey, FirstBytesOfTheKeyStream)
{
    std::array<std::uint8_t, 16> bytes{};
    xorHeaderKey(bytes);
    const std::array<std::uint8_t, 16> expected{0x29, 0x23, 0xBE, 0x84, 0xE1, 0x6C, 0xD6, 0xAE,
                                                0x52, 0x90, 0x49, 0xF1, 0xF1, 0xBB, 0xE9, 0xEB};
    EXPECT_EQ(bytes, expected);
}

TEST(VersionFlags, SizeHighPartDependsOnMaintenanceUpToR2013)
{
    EXPECT_FALSE(flagsFor(Version::R2004, 104).sizeHasHighPart);
    EXPECT_FALSE(flagsFor(Version::R2010, 3).sizeHasHighPart);
    EXPECT_TRUE(flagsFor(Version::R2010, 4).sizeHasHighPart);
    EXPECT_FALSE(flagsFor(Version::R2013, 3).sizeHasHighPart);
    EXPECT_TRUE(flagsFor(Version::R2013, 8).sizeHasHighPart);
    EXPECT_TRUE(flagsFor(Version::R2018, 0).sizeHasHighPart);
    const VersionFlags r2007 = flagsFor(Version::R2007, 50);
    EXPECT_TRUE(r2007.r2007Plus);
    EXPECT_FALSE(r2007.r2010Plus);
    EXPECT_FALSE(r2007.sizeHasHighPart);
}

TEST(ObjectMap, PagesWithUnsignedHandleAndSignedOffsetDeltas)
{
    // Page 1 (size 8 incl. its own two bytes): (+0x41 -> handle 0x41, offset +100), (+1, -4).
    // A handle delta of 0x41 has bit 6 set: read unsigned it stays positive.
    // Page 2 (size 4): (+0x50 -> handle 0x50 again from zero, offset 200 = 0xC8 = C8 01). Then the end page.
    const std::vector<std::uint8_t> bytes{0x00, 0x07, 0x41, 0x80 | 100, 0x00, 0x01, 0x44, 0xAA, 0xBB, 0x00,
                                          0x05, 0x50, 0xC8, 0x01,       0xCC, 0xDD, 0x00, 0x02, 0x00, 0x00};
    auto map = readObjectMap(bytes);
    ASSERT_TRUE(map) << map.fault().detail;
    const std::vector<ObjectLocation>& locations = map->locations;
    ASSERT_EQ(locations.size(), 3u);
    EXPECT_EQ(locations[0].handle, 0x41u);
    EXPECT_EQ(locations[0].offset, 100);
    EXPECT_EQ(locations[1].handle, 0x42u);
    EXPECT_EQ(locations[1].offset, 96);
    EXPECT_EQ(locations[2].handle, 0x50u);
    EXPECT_EQ(locations[2].offset, 200);
    // The CRCs here are made up: each page is told as damaged.
    EXPECT_EQ(map->damage.size(), 2u);
}

TEST(ObjectMap, PageRunningPastTheSectionIsTruncated)
{
    const std::vector<std::uint8_t> bytes{0x01, 0x00, 0x01, 0x01};
    auto map = readObjectMap(bytes);
    ASSERT_FALSE(map);
    EXPECT_EQ(map.fault().code, ErrorCode::Truncated);
}

// What was read before the map breaks off is kept, and the break is told.
TEST(ObjectMap, MissingEndPageKeepsTheEntriesBeforeIt)
{
    const std::vector<std::uint8_t> bytes{0x00, 0x04, 0x01, 0x01, 0x00, 0x00};
    auto map = readObjectMap(bytes);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->locations.size(), 1u);
    ASSERT_FALSE(map->damage.empty());
    EXPECT_EQ(map->damage.back(), "the object map breaks off at its page 2: the objects listed after it are missing");
}

TEST(LayoutNames, ModelAndPaperSpaceInAnyCase)
{
    EXPECT_TRUE(isLayoutBlockName("*Model_Space"));
    EXPECT_TRUE(isLayoutBlockName("*MODEL_SPACE"));
    EXPECT_TRUE(isLayoutBlockName("*Paper_Space"));
    EXPECT_TRUE(isLayoutBlockName("*PAPER_SPACE"));
    EXPECT_TRUE(isLayoutBlockName("*Paper_Space3"));
    EXPECT_FALSE(isLayoutBlockName("*Model_Space2"));
    EXPECT_FALSE(isLayoutBlockName("Model_Space"));
    EXPECT_FALSE(isLayoutBlockName("*D"));
    EXPECT_FALSE(isLayoutBlockName(""));
}

TEST(EntitySelection, ModesOwnersAndSkippedTypes)
{
    ClassTable classes;
    classes.entries.push_back(ClassEntry{500, "AcDbPolyline", "LWPOLYLINE", true});
    classes.entries.push_back(ClassEntry{501, "AcDbDictionaryWithDefault", "ACDBDICTIONARYWDFLT", false});
    auto head = [&](std::uint64_t handle, std::uint16_t type, std::uint8_t mode, std::uint64_t owner) {
        ObjectHead h;
        h.handle = handle;
        h.type = type;
        h.isEntity = isEntityType(type, classes);
        h.entityMode = mode;
        h.owner = owner;
        return h;
    };
    ObjectHead model = head(0x1F, ObjectType::BlockHeader, 0, 0);
    model.blockName = "*Model_Space";
    ObjectHead layout = head(0x58, ObjectType::BlockHeader, 0, 0);
    layout.blockName = "*Paper_Space";
    ObjectHead other = head(0x60, ObjectType::BlockHeader, 0, 0);
    other.blockName = "DOOR";
    const std::vector<ObjectHead> objects{
        model,
        layout,
        other,
        head(0x90, 19, 2, 0),                   // LINE in model space
        head(0x20, ObjectType::Block, 0, 0x1F), // BLOCK of *Model_Space: never listed
        head(0x21, ObjectType::EndBlock, 0, 0x1F),
        head(0x91, 18, 0, 0x58), // CIRCLE in a non-active layout
        head(0x92, 18, 0, 0x60), // CIRCLE inside block DOOR
        head(0x93, 500, 1, 0),   // class-based LWPOLYLINE in the active layout
        head(0x94, 501, 2, 0),   // not an entity
        head(0x95, 10, 0, 0x90), // VERTEX
        head(0x8F, 7, 2, 0),     // INSERT, out of handle order
        head(0x96, 19, 3, 0),    // impossible mode
    };
    const std::vector<Entity> entities = selectLayoutEntities(objects, classes);
    ASSERT_EQ(entities.size(), 4u);
    EXPECT_EQ(entities[0].handle, 0x8Fu);
    EXPECT_EQ(entities[0].className, "AcDbBlockReference");
    EXPECT_EQ(entities[1].handle, 0x90u);
    EXPECT_EQ(entities[1].className, "AcDbLine");
    EXPECT_EQ(entities[2].handle, 0x91u);
    EXPECT_EQ(entities[2].className, "AcDbCircle");
    EXPECT_EQ(entities[3].handle, 0x93u);
    EXPECT_EQ(entities[3].className, "AcDbPolyline");
}

TEST(ObjectTypes, FixedEntityNames)
{
    const ClassTable none;
    struct Case
    {
        std::uint16_t type;
        const char* name;
    };
    const std::vector<Case> cases{{1, "AcDbText"},   {7, "AcDbBlockReference"}, {21, "AcDbRotatedDimension"},
                                  {28, "AcDbFace"},  {34, "AcDbViewport"},      {38, "AcDb3dSolid"},
                                  {46, "AcDbFcf"},   {74, "AcDbOle2Frame"},     {77, "AcDbPolyline"},
                                  {78, "AcDbHatch"}, {498, "AcDbZombieEntity"}};
    for (const Case& c : cases) {
        EXPECT_TRUE(isEntityType(c.type, none)) << c.type;
        EXPECT_EQ(entityClassName(c.type, none), c.name) << c.type;
    }
    for (const int type : {0, 9, 42, 48, 49, 72, 79, 82, 499, 500}) {
        EXPECT_FALSE(isEntityType(static_cast<std::uint16_t>(type), none)) << type;
    }
}

TEST(Describe, NamesTheFaultForAUser)
{
    EXPECT_EQ(describe(DwgError{ErrorCode::UnsupportedVersion, 0, "AC1009"}), "unsupported DWG version AC1009");
    EXPECT_EQ(describe(DwgError{ErrorCode::Truncated, 0x1A2B, "object map"}),
              "truncated at offset 0x1A2B (object map)");
    EXPECT_EQ(describe(DwgError{ErrorCode::NotDwg, 0, ""}), "not a DWG drawing");
    EXPECT_FALSE(describe(DwgError{ErrorCode::Encrypted, 0x18, "x"}).empty());
}

} // namespace
} // namespace dwg

namespace dwg {
namespace {

// Known answers of the three checks (the page checksum seeded with 1 is Adler-32); the long input crosses the
// checksum's blocks and runs and ends off a block boundary.
TEST(Checks, KnownAnswers)
{
    const std::string digits = "123456789";
    const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size());
    EXPECT_EQ(crc16(text, 0), 0xBB3D);
    EXPECT_EQ(crc32(text), 0xCBF43926u);
    std::vector<std::uint8_t> longInput(100003);
    for (std::size_t i = 0; i < longInput.size(); ++i) {
        longInput[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    EXPECT_EQ(pageChecksum(longInput, 1), 0x7AB0989Bu);
    EXPECT_EQ(pageChecksum(text.first(0), 0x12345678), 0x12345678u);
}

} // namespace
} // namespace dwg
