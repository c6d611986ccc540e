// Downloads as Moodle, Canvas and a plain ZIP hand them out: every drawing in its student's folder,
// the manifest, and a newer download that changes only what changed.
#include "ImportFixture.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace darv;
using namespace darv::test;
using submissions::ImportReport;

namespace {

using Item = ArchiveItem;

struct stat statOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

} // namespace

TEST_F(ImportFixture, moodleFoldersWithTheStudentsOwnZip)
{
    const std::string own = archiveBytes(scratch(), ArchiveFormat::Zip,
                                         {{"work/plan.dwg", corpusDrawing(2)}, {"plan.dwg", corpusDrawing(3)}});
    writeArchive(archive("moodle.zip"), ArchiveFormat::Zip,
                 {{"Anna Müller_123456_assignsubmission_file_/bracket.dwg", corpusDrawing(0)},
                  {"Anna Müller_123456_assignsubmission_file_/parts/bracket.dwg", corpusDrawing(1)},
                  {"Anna Müller_123456_assignsubmission_onlinetext_/onlinetext.html", "<p>hi</p>"},
                  {"Ben Ode_222_assignsubmission_file_/mine.zip", own},
                  {"Ben Ode_222_assignsubmission_file_/.hidden.dwg", corpusDrawing(4)},
                  {"__MACOSX/Ben Ode_222_assignsubmission_file_/._mine.zip", "resource fork"},
                  {"Ben Ode_222_assignsubmission_file_/._plan.dwg", "resource fork"}});
    const ImportReport report = import(archive("moodle.zip"));
    ASSERT_EQ(report.outcome, ImportReport::Outcome::Imported) << submissions::importMessage(report);
    EXPECT_EQ(report.students, 2U);
    EXPECT_EQ(report.files, 6U); // what macOS adds is no one's submission
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_TRUE(holds(target() + "/Anna Müller_123456/bracket.dwg", corpusDrawing(0)));
    EXPECT_TRUE(holds(target() + "/Anna Müller_123456/parts - bracket.dwg", corpusDrawing(1)));
    EXPECT_TRUE(std::filesystem::exists(target() + "/Anna Müller_123456/onlinetext.html"));
    EXPECT_TRUE(holds(target() + "/Ben Ode_222/work - plan.dwg", corpusDrawing(2)));
    EXPECT_TRUE(holds(target() + "/Ben Ode_222/plan.dwg", corpusDrawing(3)));
    EXPECT_TRUE(holds(target() + "/Ben Ode_222/_hidden.dwg", corpusDrawing(4)));
    EXPECT_FALSE(std::filesystem::exists(target() + "/Ben Ode_222/mine.zip"));

    const auto m = manifest();
    const auto* nested = fileOf(m, "Ben Ode_222", "work - plan.dwg");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->displayName, "Ben Ode");
    EXPECT_EQ(nested->platformId, "222");
    EXPECT_EQ(nested->originalName, "plan.dwg");
    EXPECT_EQ(nested->archivePath, "Ben Ode_222_assignsubmission_file_/mine.zip/work/plan.dwg");
    EXPECT_EQ(nested->size, corpusDrawing(2).size());
    EXPECT_EQ(nested->sha256, submissions::sha256Hex(corpusDrawing(2)));
    EXPECT_EQ(submissions::studentDisplayName(target() + "/Anna Müller_123456"), "Anna Müller");
    EXPECT_EQ(submissions::studentDisplayName(target() + "/Nobody"), std::nullopt);
    EXPECT_EQ(submissions::studentDisplayNames(target()),
              (std::map<std::string, std::string>{{"Anna Müller_123456", "Anna Müller"}, {"Ben Ode_222", "Ben Ode"}}));
}

