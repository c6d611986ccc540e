// The solid modeler's data in an entity body: the text form in blocks (mirrored), the binary form up to its end
// record, and the data of 2013 and later that lives in the data store; the helix, a spline with numbers of its own; the
// R13/R14 viewport's view in its extended data.
#include "BitWriter.h"
#include "dwg/DataStore.h"
#include "dwg/GeometryReaders.h"
#include "dwg/TextSource.h"
#include "dwg/Version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

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
    EXPECT_TRUE(read.modeler.hash);
}

// The binary form of records: its header, then `records` as they are, then its end record.
ModelerContents binaryForm(const std::string& records)
{
    std::string data = "ACIS BinaryFile" + std::string(16, '\0');
    for (const std::string text : {"program", "7.0", "date"}) {
        data += '\x07' + std::string(1, static_cast<char>(text.size())) + text;
    }
    for (int i = 0; i < 3; ++i) {
        data += '\x06' + std::string(8, '\0');
    }
    data += records;
    data += std::string("\x0e\x03"
                        "End\x0e\x02"
                        "of\x0e\x04"
                        "ACIS\x0d\x04"
                        "data");
    return {true, data, std::nullopt};
}

// A tag and its little-endian value of `size` bytes.
std::string tagged(char tag, std::uint64_t value, std::size_t size)
{
    std::string bytes(1, tag);
    for (std::size_t i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    }
    return bytes;
}

std::string real(char tag, std::initializer_list<double> values)
{
    std::string bytes(1, tag);
    for (const double value : values) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, 8);
        bytes += tagged('\0', bits, 8).substr(1);
    }
    return bytes;
}

std::string text(char tag, const std::string& text)
{
    return tagged(tag, text.size(), 1) + text;
}

