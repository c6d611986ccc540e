// The full read of every corpus drawing against the CAD program's own export (NAME.geometry.json) and its reading
// (NAME.truth.json), through the JSON that dwginfo --json prints.
#include "CorpusFiles.h"
#include "app/DrawingJson.h"
#include "app/DwgInfoCommand.h"
#include "drawing/Drawing.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <numbers>
#include <set>
#include <sstream>

namespace darv {
namespace {

using nlohmann::json;
using test::corpusDir;

json readJson(const std::filesystem::path& path)
{
    std::ifstream stream(path);
    return json::parse(stream);
}

std::string upperCase(std::string value)
{
    for (char& c : value) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return value;
}

bool isAngle(const std::string& key)
{
    return key == "start_angle" || key == "end_angle" || key == "rotation";
}

// Numbers within 1e-9 relative (angles modulo 2 pi), texts and flags exactly, arrays element by element.
bool sameValue(const json& actual, const json& expected, bool angle)
{
    if (expected.is_number()) {
        if (!actual.is_number()) {
            return false;
        }
        const double a = actual.get<double>();
        const double e = expected.get<double>();
        const double tolerance = 1e-9 * std::max({1.0, std::abs(a), std::abs(e)});
        if (!angle) {
            return std::abs(a - e) <= tolerance;
        }
        const double turn = 2 * std::numbers::pi;
        const double d = std::fmod(std::abs(a - e), turn);
        return std::min(d, turn - d) <= tolerance;
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size()) {
            return false;
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (!sameValue(actual[i], expected[i], angle)) {
                return false;
            }
        }
        return true;
    }
    return actual == expected;
}

// Entities the reader cannot reproduce from what the drawing stores, with the reason (see the reader's notes).
struct KnownDifference
{
    const char* file;
    const char* handle;
    const char* key;
};
constexpr KnownDifference knownDifferences[] = {
    // A fit spline with a fit tolerance of 1: the CAD program approximates the fit points by a method of its own.
    {"example_", "894", "control_points"},
    // Stored as fit data (two points, uniform spacing); the export lists the control points only.
    {"sample_AC1027", "434", "fit_points"},
    {"sample_AC1032", "434", "fit_points"},
};

bool isKnownDifference(const std::string& file, const std::string& handle, const std::string& key)
{
    for (const KnownDifference& known : knownDifferences) {
        if (file.starts_with(known.file) && handle == known.handle && key == known.key) {
            return true;
        }
    }
    return false;
}

class ContentsCorpus : public ::testing::TestWithParam<std::string>
{
protected:
    void SetUp() override
    {
        if (GetParam().empty()) {
            GTEST_SKIP() << "no drawing corpus at " << corpusDir();
        }
        const std::string path = (corpusDir() / (GetParam() + ".dwg")).string();
        const dwg::ReadResult result = dwg::readDrawingFile(path, dwg::ReadDetail::Contents);
        ASSERT_TRUE(result.ok()) << dwg::describe(result.error);
        m_json = json::parse(drawingJsonLine(path, *result.drawing));
        for (const json& entity : m_json["entities"]) {
            m_entities[entity["handle"].get<std::string>()] = entity;
        }
    }

