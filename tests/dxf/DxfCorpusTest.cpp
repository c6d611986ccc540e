// Every DXF export of the shared corpus against its DWG twin's truth and geometry files; the R12 exports read whole.
#include "GeometryJson.h"
#include "dxf/DxfReader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace dxf {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path dxfCorpus{DARV_DXF_CORPUS_DIR};
const fs::path dwgCorpus{DARV_CORPUS_DIR};

std::vector<std::uint8_t> fileBytes(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

json jsonFile(const fs::path& path)
{
    std::ifstream stream(path);
    return json::parse(stream);
}

std::string hexHandle(std::uint64_t handle)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
    return text;
}

// The DWG twin of an export: "sample_AC1015_binary" -> "sample_AC1015"; empty for the R12 exports (no twin).
std::string twinOf(std::string name)
{
    for (const std::string suffix : {"_ascii", "_binary"}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            name.resize(name.size() - suffix.size());
        }
    }
    return fs::exists(dwgCorpus / (name + ".truth.json")) ? name : std::string();
}

std::vector<std::string> corpusNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dxfCorpus, error)) {
        if (entry.path().extension() == ".dxf") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        names.emplace_back(); // one skipped case when the corpus is absent
    }
    return names;
}

dwg::Drawing readCorpusFile(const std::string& name)
{
    const auto bytes = fileBytes(dxfCorpus / (name + ".dxf"));
    const dwg::ReadResult result = readDxf(bytes, dwg::ReadDetail::Contents);
    if (!result.ok()) {
        ADD_FAILURE() << dwg::describe(result.error);
        return {};
    }
    EXPECT_TRUE(result.drawing->warnings.empty()) << result.drawing->warnings.front();
    return *result.drawing;
}

void expectTruth(const dwg::Drawing& drawing, const json& truth)
{
    EXPECT_EQ(drawing.version, truth["version"].get<std::string>());
    ASSERT_TRUE(drawing.createdAsWritten);
    EXPECT_NEAR(*drawing.createdAsWritten, truth["tdcreate"].get<double>(), 1e-8);
    if (!truth["tducreate"].is_null()) {
        ASSERT_TRUE(drawing.created && drawing.createdIsUniversal);
        EXPECT_NEAR(drawing.created->day + drawing.created->ms / 86400000.0, truth["tducreate"].get<double>(), 1e-8);
    }
    if (!truth["fingerprintguid"].is_null()) {
        EXPECT_EQ(drawing.fingerprintGuid, truth["fingerprintguid"].get<std::string>());
    }
    std::map<std::string, const dwg::Entity*> actual;
    for (const dwg::Entity& entity : drawing.entities) {
        actual[hexHandle(entity.handle)] = &entity;
    }
    std::set<std::string> expected;
    for (const json& row : truth["entities"]) {
        const std::string handle = row[0].get<std::string>();
        expected.insert(handle);
        const auto found = actual.find(handle);
        if (found == actual.end()) {
            ADD_FAILURE() << "missing entity " << handle;
            continue;
        }
        if (!row[1].is_null()) {
            EXPECT_EQ(found->second->className, row[1].get<std::string>()) << "entity " << handle;
        }
        EXPECT_EQ(found->second->space, row[2].get<std::string>()) << "entity " << handle;
    }
    for (const auto& [handle, entity] : actual) {
        EXPECT_TRUE(expected.count(handle)) << "unexpected entity " << handle << " " << entity->className;
    }
}

void expectGeometry(const dwg::Drawing& drawing, const json& geometry)
{
    const json& header = geometry["header"];
    if (header.contains("codepage")) {
        EXPECT_EQ(drawing.codepage, header["codepage"].get<std::string>());
    }
    if (header.contains("lastsavedby")) {
        EXPECT_EQ(drawing.lastSavedBy, header["lastsavedby"].get<std::string>());
    }
    std::map<std::string, const dwg::Entity*> byHandle;
    for (const dwg::Entity& entity : drawing.entities) {
        byHandle[hexHandle(entity.handle)] = &entity;
    }
    for (const auto& [handle, expected] : geometry["entities"].items()) {
        const auto found = byHandle.find(handle);
        if (found == byHandle.end()) {
            ADD_FAILURE() << "missing entity " << handle;
            continue;
        }
        EXPECT_EQ(found->second->layer, expected["layer"].get<std::string>()) << "entity " << handle;
        json wanted = expected;
        wanted.erase("layer");
        wanted.erase("type");
        const std::string difference =
            darv::test::geometryDifference(wanted, darv::test::geometryJson(found->second->geometry));
        EXPECT_TRUE(difference.empty()) << "entity " << handle << " (" << expected["type"] << "): " << difference;
    }
}

class DxfCorpus : public ::testing::TestWithParam<std::string>
{
};

TEST_P(DxfCorpus, ReadsWhatTheDwgTwinHolds)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "no DXF corpus at " << dxfCorpus;
    }
    const dwg::Drawing drawing = readCorpusFile(GetParam());
    EXPECT_EQ(drawing.format, dwg::DrawingFormat::Dxf);
    for (std::size_t i = 1; i < drawing.entities.size(); ++i) {
        EXPECT_LT(drawing.entities[i - 1].handle, drawing.entities[i].handle) << "ascending handles";
    }
    const std::string twin = twinOf(GetParam());
    if (twin.empty()) {
        // R12 exports: no twin; their entities are read, each with a class and a layout.
        EXPECT_EQ(drawing.version, "AC1009");
        EXPECT_GT(drawing.entities.size(), 100u);
        for (const dwg::Entity& entity : drawing.entities) {
            EXPECT_TRUE(entity.className.starts_with("AcDb")) << hexHandle(entity.handle) << " " << entity.className;
            EXPECT_TRUE(entity.space == "*Model_Space" || entity.space == "*Paper_Space") << entity.space;
        }
        return;
    }
    expectTruth(drawing, jsonFile(dwgCorpus / (twin + ".truth.json")));
    expectGeometry(drawing, jsonFile(dwgCorpus / (twin + ".geometry.json")));
}

std::string caseName(const ::testing::TestParamInfo<std::string>& param)
{
    return param.param.empty() ? std::string("absent") : param.param;
}

INSTANTIATE_TEST_SUITE_P(Corpus, DxfCorpus, ::testing::ValuesIn(corpusNames()), caseName);

} // namespace
} // namespace dxf
