// The solid modeler's data in an entity body: the text form in blocks (mirrored), the binary form up to its end
// record, and the data of 2013 and later that lives in the data store.
#include "BitWriter.h"
#include "dwg/GeometryReaders.h"
#include "dwg/TextSource.h"
#include "dwg/Version.h"

#include <gtest/gtest.h>

#include <string>

namespace dwg {
namespace {

struct Read
{
    ModelerRead result;
    ModelerContents modeler;
};

Read readBody(const darv::test::BitWriter& body, bool inDataStore = false)
{
    BitReader data(body.data());
    TextSource text = TextSource::inData(data);
    const VersionFlags flags = flagsFor(Version::R2004, 0);
    EntityFields fields(data, text, flags, nullptr);
    Read read;
    read.result = readModeler(fields, inDataStore, read.modeler);
    return read;
}

void header(darv::test::BitWriter& body, std::uint16_t format)
{
    body.bit(false); // not empty
    body.bit(false);
    body.bitShort(format);
}

TEST(ModelerBody, TextInMirroredBlocksWithItsHash)
{
    const std::string sat = "400 1 1 0\r\nheader\r\nunits\r\nbody $-1 #\r\nEnd-of-ACIS-data\r\n";
    darv::test::BitWriter body;
    header(body, 1);
    for (const std::string& part : {sat.substr(0, 12), sat.substr(12)}) {
        body.bitLong(static_cast<std::uint32_t>(part.size()));
        for (const char c : part) {
            body.rawByte(static_cast<std::uint8_t>(c <= 32 ? c : 159 - c));
        }
    }
    body.bitLong(0);
    const Read read = readBody(body);
    ASSERT_EQ(read.result, ModelerRead::Read);
    EXPECT_FALSE(read.modeler.binary);
    EXPECT_EQ(read.modeler.data, "400 1 1 0\nheader\nunits\nbody $-1 #\nEnd-of-ACIS-data\n");
    EXPECT_EQ(read.modeler.hash, contentHash("body $-1 #\nEnd-of-ACIS-data\n")); // the records, not the header
}

TEST(ModelerBody, BinaryUpToItsEndRecordOrDamaged)
{
    const std::string end("\x0e\x03"
                          "End\x0e\x02"
                          "of\x0e\x03"
                          "ASM\x0d\x04"
                          "data");
    for (const bool whole : {true, false}) {
        darv::test::BitWriter body;
        header(body, 2);
        for (const char c : "ASM BinaryFile4" + (whole ? end : end.substr(0, 8)) + "after") {
            body.rawByte(static_cast<std::uint8_t>(c));
        }
        const Read read = readBody(body);
        if (whole) {
            ASSERT_EQ(read.result, ModelerRead::Read);
            EXPECT_TRUE(read.modeler.binary);
            EXPECT_EQ(read.modeler.data, "ASM BinaryFile4" + end);
        } else {
            EXPECT_EQ(read.result, ModelerRead::Damaged);
        }
    }
}

TEST(ModelerBody, DataStoreAndEmptyAndCutShortBlocks)
{
    darv::test::BitWriter empty;
    empty.bit(true);
    EXPECT_EQ(readBody(empty).result, ModelerRead::Read);
    EXPECT_EQ(readBody(empty, true).result, ModelerRead::Elsewhere);

    darv::test::BitWriter stored;
    header(stored, 2);
    EXPECT_EQ(readBody(stored, true).result, ModelerRead::Elsewhere);

    darv::test::BitWriter cut; // a block longer than the body
    header(cut, 1);
    cut.bitLong(1000);
    cut.rawByte('x');
    EXPECT_EQ(readBody(cut).result, ModelerRead::Damaged);
}

} // namespace
} // namespace dwg
