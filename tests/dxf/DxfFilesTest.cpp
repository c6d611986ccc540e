// Small DXF files for what the corpus lacks: no sections but ENTITIES, R12 without handles, code pages, UTF-8,
// binary files of both group code widths, and reading a file of either format by its content.
#include "DxfWriter.h"
#include "dxf/DxfReader.h"
#include "readers/AnyDrawing.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <variant>

namespace dxf {
namespace {

using darv::test::asciiDxf;
using darv::test::bytesOf;
using darv::test::Groups;

dwg::Drawing readOk(const std::vector<std::uint8_t>& bytes)
{
    const dwg::ReadResult result = readDxf(bytes, dwg::ReadDetail::Contents);
    if (!result.ok()) {
        ADD_FAILURE() << dwg::describe(result.error);
        return {};
    }
    return *result.drawing;
}

template <class T> const T& geometryOf(const dwg::Entity& entity)
{
    static const T none{};
    const T* geometry = std::get_if<T>(&entity.geometry);
    EXPECT_TRUE(geometry) << entity.className << " has another geometry";
    return geometry ? *geometry : none;
}

Groups section(const std::string& name, const Groups& body)
{
    Groups groups{{0, "SECTION"}, {2, name}};
    groups.insert(groups.end(), body.begin(), body.end());
    groups.push_back({0, "ENDSEC"});
    return groups;
}

Groups file(std::initializer_list<Groups> sections)
{
    Groups groups;
    for (const Groups& part : sections) {
        groups.insert(groups.end(), part.begin(), part.end());
    }
    groups.push_back({0, "EOF"});
    return groups;
}

Groups textFile(const std::string& version, const std::string& codepage, const std::string& text)
{
    return file(
        {section("HEADER", {{9, "$ACADVER"}, {1, version}, {9, "$DWGCODEPAGE"}, {3, codepage}}),
         section("ENTITIES", {{0, "TEXT"}, {5, "2A"}, {8, text}, {10, "0"}, {20, "0"}, {40, "2.5"}, {1, text}})});
}

const Groups lineAndCircle = file({section("ENTITIES", {{0, "LINE"},
                                                        {8, "Walls"},
                                                        {10, "1"},
                                                        {20, "2"},
                                                        {30, "0"},
                                                        {11, "4"},
                                                        {21, "6"},
                                                        {31, "0"},
                                                        {0, "CIRCLE"},
                                                        {10, "5"},
                                                        {20, "5.5"},
                                                        {30, "0"},
                                                        {40, "2.5"}})});

TEST(DxfFiles, EntitiesSectionAloneIsADrawing)
{
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(lineAndCircle, "\n")));
    EXPECT_EQ(drawing.format, dwg::DrawingFormat::Dxf);
    EXPECT_TRUE(drawing.warnings.empty());
    ASSERT_EQ(drawing.entities.size(), 2u);
    const dwg::Entity& line = drawing.entities[0];
    EXPECT_EQ(line.handle, 1u); // no handles in the file: numbered in file order
    EXPECT_EQ(line.className, "AcDbLine");
    EXPECT_EQ(line.space, "*Model_Space");
    EXPECT_EQ(line.layer, "Walls");
    EXPECT_EQ(geometryOf<dwg::LineGeometry>(line).end.y, 6.0);
    const dwg::Entity& circle = drawing.entities[1];
    EXPECT_EQ(circle.handle, 2u);
    EXPECT_EQ(circle.layer, "0"); // an entity that names no layer is on layer 0
    EXPECT_EQ(geometryOf<dwg::CircleGeometry>(circle).center.y, 5.5);
    EXPECT_EQ(geometryOf<dwg::CircleGeometry>(circle).radius, 2.5);
}