    json m_json;
    std::map<std::string, json> m_entities;
};

TEST_P(ContentsCorpus, GeometryMatchesTheExport)
{
    const json truth = readJson(corpusDir() / (GetParam() + ".geometry.json"));
    for (const auto& [key, value] : truth["header"].items()) {
        EXPECT_EQ(m_json[key], value) << key;
    }
    for (const auto& [handle, expected] : truth["entities"].items()) {
        const auto found = m_entities.find(handle);
        if (found == m_entities.end()) {
            ADD_FAILURE() << "missing entity " << handle;
            continue;
        }
        for (const auto& [key, value] : expected.items()) {
            if (key == "type" || isKnownDifference(GetParam(), handle, key)) {
                continue;
            }
            EXPECT_TRUE(found->second.contains(key) && sameValue(found->second[key], value, isAngle(key)))
                << handle << " " << expected["type"] << " " << key << ": " << found->second.value(key, json()).dump()
                << " instead of " << value.dump();
        }
    }
}

TEST_P(ContentsCorpus, DwgInfoJsonAgreesWithTheTruthFile)
{
    const json truth = readJson(corpusDir() / (GetParam() + ".truth.json"));
    std::ostringstream out;
    ASSERT_EQ(runDwgInfo({"--json", (corpusDir() / (GetParam() + ".dwg")).string()}, out), 0);
    const json line = json::parse(out.str());
    EXPECT_EQ(line["format"], "dwg");
    EXPECT_EQ(line["version"], truth["version"]);
    EXPECT_NEAR(line["tdcreate"].get<double>(), truth["tdcreate"].get<double>(), 1e-8);
    if (truth["tducreate"].is_null()) {
        EXPECT_TRUE(line["tducreate"].is_null());
    } else {
        EXPECT_NEAR(line["tducreate"].get<double>(), truth["tducreate"].get<double>(), 1e-8);
    }
    if (truth.contains("fingerprintguid")) {
        EXPECT_EQ(line["fingerprintguid"], truth["fingerprintguid"]);
    }
    // R13/R14 store names in upper case and keep the full ones beside them; an export in that format shows the
    // upper-case ones, the CAD program itself (and this reader) the full ones.
    const bool r14 = line["version"] == "AC1012" || line["version"] == "AC1014";
    ASSERT_EQ(line["entities"].size(), truth["entities"].size());
    for (std::size_t i = 0; i < truth["entities"].size(); ++i) {
        const json& expected = truth["entities"][i];
        const json& actual = line["entities"][i];
        EXPECT_EQ(actual["handle"], expected[0]);
        if (!expected[1].is_null()) {
            EXPECT_EQ(actual["class"], expected[1]) << expected[0];
        }
        const std::string space = actual["space"].get<std::string>();
        const std::string expectedSpace = expected[2].get<std::string>();
        EXPECT_EQ(r14 ? upperCase(space) : space, r14 ? upperCase(expectedSpace) : expectedSpace) << expected[0];
    }
    // Every layer an entity names is in the layer table, and the counts agree with the lists.
    const std::set<std::string> layers(line["layers"].begin(), line["layers"].end());
    for (const json& entity : line["entities"]) {
        EXPECT_TRUE(layers.count(entity["layer"].get<std::string>()) != 0) << entity["handle"];
    }
    EXPECT_EQ(line["counts"]["layers"], line["layers"].size());
    EXPECT_EQ(line["counts"]["blocks"], line["blocks"].size());
    EXPECT_GE(line["counts"]["textstyles"].get<int>(), 1);
    EXPECT_GE(line["counts"]["linetypes"].get<int>(), 3); // ByBlock, ByLayer, Continuous
    EXPECT_GE(line["counts"]["dimstyles"].get<int>(), 1);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ContentsCorpus, ::testing::ValuesIn(test::corpusTestParameters()),
                         test::corpusTestName);

// Before 2004 the properties are no section of their own but an object of the drawing; the same drawings saved in
// later versions name the same person.
TEST(DwgInfoJson, PropertiesOfOlderDrawings)
{
    const std::pair<const char*, const char*> cases[] = {
        {"sample_AC1014", "alber"}, {"sample_AC1015", "alber"}, {"example_2000", "rurban"}, {"leader_r14", "rurban"}};
    for (const auto& [name, lastSavedBy] : cases) {
        const auto path = corpusDir() / (std::string(name) + ".dwg");
        if (!std::filesystem::exists(path)) {
            GTEST_SKIP() << "no drawing corpus at " << corpusDir();
        }
        const dwg::ReadResult result = dwg::readDrawingFile(path.string(), dwg::ReadDetail::Contents);
        ASSERT_TRUE(result.ok()) << name;
        EXPECT_EQ(result.drawing->lastSavedBy, lastSavedBy) << name;
        EXPECT_EQ(result.drawing->summary.lastSavedBy, lastSavedBy) << name;
    }
}

TEST(DwgInfoJson, UnreadableFileGivesAnErrorObjectAndExitTwo)
{
    const auto broken = std::filesystem::temp_directory_path() /
                        ("darv_json_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".dwg");
    std::ofstream(broken, std::ios::binary) << "AC1015 but nothing else";
    std::ostringstream out;
    EXPECT_EQ(runDwgInfo({"--json", broken.string(), "/nonexistent/x.dwg"}, out), 2);
    std::filesystem::remove(broken);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<json> objects;
    while (std::getline(lines, line)) {
        objects.push_back(json::parse(line));
    }
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]["file"], broken.string());
    EXPECT_TRUE(objects[0]["error"].get<std::string>().starts_with("truncated")) << objects[0];
    EXPECT_FALSE(objects[0].contains("entities"));
    EXPECT_TRUE(objects[1]["error"].get<std::string>().starts_with("cannot read the file")) << objects[1];
}