TEST_F(ImportFixture, flatMoodleCanvasAndPlainArchivesInEveryFormat)
{
    writeArchive(archive("flat.tar.gz"), ArchiveFormat::TarGz,
                 {{"Ana Paz_5_assignsubmission_file_a.dwg", corpusDrawing(0)},
                  {"Ana Paz_5_assignsubmission_file_b.dwg", corpusDrawing(1)},
                  {"Cy Doe_6_assignsubmission_file_a.dwg", corpusDrawing(2)}});
    ASSERT_EQ(import(archive("flat.tar.gz")).outcome, ImportReport::Outcome::Imported);
    EXPECT_TRUE(holds(target() + "/Ana Paz_5/a.dwg", corpusDrawing(0)));
    EXPECT_TRUE(holds(target() + "/Ana Paz_5/b.dwg", corpusDrawing(1)));
    EXPECT_TRUE(holds(target() + "/Cy Doe_6/a.dwg", corpusDrawing(2)));

    std::filesystem::remove_all(target());
    writeArchive(archive("submissions.zip"), ArchiveFormat::Zip,
                 {{"doejane_101_9001_bracket.dwg", corpusDrawing(0)},
                  {"doejane_late_101_9002_bracket.dwg", corpusDrawing(1)},
                  {"roeric_102_9003_Bracket.DWG", corpusDrawing(2)},
                  {"import.json/x.dwg", corpusDrawing(4)},
                  {"loose.dwg", corpusDrawing(3)}});
    ASSERT_EQ(import(archive("submissions.zip")).outcome, ImportReport::Outcome::Imported);
    const auto canvas = manifest();
    const auto* first = fileOf(canvas, "doejane_101", "bracket.dwg");
    const auto* second = fileOf(canvas, "doejane_101", "bracket (2).dwg");
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(first->late);
    EXPECT_TRUE(second->late);
    EXPECT_EQ(second->displayName, "doejane");
    EXPECT_TRUE(holds(target() + "/roeric_102/Bracket.DWG", corpusDrawing(2)));
    EXPECT_TRUE(holds(target() + "/loose/loose.dwg", corpusDrawing(3)));       // neither platform: one student per file
    EXPECT_TRUE(holds(target() + "/import.json (2)/x.dwg", corpusDrawing(4))); // the manifest keeps its name

    for (const auto format : {ArchiveFormat::SevenZip, ArchiveFormat::TarXz}) {
        std::filesystem::remove_all(target());
        const std::string path = archive(format == ArchiveFormat::SevenZip ? "plain.7z" : "plain.tar.xz");
        writeArchive(path, format,
                     {{"class 3b/Tom/a.dwg", corpusDrawing(0)},
                      {"class 3b/Tom/x/a.dwg", corpusDrawing(1)},
                      {"class 3b/Zoë/a.dwg", corpusDrawing(2)}});
        ASSERT_EQ(import(path).outcome, ImportReport::Outcome::Imported) << path;
        EXPECT_TRUE(holds(target() + "/Tom/x - a.dwg", corpusDrawing(1))) << path;
        EXPECT_TRUE(holds(target() + "/Zoë/a.dwg", corpusDrawing(2))) << path;
        EXPECT_EQ(submissions::studentDisplayName(target() + "/Zoë"), "Zoë");
    }
}

TEST_F(ImportFixture, newerDownloadChangesOnlyWhatChanged)
{
    const std::string student = "Anna Meier_1_assignsubmission_file_/";
    writeArchive(archive("first.zip"), ArchiveFormat::Zip,
                 {{student + "same.dwg", corpusDrawing(0)},
                  {student + "changed.dwg", corpusDrawing(1)},
                  {student + "gone.dwg", corpusDrawing(2)}});
    // What an import that was killed left beside the target goes; that of a running one stays.
    const std::string dead = data() + "/submissions/.CLASS.import-999999999-abc";
    const std::string running = data() + "/submissions/.CLASS.import-" + std::to_string(::getpid()) + "-abc";
    std::filesystem::create_directories(dead + "/.staged");
    std::filesystem::create_directories(running);
    ASSERT_EQ(import(archive("first.zip")).outcome, ImportReport::Outcome::Imported);
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(running));
    const std::string folder = target() + "/Anna Meier_1/";
    const struct stat before = statOf(folder + "same.dwg");

    // The same archive again changes nothing at all.
    const std::string manifestBefore = readFile(target() + "/import.json");
    const ino_t folderBefore = statOf(target()).st_ino;
    const ImportReport again = import(archive("first.zip"));
    EXPECT_EQ(again.outcome, ImportReport::Outcome::Unchanged) << submissions::importMessage(again);
    EXPECT_EQ(readFile(target() + "/import.json"), manifestBefore);
    EXPECT_EQ(statOf(target()).st_ino, folderBefore);

    writeArchive(archive("second.zip"), ArchiveFormat::Zip,
                 {{student + "same.dwg", corpusDrawing(0), ArchiveItem::Kind::File, {}, 1800000000},
                  {student + "changed.dwg", corpusDrawing(3)},
                  {"Bo Kim_2_assignsubmission_file_/late.dwg", corpusDrawing(4)}});
    const ImportReport update = import(archive("second.zip"));
    ASSERT_EQ(update.outcome, ImportReport::Outcome::Imported) << submissions::importMessage(update);
    EXPECT_EQ(update.added, std::vector<std::string>{"Bo Kim_2/late.dwg"});
    EXPECT_EQ(update.replaced, std::vector<std::string>{"Anna Meier_1/changed.dwg"});
    EXPECT_EQ(update.unchanged, 1U);
    EXPECT_EQ(update.kept, std::vector<std::string>{"Anna Meier_1/gone.dwg"});
    const struct stat after = statOf(folder + "same.dwg");
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_TRUE(holds(folder + "changed.dwg", corpusDrawing(3)));
    EXPECT_TRUE(holds(folder + "gone.dwg", corpusDrawing(2)));
    const auto m = manifest();
    ASSERT_NE(fileOf(m, "Anna Meier_1", "gone.dwg"), nullptr);
    EXPECT_FALSE(fileOf(m, "Anna Meier_1", "gone.dwg")->inDownload);
    EXPECT_TRUE(fileOf(m, "Anna Meier_1", "changed.dwg")->inDownload);
    const std::string message = submissions::importMessage(update);
    EXPECT_NE(message.find("1 new, 1 replaced, 1 unchanged"), std::string::npos) << message;
    EXPECT_NE(message.find("no longer holds them:\n  Anna Meier_1/gone.dwg"), std::string::npos) << message;
}