TEST(DxfFiles, R12WithoutHandlesKeepsFileOrderAndSubEntities)
{
    const Groups groups = file({
        section("HEADER", {{9, "$ACADVER"}, {1, "AC1009"}, {9, "$TDCREATE"}, {40, "2459632.474340278"}}),
        section("TABLES",
                {{0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "0"}, {0, "LAYER"}, {2, "Doors"}, {0, "ENDTAB"}}),
        section("BLOCKS", {{0, "BLOCK"},
                           {8, "0"},
                           {2, "$MODEL_SPACE"},
                           {0, "ENDBLK"},
                           {0, "BLOCK"},
                           {2, "DOOR"},
                           {0, "LINE"},
                           {10, "0"},
                           {11, "1"},
                           {0, "ENDBLK"}}),
        section("ENTITIES",
                {{0, "POLYLINE"}, {8, "0"},         {66, "1"},    {10, "0"},     {20, "0"},     {30, "2.5"}, {70, "1"},
                 {0, "VERTEX"},   {8, "0"},         {10, "1"},    {20, "2"},     {0, "VERTEX"}, {10, "3"},   {20, "4"},
                 {0, "SEQEND"},   {0, "INSERT"},    {8, "Doors"}, {66, "1"},     {2, "DOOR"},   {10, "7"},   {20, "8"},
                 {50, "90"},      {0, "ATTRIB"},    {1, "D1"},    {0, "SEQEND"}, {0, "TEXT"},   {67, "1"},   {10, "1"},
                 {1, "Plan"},     {0, "DIMENSION"}, {70, "33"},   {10, "1"},     {13, "2"},     {14, "3"}}),
    });
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(groups)));
    EXPECT_EQ(drawing.version, "AC1009");
    ASSERT_TRUE(drawing.createdAsWritten);
    EXPECT_DOUBLE_EQ(*drawing.createdAsWritten, 2459632.474340278);
    EXPECT_FALSE(drawing.createdIsUniversal); // R12 keeps local time only
    EXPECT_EQ(drawing.layers, (std::vector<std::string>{"0", "Doors"}));
    EXPECT_EQ(drawing.blocks, std::vector<std::string>{"DOOR"});

    ASSERT_EQ(drawing.entities.size(), 4u); // vertices, attributes and SEQEND belong to their entity
    const char* classes[] = {"AcDb2dPolyline", "AcDbBlockReference", "AcDbText", "AcDbAlignedDimension"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(drawing.entities[i].handle, i + 1);
        EXPECT_EQ(drawing.entities[i].className, classes[i]);
    }
    EXPECT_EQ(drawing.entities[2].space, "*Paper_Space");
    const auto& polyline = geometryOf<dwg::PolylineGeometry>(drawing.entities[0]);
    ASSERT_EQ(polyline.points.size(), 2u);
    EXPECT_TRUE(polyline.closed);
    EXPECT_EQ(polyline.points[1].x, 3.0);
    EXPECT_EQ(polyline.points[1].z, 2.5); // a 2D polyline's vertices lie at its elevation
    const auto& insert = geometryOf<dwg::InsertGeometry>(drawing.entities[1]);
    EXPECT_EQ(insert.block, "DOOR");
    EXPECT_NEAR(insert.rotation, 1.5707963267948966, 1e-15);
    const auto& dimension = geometryOf<dwg::DimensionGeometry>(drawing.entities[3]);
    ASSERT_EQ(dimension.points.size(), 4u);
    EXPECT_EQ(dimension.points[3].kind, dwg::DimensionPointKind::DefPoint3);
    EXPECT_EQ(dimension.points[3].point.x, 3.0);
    // The attribute belongs to its INSERT, the block's LINE to the block's definition.
    ASSERT_EQ(drawing.entities[1].attributes.size(), 1u);
    EXPECT_EQ(drawing.entities[1].attributes[0].text, "D1");
    ASSERT_EQ(drawing.blockDefinitions.size(), 1u);
    ASSERT_EQ(drawing.blockDefinitions[0].entities.size(), 1u);
    EXPECT_EQ(drawing.blockDefinitions[0].entities[0].className, "AcDbLine");
    EXPECT_EQ(drawing.blockDefinitions[0].entities[0].space, "DOOR");
}