TEST(DrawingJson, DxfDrawingsPrintTheirTimesAsWritten)
{
    dwg::Drawing drawing;
    drawing.format = dwg::DrawingFormat::Dxf;
    drawing.version = "AC1015";
    drawing.created = dwg::StoredTime{2459632, 37383000};
    drawing.createdIsUniversal = true;
    drawing.createdAsWritten = 2459632.5;
    drawing.updatedAsWritten = 2459633.25;
    dwg::Entity entity;
    entity.handle = 0x2C7;
    entity.className = "AcDbLine";
    entity.geometry = dwg::LineGeometry{{1, 2, 3}, {4, 5, 6}};
    drawing.entities.push_back(entity);
    const json line = json::parse(drawingJsonLine("a.dxf", drawing));
    EXPECT_EQ(line["format"], "dxf");
    EXPECT_EQ(line["tdcreate"], 2459632.5);
    EXPECT_NEAR(line["tducreate"].get<double>(), 2459632.432673611, 1e-9);
    EXPECT_EQ(line["tdupdate"], 2459633.25);
    EXPECT_TRUE(line["tduupdate"].is_null());
    EXPECT_TRUE(line["handseed"].is_null());
    EXPECT_EQ(line["entities"][0]["handle"], "2C7");
    EXPECT_EQ(line["entities"][0]["end"], json::array({4.0, 5.0, 6.0}));
}

// No corpus drawing holds a helix: its keys, as the share test expects them.
TEST(DrawingJson, HelixKeys)
{
    dwg::Drawing drawing;
    dwg::Entity entity;
    entity.className = "AcDbHelix";
    dwg::HelixContents helix;
    helix.axisVector = {0, 0, 2};
    helix.baseRadius = 5;
    helix.topRadius = 3;
    helix.turns = 2.5;
    helix.rightHanded = true;
    entity.data = helix;
    drawing.entities.push_back(entity);
    const json line = json::parse(drawingJsonLine("a.dwg", drawing));
    const json& printed = line["entities"][0];
    EXPECT_EQ(printed["axis_vector"], json::array({0.0, 0.0, 2.0}));
    EXPECT_EQ(printed["radii"], json::array({5.0, 3.0}));
    EXPECT_EQ(printed["turns"], 2.5);
    EXPECT_EQ(printed["handedness"], "right");
    EXPECT_TRUE(printed.contains("axis_base_point") && printed.contains("start_point") &&
                printed.contains("turn_height"));
}

TEST(DrawingJson, TextThatIsNoUtf8StillPrints)
{
    dwg::Drawing drawing;
    drawing.layers.push_back(std::string("bad \xFF name"));
    const json line = json::parse(drawingJsonLine("a.dwg", drawing));
    EXPECT_EQ(line["layers"][0], "bad \xEF\xBF\xBD name");
}

} // namespace
} // namespace darv
