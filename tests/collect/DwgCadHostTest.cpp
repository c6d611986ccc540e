// The CAD host on the built-in reader: what the collection run relies on, checked on real drawings.
#include "collect/DwgCadHost.h"
#include "compare/CompareTestSupport.h"
#include "support/DwgTruth.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace darv;
using namespace darv::test;

namespace {

class HostOnDrawing : public ::testing::TestWithParam<const char*>
{
};

} // namespace

TEST_P(HostOnDrawing, GivesTheCadProgramsHandlesClassesAndCreationTime)
{
    const fs::path corpus = DARV_CORPUS_DIR;
    const std::string name = GetParam();
    if (!fs::exists(corpus / (name + ".dwg")))
        GTEST_SKIP() << "drawing corpus not present";
    const auto truth = readDwgTruthFile((corpus / (name + ".truth.json")).string());
    ASSERT_TRUE(truth);

    DwgCadHost host;
    ASSERT_TRUE(host.attach());
    ASSERT_TRUE(host.open((corpus / (name + ".dwg")).string()));
    EXPECT_TRUE(host.lastWarnings().empty());
    ASSERT_TRUE(host.activateDocument());
    EXPECT_EQ(host.enumerateSelection(), nullptr); // nothing selected yet
    ASSERT_TRUE(host.addSelectionSet("GetHandle"));
    EXPECT_FALSE(host.addSelectionSet("GetHandle")); // the name is taken
    ASSERT_TRUE(host.selectAll());
    const std::vector<HostEntity>* entities = host.enumerateSelection();
    ASSERT_NE(entities, nullptr);
    ASSERT_EQ(entities->size(), truth->entities.size());
    for (std::size_t k = 0; k < entities->size(); ++k) {
        EXPECT_EQ((*entities)[k].handle, truth->entities[k].handle);
        if (truth->entities[k].className) {
            EXPECT_EQ((*entities)[k].objectName, *truth->entities[k].className) << (*entities)[k].handle;
        }
    }
    const auto tdcreate = host.getVariable("TDCREATE");
    ASSERT_TRUE(tdcreate);
    EXPECT_NEAR(*tdcreate, truth->tdcreate, 1e-8);
    EXPECT_FALSE(host.getVariable("TDUPDATE"));
    EXPECT_TRUE(host.deleteSelectionSet("GetHandle"));
    EXPECT_FALSE(host.deleteSelectionSet("GetHandle"));
    EXPECT_TRUE(host.closeAll());
    EXPECT_FALSE(host.activateDocument());
    EXPECT_FALSE(host.getVariable("TDCREATE"));
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostOnDrawing,
                         ::testing::Values("leader_r14", "example_2000", "example_2004", "example_2007", "example_2010",
                                           "example_2018"));

TEST(DwgCadHost, UnreadableDrawingSaysWhyAndHasNoDocument)
{
    TempFolder folder;
    writeFile(folder.file("notes.dwg"), "these are not drawing bytes");
    DwgCadHost host;
    host.attach();
    EXPECT_FALSE(host.open(folder.file("notes.dwg")));
    EXPECT_FALSE(host.lastFailure().empty());
    EXPECT_FALSE(host.activateDocument());
    EXPECT_FALSE(host.addSelectionSet("GetHandle"));
    EXPECT_FALSE(host.selectAll());
    EXPECT_EQ(host.enumerateSelection(), nullptr);
    EXPECT_FALSE(host.getVariable("TDCREATE"));
    EXPECT_FALSE(host.open(folder.file("missing.dwg")));
}

// The collection's quick read notices a damaged object map: the drawing opens with what could be read and says why
// that is less than the whole drawing.
TEST(DwgCadHost, DamagedObjectMapIsTold)
{
    const std::string intact = readFile((fs::path(DARV_CORPUS_DIR) / "example_2000.dwg").string());
    if (intact.empty())
        GTEST_SKIP() << "drawing corpus not present";
    // R2000: locator records of 9 bytes (id, offset, size) from 0x19; id 2 is the object map.
    std::string damaged = intact;
    for (std::size_t at = 0x19; at + 9 <= 0x19 + 9 * 6; at += 9) {
        if (damaged[at] == 2) {
            std::uint32_t offset = 0;
            std::memcpy(&offset, damaged.data() + at + 1, 4);
            damaged[offset + 40] = static_cast<char>(damaged[offset + 40] ^ 0x10);
        }
    }
    TempFolder folder;
    writeFile(folder.file("damaged.dwg"), damaged);
    DwgCadHost host;
    host.attach();
    ASSERT_TRUE(host.open(folder.file("damaged.dwg")));
    const std::vector<std::string> warnings = host.lastWarnings();
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front(), "the object map's page 1 fails its CRC check");
    EXPECT_LT(host.entityCount(), 70u);
    host.closeAll();
    EXPECT_TRUE(host.lastWarnings().empty());
}