// A hatch is read in its groups' order; one that counts more loops than it holds has no contents and a warning.
TEST(DxfFiles, HatchLoopsAsStoredAndACountThatLies)
{
    const auto hatch = [](const std::string& loops) {
        return file(
            {section("ENTITIES", {{0, "HATCH"},  {8, "0"},  {100, "AcDbHatch"}, {10, "0"},   {20, "0"},   {30, "1.5"},
                                  {2, "ANSI31"}, {70, "0"}, {71, "1"},          {91, loops}, {92, "2"},   {72, "1"},
                                  {73, "1"},     {93, "2"}, {10, "1"},          {20, "2"},   {42, "0.5"}, {10, "3"},
                                  {20, "4"},     {42, "0"}, {97, "0"},          {75, "1"},   {76, "1"},   {52, "45"},
                                  {41, "2"},     {77, "0"}, {78, "0"},          {98, "1"},   {10, "5"},   {20, "6"}})});
    };
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(hatch("1"))));
    ASSERT_EQ(drawing.entities.size(), 1u);
    const auto* contents = drawing.entities[0].data.get_if<dwg::HatchContents>();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->patternName, "ANSI31");
    EXPECT_TRUE(contents->associative);
    EXPECT_EQ(contents->elevation, 1.5);
    EXPECT_NEAR(contents->patternAngle, 0.7853981633974483, 1e-15);
    EXPECT_EQ(contents->patternScale, 2.0);
    ASSERT_EQ(contents->loops.size(), 1u);
    EXPECT_EQ(contents->loops[0].bulges, (std::vector<double>{0.5, 0}));
    EXPECT_EQ(contents->loops[0].vertices[1].y, 4.0);
    ASSERT_EQ(contents->seedPoints.size(), 1u);
    EXPECT_EQ(contents->seedPoints[0].x, 5.0);

    const dwg::Drawing lying = readOk(bytesOf(asciiDxf(hatch("3"))));
    EXPECT_TRUE(lying.entities[0].data.empty());
    EXPECT_FALSE(lying.warnings.empty());
}

// A multi-line attribute definition keeps its text in its embedded MTEXT, whose groups are none of its own.
TEST(DxfFiles, MultiLineAttributeTextFromItsEmbeddedText)
{
    const Groups attdef{{0, "ATTDEF"}, {5, "B1"}, {8, "0"},    {10, "1"},   {20, "2"},
                        {40, "0.5"},   {1, ""},   {3, "Ask"},  {2, "TAG"},  {101, "Embedded Object"},
                        {10, "9"},     {40, "7"}, {3, "two "}, {1, "lines"}};
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(file({section("ENTITIES", attdef)}))));
    ASSERT_EQ(drawing.entities.size(), 1u);
    const auto* contents = drawing.entities[0].data.get_if<dwg::AttributeContents>();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->tag, "TAG");
    EXPECT_EQ(contents->prompt, "Ask");
    EXPECT_EQ(contents->text, "two lines");
    EXPECT_EQ(contents->position.x, 1.0);
    EXPECT_EQ(contents->height, 0.5);
    EXPECT_TRUE(drawing.warnings.empty());
}

// A table's cells come in either layout: text in 1 before 2007, the value's shown text (302) after. A table with
// fewer cells than its grid has no contents.
TEST(DxfFiles, TableCellsOfBothLayoutsAndAShortGrid)
{
    const auto table = [](const std::string& rows) {
        return Groups{
            {0, "ACAD_TABLE"},   {5, "A1"},           {8, "0"},     {92, "9"},          {100, "AcDbBlockReference"},
            {10, "1"},           {20, "2"},           {30, "0"},    {100, "AcDbTable"}, {91, rows},
            {92, "2"},           {171, "1"},          {3, "Long "}, {1, "cell"},        {171, "1"},
            {92, "0"},           {301, "CELL_VALUE"}, {90, "4"},    {1, "raw"},         {302, "shown"},
            {304, "ACVALUE_END"}};
    };
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(file({section("ENTITIES", table("1"))}))));
    ASSERT_EQ(drawing.entities.size(), 1u);
    const auto* contents = drawing.entities[0].data.get_if<dwg::TableContents>();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->position.y, 2.0);
    EXPECT_EQ(contents->rows, 1u);
    EXPECT_EQ(contents->columns, 2u);
    EXPECT_EQ(contents->cells, (std::vector<std::string>{"Long cell", "shown"}));

    const dwg::Drawing short_ = readOk(bytesOf(asciiDxf(file({section("ENTITIES", table("2"))}))));
    EXPECT_TRUE(short_.entities[0].data.empty());
    EXPECT_FALSE(short_.warnings.empty());
}