// The text and the binary form of the same records share their hash: names, pointers, integers and reals, logicals
// as words or as tags, strings, sub-types. A header of another save changes nothing; another value, a damaged body
// or a token of an unknown kind do.
TEST(ModelerBody, TextAndBinaryFormsOfTheSameRecordsShareTheirHash)
{
    const std::string records = "body $-1 -1 $1 forward @7 unknown 0.5 F 2 I #\n"
                                "plane-surface 1 2 3 out { ref 0 } #\n";
    const ModelerContents sat{false, "700 2 1 0\n@7 program\nunits\n" + records + "End-of-ACIS-data\n", {}};
    const ModelerContents otherSave{false, "700 2 1 0\n@9 program 2\nother units\n" + records, {}};
    const std::string pointerNone = tagged('\x0c', 0xffffffff, 4);
    const std::string body = text('\x0d', "body") + pointerNone + tagged('\x04', 0xffffffff, 4) + tagged('\x0c', 1, 4) +
                             "\x0b" + text('\x07', "unknown") + real('\x06', {0.5}) + "\x0a" + real('\x06', {2}) +
                             "\x0b\x11";
    const std::string plane = text('\x0e', "plane") + text('\x0d', "surface") + real('\x13', {1, 2, 3}) + "\x0b\x0f" +
                              text('\x0d', "ref") + tagged('\x04', 0, 4) + "\x10\x11";
    const auto hash = modelerHash(sat);
    ASSERT_TRUE(hash);
    EXPECT_EQ(modelerHash(otherSave), hash);
    EXPECT_EQ(modelerHash(binaryForm(body + plane)), hash);

    const ModelerContents moved{
        false, "700 2 1 0\n@7 program\nunits\nbody $-1 -1 $1 forward @7 unknown 0.5 F 2.5 I #\n", {}};
    EXPECT_TRUE(modelerHash(moved));
    EXPECT_NE(modelerHash(moved), hash);
    for (const ModelerContents& bad : {
             binaryForm(body + "\x30\x11"),                                         // a tag of an unknown kind
             binaryForm(body + "\x0e\x05plane\x11"),                                // a name without its last part
             ModelerContents{true, binaryForm(body).data.substr(0, 80), {}},        // cut short
             ModelerContents{true, "ABC", {}},                                      // no header
             ModelerContents{false, "700 1 1 0\nh\nu\nbody @99 short #\n", {}},     // a string longer than the rest
             ModelerContents{false, "700 1 1 0\nh\nu\nbody $x #\n", {}},            // a pointer that is no number
             ModelerContents{false, "700 1 1 0\nh\nu\nbody $-1 #\nlump $-1\n", {}}, // the last record cut
             ModelerContents{false, "version\n", {}},
         }) {
        EXPECT_FALSE(modelerHash(bad)) << bad.data;
    }
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

// A data store of one data segment: the header, the segment index, the data index, and the segment with its directory
// and records (each its size, then its bytes). `records` are (handle, bytes).
std::vector<std::uint8_t> dataStore(const std::vector<std::pair<std::uint64_t, std::string>>& records)
{
    std::vector<std::uint8_t> bytes(0x300, 0);
    const auto put = [&bytes](std::size_t at, std::uint64_t value, unsigned width) {
        if (bytes.size() < at + width) {
            bytes.resize(at + width);
        }
        for (unsigned i = 0; i < width; ++i) {
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    const auto segment = [&](std::size_t at, const char* name, std::uint32_t size) {
        put(at, 0xD5AC, 2);
        std::memcpy(&bytes[at + 2], name, 6);
        put(at + 16, size, 4);
    };
    put(0x18, 0x80, 4); // segment index at 0x80
    put(0x20, 3, 4);    // three segments: none, the data index, the data
    put(0x28, 1, 4);    // the data index is segment 1
    segment(0x80, "segidx", 0x80);
    put(0x80 + 48 + 12, 0x100, 8); // segment 1 at 0x100
    put(0x80 + 48 + 20, 0x100, 4);
    put(0x80 + 48 + 24, 0x200, 8); // segment 2 at 0x200
    put(0x80 + 48 + 32, 0x10000, 4);
    segment(0x100, "datidx", 0x100);
    put(0x100 + 48, records.size(), 4);
    segment(0x200, "_data_", 0x10000);
    put(0x200 + 36, 8, 4); // records from 0x80 into the segment
    std::size_t recordOffset = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t entry = 0x100 + 48 + 8 + 12 * i;
        put(entry, 2, 4);
        put(entry + 4, 20 * i, 4);
        const std::size_t directory = 0x200 + 48 + 20 * i;
        put(directory, 20, 4);
        put(directory + 8, records[i].first, 8);
        put(directory + 16, recordOffset, 4);
        const std::size_t at = 0x280 + recordOffset;
        put(at, records[i].second.size(), 4);
        put(at + 4 + records[i].second.size() - 1, 0, 1);
        std::memcpy(&bytes[at + 4], records[i].second.data(), records[i].second.size());
        recordOffset += 4 + records[i].second.size();
    }
    return bytes;
}

TEST(DataStore, ModelerRecordsByHandleOthersLeftOut)
{
    const std::string solid = "ASM BinaryFile4 records";
    const std::string region = "ACIS BinaryFile other";
    const std::vector<std::uint8_t> bytes = dataStore({{0x2E1, solid}, {0x22, "\x89PNG thumbnail"}, {0x176, region}});
    const DataStoreContents store = readDataStore(bytes);
    EXPECT_FALSE(store.damaged);
    ASSERT_EQ(store.records.size(), 2u);
    EXPECT_EQ(store.records[0].handle, 0x176u);
    EXPECT_EQ(store.records[0].modelerData, region);
    EXPECT_EQ(store.records[1].handle, 0x2E1u);
    EXPECT_EQ(store.records[1].modelerData, solid);
}

TEST(DataStore, DamageGivesNoRecordAndNoReadOutside)
{
    EXPECT_FALSE(readDataStore({}).damaged); // a drawing without a data store
    std::vector<std::uint8_t> lying = dataStore({{0x2E1, "ASM BinaryFile4 records"}});
    lying[0x280 + 2] = 0x7F; // the record's size runs past the section
    const DataStoreContents store = readDataStore(lying);
    EXPECT_TRUE(store.damaged);
    EXPECT_TRUE(store.records.empty());
    // Every cut of the section is read without a fault, and gives no record that the whole one has not.
    const std::vector<std::uint8_t> whole = dataStore({{0x2E1, "ASM BinaryFile4 records"}});
    for (std::size_t size = 0; size < whole.size(); size += 7) {
        const DataStoreContents cut = readDataStore(std::span(whole).first(size));
        EXPECT_TRUE(cut.records.empty() || cut.records[0].modelerData == "ASM BinaryFile4 records") << size;
    }
}

// The spline's data, then the helix's: its top radius is the distance of the spline's end from the axis.
TEST(HelixBody, NumbersOfTheHelixAndTheTopRadiusFromTheSplineEnd)
{
    darv::test::BitWriter body;
    body.bitLong(1); // by control points
    body.bitLong(3); // degree
    body.bits(0, 3);
    body.bitDouble(0);
    body.bitDouble(0);
    body.bitLong(0); // knots
    body.bitLong(2); // control points
    body.bit(false); // no weights
    for (const double value : {5.0, 0.0, 0.0, 0.0, 3.0, 10.0}) {
        body.bitDouble(value);
    }
    body.bitLong(2);
    body.bitLong(2);
    for (const double value : {0.0, 0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, 2.0, 5.0, 2.5, 4.0}) {
        body.bitDouble(value); // axis base, start point, axis vector, radius, turns, turn height
    }
    body.bit(true); // right-handed
    body.bitShort(1);
    EntityHead head;
    head.kind = EntityKind::Helix;
    const VersionFlags flags = flagsFor(Version::R2004, 0);
    for (const bool whole : {true, false}) {
        std::vector<std::uint8_t> bytes = body.data();
        bytes.resize(whole ? bytes.size() : bytes.size() / 2);
        BitReader data(bytes);
        TextSource text = TextSource::inData(data);
        EntityFields fields(data, text, flags, nullptr);
        ObjectContents out;
        GeometryLinks links;
        const bool read = readGeometry(head, fields, out, links);
        EXPECT_EQ(read, whole);
        if (!whole) {
            continue;
        }
        const auto* helix = out.dataAs<HelixContents>();
        ASSERT_NE(helix, nullptr);
        EXPECT_EQ(helix->startPoint.x, 5.0);
        EXPECT_EQ(helix->axisVector.z, 2.0);
        EXPECT_EQ(helix->baseRadius, 5.0);
        EXPECT_DOUBLE_EQ(helix->topRadius, 3.0);
        EXPECT_EQ(helix->turns, 2.5);
        EXPECT_EQ(helix->turnHeight, 4.0);
        EXPECT_TRUE(helix->rightHanded);
    }
}

// R13/R14: a viewport's view in its extended data (the MVIEW group): the view height and centre among the reals, the
// frozen layers in the nested group. Every cut of the data gives no view or the whole one, and a group of another
// application is passed over.
TEST(ViewportView, FromTheMviewGroupOfTheExtendedData)
{
    std::vector<std::uint8_t> group{0, 5, 0, 0, 'M', 'V', 'I', 'E', 'W', 2, 0, 70, 16, 0};
    const auto real = [&group](double value) {
        group.push_back(40);
        std::uint8_t raw[8];
        std::memcpy(raw, &value, 8);
        group.insert(group.end(), raw, raw + 8);
    };
    group.push_back(10);
    group.insert(group.end(), 24, 0);                       // view target
    for (const double value : {0.0, 9.1, 6.0, 4.5, 50.0}) { // twist, height, centre x and y, lens
        real(value);
    }
    group.insert(group.end(), {2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0x0F, 2, 1, 2, 1});
    const auto extendedData = [](const std::vector<std::vector<std::uint8_t>>& groups) {
        darv::test::BitWriter data;
        for (const std::vector<std::uint8_t>& bytes : groups) {
            data.bitShort(static_cast<std::uint16_t>(bytes.size()));
            data.rawByte(0x51); // the application's handle
            data.rawByte(0x12);
            data.bytes(bytes);
        }
        data.bitShort(0);
        return data.data();
    };
    const std::vector<std::uint8_t> other{0, 3, 0, 0, 'X', 'Y', 'Z'};
    const std::vector<std::uint8_t> bytes = extendedData({other, group});
    ViewportContents viewport;
    std::vector<std::uint64_t> frozen;
    ASSERT_TRUE(readViewportView(BitReader(bytes), viewport, frozen));
    EXPECT_EQ(viewport.viewHeight, 9.1);
    EXPECT_EQ(viewport.viewCenter.x, 6.0);
    EXPECT_EQ(viewport.viewCenter.y, 4.5);
    EXPECT_EQ(frozen, std::vector<std::uint64_t>{0x0F});
    for (std::size_t size = 1; size < group.size(); ++size) {
        const std::vector<std::uint8_t> cut(group.begin(), group.begin() + static_cast<std::ptrdiff_t>(size));
        ViewportContents none;
        EXPECT_FALSE(readViewportView(BitReader(extendedData({cut})), none, frozen)) << size;
    }
}

} // namespace
} // namespace dwg
