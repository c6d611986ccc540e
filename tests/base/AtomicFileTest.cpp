// Whole-file writes: the old file stays whole on every failure, links are replaced, not written through.
#include "base/AtomicFile.h"

#include "support/FailingFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace darv;
using namespace darv::test;
namespace fs = std::filesystem;

namespace {

std::size_t entriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    TempFolder folder;
    const std::string path = folder.file("WEEK 3.tim");
    writeFile(path, "old");
    const FileWrite written = writeFileAtomically(path, std::string(200000, 'x'));
    ASSERT_TRUE(written) << written.error().text;
    EXPECT_EQ(readFile(path), std::string(200000, 'x'));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, ReplacesASymbolicLinkInsteadOfWritingThroughIt)
{
    TempFolder folder;
    const std::string outside = folder.file("outside.txt");
    writeFile(outside, "not ours");
    const std::string report = folder.file("A.hnd");
    fs::create_symlink(outside, report);
    const FileWrite written = writeFileAtomically(report, "report");
    ASSERT_TRUE(written) << written.error().text;
    EXPECT_EQ(readFile(outside), "not ours");
    EXPECT_FALSE(fs::is_symlink(report));
    EXPECT_EQ(readFile(report), "report");
}

TEST(AtomicFile, AnUncommittedFileLeavesTheOldOne)
{
    TempFolder folder;
    const std::string path = folder.file("A.cmp");
    writeFile(path, "whole old file");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.write("half of the new"));
    } // a killed run: never committed
    EXPECT_EQ(readFile(path), "whole old file");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, AFullDiskOrAReadOnlyFolderFailsWithTheReasonAndKeepsTheOldFile)
{
    TempFolder folder;
    const std::string disk = folder.file("disk");
    fs::create_directories(disk);
    if (!mountTinyDisk(disk, 64 * 1024))
        GTEST_SKIP() << "cannot mount a small file system here";
    const std::string path = disk + "/A.tim";
    ASSERT_TRUE(writeFileAtomically(path, "old report"));
    std::string error = writeFileAtomically(path, std::string(256 * 1024, 'x')).error().text;
    EXPECT_NE(error.find("A.tim: No space left on device"), std::string::npos) << error;
    EXPECT_EQ(readFile(path), "old report");
    EXPECT_EQ(entriesIn(disk), 1u);

    ASSERT_TRUE(makeReadOnly(disk));
    error = writeFileAtomically(path, "new").error().text;
    EXPECT_NE(error.find("Read-only file system"), std::string::npos) << error;
    EXPECT_EQ(readFile(path), "old report");
    unmount(disk);
    unmount(disk);
}