// A helix: its spline, then its own numbers; the top radius is the spline end's distance from the axis. A helix without
// its number of turns has no contents, and says so.
TEST(DxfFiles, HelixNumbersAndTheTopRadiusFromItsSpline)
{
    const auto helix = [](bool withTurns) {
        Groups groups{{0, "HELIX"}, {5, "2B"}, {100, "AcDbEntity"}, {8, "0"},   {100, "AcDbSpline"}, {70, "0"},
                      {71, "3"},    {72, "0"}, {73, "2"},           {74, "0"},  {10, "5"},           {20, "0"},
                      {30, "0"},    {10, "0"}, {20, "3"},           {30, "10"}, {100, "AcDbHelix"},  {90, "29"},
                      {91, "63"},   {10, "0"}, {20, "0"},           {30, "0"},  {11, "5"},           {21, "0"},
                      {31, "0"},    {12, "0"}, {22, "0"},           {32, "2"},  {40, "5"},           {42, "4"},
                      {290, "1"},   {280, "1"}};
        if (withTurns) {
            groups.insert(groups.end() - 3, {41, "2.5"});
        }
        return groups;
    };
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(file({section("ENTITIES", helix(true))}))));
    ASSERT_EQ(drawing.entities.size(), 1u);
    EXPECT_EQ(drawing.entities[0].className, "AcDbHelix");
    const auto* contents = drawing.entities[0].data.get_if<dwg::HelixContents>();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->axisVector.z, 2.0);
    EXPECT_EQ(contents->startPoint.x, 5.0);
    EXPECT_EQ(contents->baseRadius, 5.0);
    EXPECT_DOUBLE_EQ(contents->topRadius, 3.0);
    EXPECT_EQ(contents->turns, 2.5);
    EXPECT_EQ(contents->turnHeight, 4.0);
    EXPECT_TRUE(contents->rightHanded);

    const dwg::Drawing withoutTurns = readOk(bytesOf(asciiDxf(file({section("ENTITIES", helix(false))}))));
    EXPECT_TRUE(withoutTurns.entities[0].data.empty());
    EXPECT_FALSE(withoutTurns.warnings.empty());
}

