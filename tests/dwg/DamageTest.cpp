// Damage inside a drawing is told, never hidden (the sweeps over the whole corpus are in BadInputTest); a file that
// changes while it is read is refused.
#include "drawing/Drawing.h"
#include "drawing/FileBytes.h"
#include "dwg/R13Container.h"

#include "CorpusFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dwg {
namespace {

using Bytes = std::vector<std::uint8_t>;
using darv::test::corpusDir;
using darv::test::readFileBytes;

bool anyWarningHas(const Drawing& drawing, const std::string& text)
{
    return std::any_of(drawing.warnings.begin(), drawing.warnings.end(),
                       [&](const std::string& warning) { return warning.find(text) != std::string::npos; });
}

// The case that used to read as "entities 0" without a word: one bit of the object map's first page.
TEST(Damage, FlippedObjectMapBitIsTold)
{
    Bytes bytes = readFileBytes(corpusDir() / "example_2000.dwg");
    if (bytes.empty()) {
        GTEST_SKIP() << "no drawing corpus at " << corpusDir();
    }
    const auto sections = readR13Sections(bytes);
    ASSERT_TRUE(sections);
    bytes[static_cast<std::size_t>(sections->handles.data() - bytes.data()) + 40] ^= 0x10;
    for (const ReadDetail detail : {ReadDetail::Entities, ReadDetail::Contents}) {
        const ReadResult result = readDrawing(bytes, detail);
        ASSERT_TRUE(result.ok()) << describe(result.error);
        EXPECT_LT(result.drawing->entities.size(), 70u);
        EXPECT_TRUE(anyWarningHas(*result.drawing, "the object map's page 1 fails its CRC check"));
        EXPECT_TRUE(anyWarningHas(*result.drawing, "objects in the object map could not be read"));
    }
}

// A file that is truncated, grows or is rewritten while it is read (here right after the first read from it) is
// refused as changed; the same file left alone is read whole.
TEST(ChangedWhileRead, SizeOrTimeChangeIsRefused)
{
    darv::test::TempFolder folder;
    const std::string path = folder.file("drawing.dwg");
    const Bytes content(64 * 1024, 0x5A);
    const auto write = [&](std::size_t size) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(size));
    };
    const auto setTime = [&](long seconds) {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    write(content.size());
    setTime(1000000000);

    const FileBytes untouched = FileBytes::open(path, maxDrawingBytes, [] {});
    ASSERT_TRUE(untouched.ok()) << describe(untouched.error());
    EXPECT_TRUE(std::equal(content.begin(), content.end(), untouched.bytes().begin(), untouched.bytes().end()));

    const std::function<void()> changes[] = {
        [&] { ASSERT_EQ(::truncate(path.c_str(), 100), 0); },
        [&] { std::ofstream(path, std::ios::binary | std::ios::app) << "more"; },
        [&] {
            write(content.size());
            setTime(1000000001);
        },
    };
    for (const auto& change : changes) {
        write(content.size());
        setTime(1000000000);
        const FileBytes file = FileBytes::open(path, maxDrawingBytes, change);
        ASSERT_FALSE(file.ok());
        EXPECT_EQ(file.error().code, ErrorCode::Changed);
        EXPECT_EQ(describe(file.error()), "changed while it was read (" + path + ")");
        EXPECT_TRUE(file.bytes().empty());
    }
}

} // namespace
} // namespace dwg
