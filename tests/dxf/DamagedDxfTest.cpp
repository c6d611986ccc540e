// Damaged and hostile DXF input, each file named after its fault: an error or a partial result with a warning,
// never a crash, a hang or a result that hides the damage. And a truncation sweep over corpus files.
#include "DxfWriter.h"
#include "dxf/DxfReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace dxf {
namespace {

using darv::test::asciiDxf;
using darv::test::bytesOf;
using darv::test::Groups;

const std::string start = asciiDxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {5, "2A"}, {10, "1"}, {11, "2"}});
const std::string end = asciiDxf({{0, "ENDSEC"}, {0, "EOF"}});
const std::string sentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);
const std::string binaryEntities = sentinel + std::string("\0\0SECTION\0\2\0ENTITIES\0", 21);

struct DamagedFile
{
    const char* name;
    std::string bytes;
    std::optional<dwg::ErrorCode> error; // empty: a drawing is read
    std::size_t entities = 0;            // of the drawing that is read
    bool warned = true;                  // the drawing carries a warning
    bool geometry = true;                // its last entity keeps its geometry
};

std::vector<DamagedFile> damagedFiles()
{
    const std::string polyline = asciiDxf({{0, "LWPOLYLINE"}, {90, "2147483647"}, {10, "1"}, {20, "1"}, {10, "2"}});
    return {
        {"empty_file", "", dwg::ErrorCode::NotDwg},
        {"plain_text", "Dear teacher,\nhere is my drawing.\n", dwg::ErrorCode::NotDwg},
        {"truncated_in_header", asciiDxf({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}}) + "  1\r\n",
         dwg::ErrorCode::Truncated},
        {"group_code_no_number_before_entities", asciiDxf({{0, "SECTION"}, {2, "HEADER"}}) + "x9\n$ACADVER\n",
         dwg::ErrorCode::Corrupt},
        {"truncated_in_entities", start + asciiDxf({{0, "CIRCLE"}, {5, "2B"}, {10, "4"}}), std::nullopt, 2, true,
         false},
        {"group_code_no_number_in_entities", start + "X1\nfoo\n" + end, std::nullopt, 1, true, false},
        {"coordinate_no_number", start + asciiDxf({{21, "two"}}) + end, std::nullopt, 1, true, false},
        {"no_endsec_no_eof", start, std::nullopt, 1, true, false}, // the last entity may be cut
        {"huge_vertex_count", asciiDxf({{0, "SECTION"}, {2, "ENTITIES"}}) + polyline + end, std::nullopt, 1, false},
        {"duplicate_handles", start + asciiDxf({{0, "LINE"}, {5, "2A"}}) + end, std::nullopt, 1, true},
        {"vertex_without_polyline", start + asciiDxf({{0, "VERTEX"}, {10, "1"}, {0, "SEQEND"}}) + end, std::nullopt, 1,
         false},
        {"unknown_group_codes", start + asciiDxf({{4321, "?"}, {1, "odd"}}) + end, std::nullopt, 1, false},
        {"old_mac_line_ends",
         asciiDxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "POINT"}, {8, "0"}, {0, "ENDSEC"}, {0, "EOF"}}, "\r"),
         std::nullopt, 1, false},
        {"byte_order_mark", "\xEF\xBB\xBF" + start + end, std::nullopt, 1, false},
        {"binary_sentinel_only", sentinel, std::nullopt, 0, true},
        {"binary_text_without_end", sentinel + std::string("\0\0SECTION", 9), dwg::ErrorCode::Truncated},
        {"binary_unknown_group_code", binaryEntities + std::string("\xD2\x04", 2), std::nullopt, 0, true},
        {"binary_real_cut_short",
         binaryEntities + std::string("\0\0LINE\0\x08\0"
                                      "0\0\x0a\0\1\2",
                                      15),
         std::nullopt, 1, true, false},
        {"records_without_data", asciiDxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "A"}, {0, "B"}, {0, "C"}}) + end,
         std::nullopt, 0, true},
        {"multileader_point_outside_a_leader_line",
         start + asciiDxf({{0, "MULTILEADER"}, {300, "CONTEXT_DATA{"}, {302, "LEADER{"}, {302, "LEADER{"}, {10, "1"}}) +
             end,
         std::nullopt, 2, true, false},
    };
}

void PrintTo(const DamagedFile& file, std::ostream* out)
{
    *out << file.name;
}

class DamagedDxf : public ::testing::TestWithParam<DamagedFile>
{
};

TEST_P(DamagedDxf, GivesAnErrorOrAWarnedPart)
{
    const DamagedFile& file = GetParam();
    const dwg::ReadResult result = readDxf(bytesOf(file.bytes), dwg::ReadDetail::Contents);
    if (file.error) {
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error.code, *file.error) << dwg::describe(result.error);
        return;
    }
    ASSERT_TRUE(result.ok()) << dwg::describe(result.error);
    const dwg::Drawing& drawing = *result.drawing;
    EXPECT_EQ(drawing.entities.size(), file.entities);
    EXPECT_EQ(!drawing.warnings.empty(), file.warned) << (drawing.warnings.empty() ? "" : drawing.warnings[0]);
    if (!drawing.entities.empty()) {
        EXPECT_EQ(drawing.entities.back().geometry.index() != 0, file.geometry);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DamagedDxf, ::testing::ValuesIn(damagedFiles()),
                         [](const ::testing::TestParamInfo<DamagedFile>& param) {
                             return std::string(param.param.name);
                         });

// Every cut of a corpus file before its end mark gives an error, or a drawing that says it is incomplete.
TEST(DxfTruncation, EveryCutIsAnErrorOrWarned)
{
    const std::filesystem::path corpus(DARV_DXF_CORPUS_DIR);
    for (const char* name : {"sample_AC1018_ascii.dxf", "sample_AC1009_binary.dxf"}) {
        std::ifstream stream(corpus / name, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
        if (bytes.empty()) {
            GTEST_SKIP() << "no DXF corpus at " << corpus;
        }
        const std::size_t whole = readDxf(bytes).drawing->entities.size();
        const std::size_t endMark = bytes.size() - 8; // before "0 EOF" in both forms
        for (std::size_t cut = 0; cut < endMark; cut += 1 + endMark / 150 + cut % 7) {
            const dwg::ReadResult result = readDxf({bytes.data(), cut});
            if (result.ok()) {
                EXPECT_FALSE(result.drawing->warnings.empty()) << name << " cut at " << cut;
                EXPECT_LE(result.drawing->entities.size(), whole);
            } else {
                EXPECT_FALSE(dwg::describe(result.error).empty());
            }
        }
    }
}

} // namespace
} // namespace dxf