// The text form of modeler data is stored mirrored (c -> 159 - c) with carets escaped; from 2013 on the binary form
// lives in the data store. The same shape under another header (an export's own save date) has the same hash; a
// data store record whose size lies gives no contents; data that cannot be decoded has no hash, and a warning says so.
TEST(DxfFiles, ModelerDataAsTextAndFromTheDataStore)
{
    const auto mirrored = [](const std::string& text) {
        std::string out;
        for (const char c : text) {
            const char stored = static_cast<char>(c <= 32 ? c : 159 - c);
            out += stored == '^' ? std::string("^ ") : std::string(1, stored);
        }
        return out;
    };
    const auto solid = [&](const std::string& handle, const std::string& date) {
        return Groups{{0, "3DSOLID"},
                      {5, handle},
                      {8, "0"},
                      {100, "AcDbModelerGeometry"},
                      {70, "1"},
                      {1, mirrored("400 3 1 0")},
                      {1, mirrored("16 Autodesk AutoCAD 20 ASM 1 " + date)},
                      {1, mirrored("1 1e-06 1e-10")},
                      {1, mirrored("body $-1 $1 #")},
                      {1, mirrored("lump $-1 #   ")},
                      {1, mirrored("End-of-ACIS-data")}};
    };
    const auto region = [](const std::string& handle) {
        return Groups{{0, "REGION"}, {5, handle}, {8, "0"}, {100, "AcDbModelerGeometry"}, {290, "1"}, {2, "{0}"}};
    };
    const auto record = [](const std::string& handle, const std::string& size) {
        return Groups{{0, "ACDSRECORD"}, {90, "0"},   {2, "AcDbDs::ID"}, {280, "10"},   {320, handle},
                      {2, "ASM_Data"},   {280, "15"}, {94, size},        {310, "4142"}, {310, "43"}};
    };
    Groups entities = solid("A1", "0");
    for (const Groups& more : {solid("A2", "24 Tue Dec  2 10:27:20 2025"), region("A3"), region("A4")}) {
        entities.insert(entities.end(), more.begin(), more.end());
    }
    Groups store = record("A3", "3");
    const Groups lying = record("A4", "9");
    store.insert(store.end(), lying.begin(), lying.end());
    const dwg::Drawing drawing =
        readOk(bytesOf(asciiDxf(file({section("ENTITIES", entities), section("ACDSDATA", store)}))));
    ASSERT_EQ(drawing.entities.size(), 4u);
    const auto* text = drawing.entities[0].data.get_if<dwg::ModelerContents>();
    const auto* saved = drawing.entities[1].data.get_if<dwg::ModelerContents>();
    const auto* binary = drawing.entities[2].data.get_if<dwg::ModelerContents>();
    ASSERT_TRUE(text && saved && binary);
    EXPECT_FALSE(text->binary);
    EXPECT_EQ(text->data, "400 3 1 0\n16 Autodesk AutoCAD 20 ASM 1 0\n1 1e-06 1e-10\nbody $-1 $1 #\nlump $-1 #   \n"
                          "End-of-ACIS-data\n");
    EXPECT_NE(text->data, saved->data);
    EXPECT_EQ(text->hash, saved->hash);
    EXPECT_TRUE(binary->binary);
    EXPECT_EQ(binary->data, "ABC");
    EXPECT_FALSE(binary->hash); // no header of the binary form's: no hash
    EXPECT_TRUE(drawing.entities[3].data.empty());
    EXPECT_FALSE(drawing.warnings.empty());
}

