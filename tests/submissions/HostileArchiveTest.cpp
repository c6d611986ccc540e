// Archives from the internet are hostile input: nothing lands outside the target, bombs stop at the
// limits, encrypted and damaged entries are named, and a failed import leaves the earlier one as it was.
#include "ImportFixture.h"

using namespace darv;
using namespace darv::test;
using submissions::ImportReport;
using Kind = ArchiveItem::Kind;

namespace {

bool skippedWith(const ImportReport& report, const std::string& path, const std::string& reasonPart)
{
    for (const auto& skip : report.skipped)
        if (skip.archivePath == path && skip.reason.find(reasonPart) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST_F(ImportFixture, pathsAndLinksThatLeadOutAreRefusedByName)
{
    const std::string outside = m_root.file("outside");
    std::filesystem::create_directories(outside);
    writeArchive(archive("slip.tar.gz"), ArchiveFormat::TarGz,
                 {{"Ann/good.dwg", corpusDrawing(0)},
                  {"Ann/../../outside/slip.dwg", "evil"},
                  {"../outside/slip2.dwg", "evil"},
                  {outside + "/absolute.dwg", "evil"},
                  {"C:\\outside\\drive.dwg", "evil"},
                  {"Ann/link", {}, Kind::Symlink, outside},
                  {"Ann/link/through.dwg", "evil"},
                  {"Ann/hard.dwg", {}, Kind::Hardlink, "/etc/passwd"}});
    const ImportReport report = import(archive("slip.tar.gz"));
    ASSERT_EQ(report.outcome, ImportReport::Outcome::Imported) << submissions::importMessage(report);
    EXPECT_TRUE(skippedWith(report, "Ann/../../outside/slip.dwg", "\"..\""));
    EXPECT_TRUE(skippedWith(report, outside + "/absolute.dwg", "absolute"));
    EXPECT_TRUE(skippedWith(report, "C:\\outside\\drive.dwg", "drive letter"));
    EXPECT_TRUE(skippedWith(report, "Ann/link", "symbolic link"));
    EXPECT_TRUE(skippedWith(report, "Ann/hard.dwg", "hard link"));
    EXPECT_TRUE(std::filesystem::is_empty(outside));
    EXPECT_EQ(filesOutsideTarget(), std::set<std::string>{});
    // What lies behind the link's name is an ordinary file of the student: nothing follows a link.
    EXPECT_TRUE(holds(target() + "/Ann/link - through.dwg", "evil"));
    EXPECT_TRUE(holds(target() + "/Ann/good.dwg", corpusDrawing(0)));
    const std::string message = submissions::importMessage(report);
    EXPECT_NE(message.find("Ann/hard.dwg: it is a hard link (to /etc/passwd)"), std::string::npos) << message;
    EXPECT_EQ(manifest().skipped.size(), report.skipped.size());
}

// An earlier import that a failed one must leave as it was.
class FailedImport : public ImportFixture
{
protected:
    void SetUp() override
    {
        writeArchive(archive("good.zip"), ArchiveFormat::Zip, {{"Ann/a.dwg", corpusDrawing(0)}});
        ASSERT_EQ(import(archive("good.zip")).outcome, ImportReport::Outcome::Imported);
        m_manifestBefore = readFile(target() + "/import.json");
    }
    void TearDown() override
    {
        EXPECT_EQ(readFile(target() + "/import.json"), m_manifestBefore);
        EXPECT_TRUE(holds(target() + "/Ann/a.dwg", corpusDrawing(0)));
        EXPECT_FALSE(std::filesystem::exists(target() + "/Ben"));
        EXPECT_EQ(filesOutsideTarget(), std::set<std::string>{});
    }

    std::string m_manifestBefore;
};

TEST_F(FailedImport, bombStopsAtTheRatioBeforeItIsWritten)
{
    {
        ArchiveOut out(archive("bomb.zip"), ArchiveFormat::Zip);
        out.add({"Ben/a.dwg", corpusDrawing(1)});
        out.addLarge({"Ben/zeros.dwg"}, 1ULL << 30, std::string(1 << 20, '\0'));
    }
    EXPECT_LT(std::filesystem::file_size(archive("bomb.zip")), 4U << 20);
    const ImportReport bomb = import(archive("bomb.zip"));
    ASSERT_EQ(bomb.outcome, ImportReport::Outcome::Stopped);
    EXPECT_NE(bomb.reason.find("Ben/zeros.dwg: it unpacks to more than 200 times its size"), std::string::npos)
        << bomb.reason;
    EXPECT_LT(bomb.unpackedBytes, 16U << 20); // it stops before it writes the gigabyte, not after
}

TEST_F(FailedImport, streamWithoutSizesStopsAtTheTotal)
{
    {
        ArchiveOut out(archive("bomb.tar.xz"), ArchiveFormat::TarXz);
        out.addLarge({"Ben/zeros.dwg"}, 64ULL << 20, std::string(1 << 20, '\0'));
    }
    submissions::ImportLimits small;
    small.maxTotalBytes = 8ULL << 20;
    small.maxRatio = 1e9;
    const ImportReport total = import(archive("bomb.tar.xz"), small);
    ASSERT_EQ(total.outcome, ImportReport::Outcome::Stopped);
    EXPECT_NE(total.reason.find("more than 8 MB"), std::string::npos) << total.reason;
    EXPECT_LE(total.unpackedBytes, (8U << 20) + (1U << 20));
}

TEST_F(FailedImport, tooManyEntriesStop)
{
    {
        ArchiveOut out(archive("many.zip"), ArchiveFormat::Zip);
        for (int i = 0; i < 200000; ++i)
            out.add({"Ben/" + std::to_string(i) + ".txt"});
    }
    const ImportReport many = import(archive("many.zip"));
    ASSERT_EQ(many.outcome, ImportReport::Outcome::Stopped);
    EXPECT_NE(many.reason.find("more than 100000 entries"), std::string::npos) << many.reason;
}

TEST_F(FailedImport, downloadCutShortStops)
{
    writeArchive(archive("full.zip"), ArchiveFormat::Zip,
                 {{"Ann/a.dwg", corpusDrawing(1)}, {"Ben/b.dwg", corpusDrawing(2)}, {"Cy/c.dwg", corpusDrawing(3)}});
    const std::string full = readFile(archive("full.zip"));
    writeFile(archive("cut.zip"), full.substr(0, full.size() / 2));
    const ImportReport cut = import(archive("cut.zip"));
    ASSERT_EQ(cut.outcome, ImportReport::Outcome::Stopped);
    const std::string message = submissions::importMessage(cut);
    EXPECT_NE(message.find("cut short"), std::string::npos) << message;
    EXPECT_NE(message.find("Nothing was changed"), std::string::npos) << message;
}

TEST_F(ImportFixture, encryptedDamagedAndTooDeepEntriesAreSkippedAndNotRead)
{
    const std::string locked = archiveBytes(scratch(), ArchiveFormat::Zip, {{"secret.dwg", corpusDrawing(1)}}, "pw");
    const std::string innermost = archiveBytes(scratch(), ArchiveFormat::Zip, {{"deep.dwg", corpusDrawing(2)}});
    const std::string deep = archiveBytes(scratch(), ArchiveFormat::Zip, {{"inner.zip", innermost}});
    writeArchive(archive("mixed.zip"), ArchiveFormat::Zip,
                 {{"Ann/a.dwg", corpusDrawing(0)},
                  {"Ann/locked.zip", locked},
                  {"Ben/nested.zip", deep},
                  {"Cy/broken.zip", "PK\x03\x04 not really"}});
    const ImportReport report = import(archive("mixed.zip"));
    ASSERT_EQ(report.outcome, ImportReport::Outcome::Imported) << submissions::importMessage(report);
    EXPECT_TRUE(skippedWith(report, "Ann/locked.zip/secret.dwg", "encrypted"));
    EXPECT_TRUE(skippedWith(report, "Ben/nested.zip/inner.zip", "archives are unpacked 1 level deep"));
    EXPECT_TRUE(skippedWith(report, "Cy/broken.zip", "cannot be unpacked"));
    // The encrypted drawing, and the archives that could not be unpacked, stand in as empty drawings the
    // checks cannot read: no all-clear.
    EXPECT_TRUE(holds(target() + "/Ann/secret.dwg", ""));
    EXPECT_TRUE(holds(target() + "/Ben/inner.zip.dwg", ""));
    EXPECT_TRUE(holds(target() + "/Cy/broken.zip.dwg", ""));
    const auto m = manifest();
    ASSERT_NE(fileOf(m, "Ann", "secret.dwg"), nullptr);
    EXPECT_TRUE(fileOf(m, "Ann", "secret.dwg")->unreadable);
    EXPECT_EQ(m.skipped.size(), 3U);
    EXPECT_EQ(filesOutsideTarget(), std::set<std::string>{});

    // A whole download that is encrypted names every entry.
    writeArchive(archive("locked.zip"), ArchiveFormat::Zip,
                 {{"Ann/a.dwg", corpusDrawing(0)}, {"Ben/b.dwg", corpusDrawing(1)}}, "pw");
    const ImportReport lockedReport = import(archive("locked.zip"));
    EXPECT_TRUE(skippedWith(lockedReport, "Ann/a.dwg", "encrypted"));
    EXPECT_TRUE(skippedWith(lockedReport, "Ben/b.dwg", "encrypted"));

    // A download of nothing but links imports nothing, and says why.
    writeArchive(archive("links.tar.gz"), ArchiveFormat::TarGz, {{"Ann/a.dwg", {}, Kind::Symlink, "/etc/passwd"}});
    const ImportReport links = import(archive("links.tar.gz"));
    EXPECT_EQ(links.outcome, ImportReport::Outcome::Stopped);
    const std::string message = submissions::importMessage(links);
    EXPECT_NE(message.find("it holds no file to import"), std::string::npos) << message;
    EXPECT_NE(message.find("Ann/a.dwg: it is a symbolic link"), std::string::npos) << message;
}

TEST_F(FailedImport, unreadableManifestStopsTheUpdate)
{
    m_manifestBefore = "{ this is no manifest";
    writeFile(target() + "/import.json", m_manifestBefore);
    writeArchive(archive("newer.zip"), ArchiveFormat::Zip, {{"Ann/a.dwg", corpusDrawing(1)}});
    const ImportReport report = import(archive("newer.zip"));
    ASSERT_EQ(report.outcome, ImportReport::Outcome::Stopped);
    EXPECT_NE(report.reason.find("the earlier import's manifest cannot be read"), std::string::npos) << report.reason;
}

TEST_F(ImportFixture, damagedEntryIsSkippedAndTheRestImported)
{
    writeArchive(archive("full.zip"), ArchiveFormat::Zip,
                 {{"Ann/a.dwg", corpusDrawing(1)}, {"Ben/b.dwg", corpusDrawing(2)}, {"Cy/c.dwg", corpusDrawing(3)}});
    std::string bytes = readFile(archive("full.zip"));
    const auto at = bytes.find("Ben/b.dwg");
    ASSERT_NE(at, std::string::npos);
    for (std::size_t k = at + 200; k < at + 400; ++k)
        bytes[k] = static_cast<char>(~bytes[k]);
    writeFile(archive("damaged.zip"), bytes);
    const ImportReport report = import(archive("damaged.zip"));
    ASSERT_EQ(report.outcome, ImportReport::Outcome::Imported) << submissions::importMessage(report);
    EXPECT_TRUE(skippedWith(report, "Ben/b.dwg", "it is damaged"));
    EXPECT_TRUE(holds(target() + "/Ann/a.dwg", corpusDrawing(1)));
    EXPECT_TRUE(holds(target() + "/Cy/c.dwg", corpusDrawing(3)));
    EXPECT_TRUE(holds(target() + "/Ben/b.dwg", "")); // the stand-in: not read, no all-clear
}
