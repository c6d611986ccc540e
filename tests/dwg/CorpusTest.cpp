// Every drawing of the shared corpus against the CAD program's own reading (NAME.truth.json).
#include "CorpusFiles.h"
#include "drawing/CadTime.h"
#include "drawing/Drawing.h"
#include "support/DwgTruth.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

namespace dwg {
namespace {

using darv::test::corpusDir;

std::string hexHandle(std::uint64_t handle)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
    return text;
}

class CorpusDrawing : public ::testing::TestWithParam<std::string>
{
};

TEST_P(CorpusDrawing, MatchesTheTruthFile)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    std::string error;
    const auto truth = darv::test::readDwgTruthFile((corpusDir() / (GetParam() + ".truth.json")).string(), &error);
    ASSERT_TRUE(truth) << error;

    const ReadResult result = readDrawingFile((corpusDir() / (GetParam() + ".dwg")).string());
    ASSERT_TRUE(result.ok()) << describe(result.error);
    const Drawing& drawing = *result.drawing;
    EXPECT_EQ(drawing.version, truth->version);

    ASSERT_TRUE(drawing.created);
    EXPECT_NEAR(cadJulianDate(*drawing.created), truth->tdcreate, 1e-8);
    if (truth->tducreate) {
        EXPECT_NEAR(storedJulianDate(*drawing.created), *truth->tducreate, 1e-8);
        EXPECT_TRUE(drawing.createdIsUniversal);
    }
    if (truth->fingerprintGuid) {
        EXPECT_EQ(drawing.fingerprintGuid, *truth->fingerprintGuid);
    }
    ASSERT_TRUE(drawing.handSeed);

    std::map<std::string, std::string> actual;
    std::uint64_t previous = 0;
    for (const Entity& entity : drawing.entities) {
        EXPECT_GT(entity.handle, previous) << "entities must come in ascending handle order";
        EXPECT_LT(entity.handle, *drawing.handSeed) << "every handle lies below the handle seed";
        previous = entity.handle;
        actual[hexHandle(entity.handle)] = entity.className;
    }
    std::set<std::string> expectedHandles;
    for (const auto& entity : truth->entities) {
        expectedHandles.insert(entity.handle);
        const auto found = actual.find(entity.handle);
        if (found == actual.end()) {
            ADD_FAILURE() << "missing entity " << entity.handle;
            continue;
        }
        if (entity.className) {
            EXPECT_EQ(found->second, *entity.className) << "entity " << entity.handle;
        }
    }
    for (const auto& [handle, className] : actual) {
        EXPECT_TRUE(expectedHandles.count(handle) != 0) << "unexpected entity " << handle << " " << className;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusDrawing, ::testing::ValuesIn(darv::test::corpusTestParameters()),
                         darv::test::corpusTestName);

} // namespace
} // namespace dwg