TEST(DxfFiles, HeaderTablesAndDrawingProperties)
{
    const Groups groups = file({
        section("HEADER", {{9, "$ACADVER"},         {1, "AC1018"},
                           {9, "$TDCREATE"},        {40, "2459632.474340278"},
                           {9, "$TDUCREATE"},       {40, "2459632.432673611"},
                           {9, "$TDUPDATE"},        {40, "2461012.5"},
                           {9, "$TDINDWG"},         {40, "0.4023958333"},
                           {9, "$HANDSEED"},        {5, "12C7"},
                           {9, "$FINGERPRINTGUID"}, {2, "{A0188082-9603-0640-B77D-EBCA0988F498}"},
                           {9, "$VERSIONGUID"},     {2, "{FAEB1C32-E019-11D5-929B-00C0DF256EC4}"},
                           {9, "$LASTSAVEDBY"},     {1, "ann"},
                           {9, "$HYPERLINKBASE"},   {1, "https://school.example/"}}),
        section("TABLES", {{0, "TABLE"},        {2, "LTYPE"},        {0, "LTYPE"},        {2, "ByBlock"},
                           {0, "LTYPE"},        {2, "Continuous"},   {0, "ENDTAB"},       {0, "TABLE"},
                           {2, "STYLE"},        {0, "STYLE"},        {2, "Standard"},     {0, "ENDTAB"},
                           {0, "TABLE"},        {2, "BLOCK_RECORD"}, {0, "BLOCK_RECORD"}, {5, "1F"},
                           {2, "*Model_Space"}, {0, "BLOCK_RECORD"}, {5, "58"},           {2, "*Paper_Space"},
                           {0, "BLOCK_RECORD"}, {5, "77"},           {2, "*U18"},         {0, "ENDTAB"}}),
        section("OBJECTS", {{0, "XRECORD"},
                            {5, "99"},
                            {100, "AcDbXrecord"},
                            {1, "DWGPROPS COOKIE"},
                            {2, "Bridge"},
                            {4, "Ann Smith"},
                            {8, "ann2"},
                            {9, "3"},
                            {300, "="},
                            {301, "Class=4B"},
                            {40, "0.4"},
                            {1, "https://dwgprops/"}}),
    });
    const dwg::Drawing drawing = readOk(bytesOf(asciiDxf(groups)));
    EXPECT_TRUE(drawing.warnings.empty());
    EXPECT_DOUBLE_EQ(drawing.createdAsWritten.value_or(0), 2459632.474340278); // as written, for the three checks
    ASSERT_TRUE(drawing.created && drawing.updated && drawing.timeInDrawing);
    EXPECT_TRUE(drawing.createdIsUniversal);
    EXPECT_EQ(drawing.created->day, 2459632);
    EXPECT_EQ(drawing.created->ms, 37383000); // 10:23:03 universal time
    EXPECT_EQ(drawing.updated->ms, 43200000);
    EXPECT_EQ(drawing.timeInDrawing->ms, 34767000);
    EXPECT_EQ(drawing.handSeed.value_or(0), 0x12C7u);
    EXPECT_EQ(drawing.fingerprintGuid, "{A0188082-9603-0640-B77D-EBCA0988F498}");
    EXPECT_EQ(drawing.versionGuid, "{FAEB1C32-E019-11D5-929B-00C0DF256EC4}");
    EXPECT_EQ(drawing.lastSavedBy, "ann2"); // the drawing properties first
    EXPECT_EQ(drawing.summary.title, "Bridge");
    EXPECT_EQ(drawing.summary.author, "Ann Smith");
    EXPECT_EQ(drawing.summary.revision, "3");
    EXPECT_EQ(drawing.summary.hyperlinkBase, "https://dwgprops/");
    ASSERT_EQ(drawing.summary.custom.size(), 1u);
    EXPECT_EQ(drawing.summary.custom[0], std::make_pair(std::string("Class"), std::string("4B")));
    EXPECT_EQ(drawing.blocks, std::vector<std::string>{"*U18"}); // the layouts are no block definitions
    EXPECT_EQ(drawing.counts.linetypes, 2u);
    EXPECT_EQ(drawing.counts.textStyles, 1u);
    EXPECT_EQ(drawing.counts.blocks, 1u);
}

TEST(DxfFiles, TextsInACodePageAndInUtf8)
{
    // ANSI_1251 before 2007: "Привет" as Windows Cyrillic bytes, in the text and in the layer name.
    const dwg::Drawing cyrillic =
        readOk(bytesOf(asciiDxf(textFile("AC1015", "ANSI_1251", "\xcf\xf0\xe8\xe2\xe5\xf2"))));
    ASSERT_EQ(cyrillic.entities.size(), 1u);
    EXPECT_EQ(geometryOf<dwg::TextGeometry>(cyrillic.entities[0]).text, "Привет");
    EXPECT_EQ(cyrillic.entities[0].layer, "Привет");

    // 2007 and later: UTF-8, with the escapes for control characters and code points.
    const dwg::Drawing utf8 = readOk(bytesOf(asciiDxf(textFile("AC1021", "ANSI_1252", "Größe^J\\U+2713 ^ x"))));
    ASSERT_EQ(utf8.entities.size(), 1u);
    EXPECT_EQ(geometryOf<dwg::TextGeometry>(utf8.entities[0]).text, "Größe\n✓ ^x"); // "^ " is a caret

    // Far-east characters that the file's code page lacks: "\M+n" escapes name another code page.
    const dwg::Drawing japanese = readOk(bytesOf(asciiDxf(textFile("AC1018", "ANSI_1252", "\\M+193FA\\U+672C"))));
    EXPECT_EQ(geometryOf<dwg::TextGeometry>(japanese.entities[0]).text, "日本");

    // Bytes that are not UTF-8 in a 2007 file, and an unknown code page: replaced and read as ANSI_1252.
    const dwg::Drawing broken = readOk(bytesOf(asciiDxf(textFile("AC1024", "ANSI_1252", "a\xff"))));
    EXPECT_EQ(geometryOf<dwg::TextGeometry>(broken.entities[0]).text, "a\xEF\xBF\xBD");
    const dwg::Drawing unknown = readOk(bytesOf(asciiDxf(textFile("AC1015", "KLINGON", "caf\xe9"))));
    EXPECT_EQ(geometryOf<dwg::TextGeometry>(unknown.entities[0]).text, "café");
    EXPECT_FALSE(unknown.warnings.empty());
}

TEST(DxfFiles, BinaryFilesOfBothGroupCodeWidthsReadAlike)
{
    for (const bool oneByteCodes : {false, true}) {
        const auto bytes =
            darv::test::binaryDxf(file({section("HEADER", {{9, "$ACADVER"}, {1, oneByteCodes ? "AC1009" : "AC1015"}}),
                                        section("ENTITIES", {{0, "LINE"},
                                                             {5, "1F"},
                                                             {8, "Walls"},
                                                             {10, "1.25"},
                                                             {20, "2"},
                                                             {11, "-4"},
                                                             {1001, "APP"},
                                                             {1070, "7"}})}),
                                  oneByteCodes);
        const dwg::Drawing drawing = readOk(bytes);
        ASSERT_EQ(drawing.entities.size(), 1u) << oneByteCodes;
        EXPECT_EQ(drawing.entities[0].handle, 0x1Fu);
        EXPECT_EQ(drawing.entities[0].layer, "Walls");
        EXPECT_EQ(geometryOf<dwg::LineGeometry>(drawing.entities[0]).start.x, 1.25);
        EXPECT_EQ(geometryOf<dwg::LineGeometry>(drawing.entities[0]).end.x, -4.0);
    }
}

TEST(DxfFiles, AnyDrawingFileGoesByContent)
{
    const darv::test::TempFolder folder;
    const auto write = [&](const std::string& name, const std::string& content) {
        std::ofstream(folder.file(name), std::ios::binary) << content;
        return folder.file(name);
    };
    // A DXF named .dwg is still a DXF.
    const dwg::ReadResult dxfFile = readAnyDrawingFile(write("plan.dwg", asciiDxf(lineAndCircle)));
    ASSERT_TRUE(dxfFile.ok()) << dwg::describe(dxfFile.error);
    EXPECT_EQ(dxfFile.drawing->format, dwg::DrawingFormat::Dxf);

    const dwg::ReadResult text = readAnyDrawingFile(write("notes.dxf", "shopping list\n"));
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error.code, dwg::ErrorCode::NotDwg);
    EXPECT_NE(text.error.detail.find("neither"), std::string::npos);
    EXPECT_EQ(readAnyDrawingFile(folder.file("missing.dxf")).error.code, dwg::ErrorCode::IoError);

    const std::filesystem::path dwgFile = std::filesystem::path(DARV_CORPUS_DIR) / "leader_r14.dwg";
    if (std::filesystem::exists(dwgFile)) {
        const dwg::ReadResult drawing = readAnyDrawingFile(dwgFile.string());
        ASSERT_TRUE(drawing.ok()) << dwg::describe(drawing.error);
        EXPECT_EQ(drawing.drawing->format, dwg::DrawingFormat::Dwg);
        EXPECT_EQ(drawing.drawing->entities.size(), dwg::readDrawingFile(dwgFile.string()).drawing->entities.size());
    }
}

} // namespace
} // namespace dxf
