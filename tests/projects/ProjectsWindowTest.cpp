// Projects and locations in the main window: the list files, selection, the count and the jump.
#include "support/GuiFixture.h"

#include "collect/window/LowerPanel.h"
#include "projects/ProjectLock.h"
#include "projects/QuotedLinesFile.h"
#include "projects/window/FolderList.h"
#include "projects/window/LocationsPage.h"
#include "projects/window/ProjectsPage.h"
#include "reports/window/ReportsPage.h"
#include "submissions/ArchiveWriter.h"
#include "support/FailingFolders.h"
#include "widgets/NameText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace darv;
using namespace darv::test;

namespace {

void addProject(MainWindowRun& run, const QString& name)
{
    run.window->projectsPage()->txtProject->setText(name);
    run.window->cmdAddproj_Click();
}

void addLocation(MainWindowRun& run, const QString& folder, bool withSubfolders)
{
    run.window->locationsPage()->chkSub0->setChecked(withSubfolders);
    QVERIFY(run.window->locationsPage()->dirMain->setPath(folder));
    run.window->cmdAddloc_Click();
}

QStringList items(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

// Undoes a read-only mount however the test ends.
class UnmountAfter
{
public:
    explicit UnmountAfter(std::string folder) : m_folder(std::move(folder)) {}
    ~UnmountAfter() { darv::test::unmount(m_folder); }
    UnmountAfter(const UnmountAfter&) = delete;
    UnmountAfter& operator=(const UnmountAfter&) = delete;

private:
    std::string m_folder;
};

QStringList filesUnder(const QString& root)
{
    QStringList result;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        result << it.next();
    result.sort();
    return result;
}

} // namespace

class ProjectsWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void addProjectWritesExactBytesAndSelectsIt();
    void duplicateInAnotherCaseIsRefused();
    void unsafeNamesAreRefusedAndNothingWrittenOutside();
    void nameWithQuoteSurvivesWriteAndRead();
    void unsafeNameFromAnEditedListTouchesNothingOutside();
    void removeMiddleProjectRewritesListAndDeletesItsFiles();
    void removalWaitsForARunOnTheProject();
    void selectionLoadsSortedLocationsAndSetsButtons();
    void locationsAddedInOrderShownSortedAndRemoved();
    void countFollowsMarkers();
    void deletedLocationFolderLeavesZeroCountSilently();
    void jumpMessages();
    void mouseClickSelectsTheClickedProject();
    void driveNotReadyFallsBackToTheSystemVolume();
    void doubleClickOpensAFolder();
    void noSelectedProjectDisablesWhatNeedsOne();
    void failedWritesAreShownAndNothingIsListedThatIsNotStored();
    void namesThatAreNotUtf8KeepTheirBytes();
    void importedSubmissionsBecomeALocationAndOutliveTheProject();
};

void ProjectsWindowTest::addProjectWritesExactBytesAndSelectsIt()
{
    DataFolder data;
    auto run = startMainWindow();
    QVERIFY(!run->window->projectsPage()->cmdAddproj->isEnabled());
    run->window->projectsPage()->txtProject->setText(QStringLiteral("Tutorial 3"));
    QVERIFY(run->window->projectsPage()->cmdAddproj->isEnabled());
    run->window->cmdAddproj_Click();
    QListWidget* list = run->window->projectsPage()->lstProjects;
    QCOMPARE(items(list), QStringList{QStringLiteral("TUTORIAL 3")});
    QVERIFY(list->item(0)->isSelected());
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")), std::optional<QByteArray>("\"TUTORIAL 3\"\r\n"));
    QCOMPARE(run->window->locationsPage()->lblProject0->text(), QStringLiteral("Project: TUTORIAL 3"));
    QCOMPARE(run->window->reportsPage()->lblProject1->text(), QStringLiteral("Project: TUTORIAL 3"));
    QVERIFY(run->window->projectsPage()->txtProject->text().isEmpty());
    QVERIFY(!run->window->projectsPage()->cmdAddproj->isEnabled());
    LowerPanel* panel = run->window->lowerPanel();
    QVERIFY(run->window->locationsPage()->cmdAddloc->isEnabled());
    QVERIFY(panel->cmdCollect->isEnabled());
    QVERIFY(!panel->cmdCompare->isEnabled());
    QVERIFY(run->window->projectsPage()->cmdRemproj->isEnabled());
    QCOMPARE(panel->lblTotalFiles->text(), QStringLiteral("0000"));
    QVERIFY(run->window->locationsPage()->lstLocations->count() == 0);
    // No location file until the first location.
    QVERIFY(!data.exists(QStringLiteral("projects/TUTORIAL 3.prj")));
}

void ProjectsWindowTest::duplicateInAnotherCaseIsRefused()
{
    DataFolder data;
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("Tutorial 3"));
    addProject(*run, QStringLiteral("Week 1"));
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    addProject(*run, QStringLiteral("tutorial 3"));
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].text, std::string("Duplicate project name!"));
    QCOMPARE(run->messages.shown[0].title, std::string("DARV Error"));
    QVERIFY(run->messages.shown[0].icon == MessageIcon::Information);
    QCOMPARE(run->window->projectsPage()->lstProjects->count(), 2);
    QCOMPARE(run->window->selectedProject(), QStringLiteral("WEEK 1"));
    QVERIFY(run->window->projectsPage()->txtProject->text().isEmpty());
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")),
             std::optional<QByteArray>("\"TUTORIAL 3\"\r\n\"WEEK 1\"\r\n"));
}

void ProjectsWindowTest::unsafeNamesAreRefusedAndNothingWrittenOutside()
{
    DataFolder data;
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("Safe"));
    const QStringList before = filesUnder(QFileInfo(data.path()).absolutePath());
    for (const QString& name : {QStringLiteral(".."), QStringLiteral("."), QStringLiteral("../../escape"),
                                QStringLiteral("a/b"), QString(QStringLiteral("nul")) + QChar(0)}) {
        run->messages.shown.clear();
        addProject(*run, name);
        QCOMPARE(run->messages.shown.size(), std::size_t(1));
        QCOMPARE(run->messages.shown[0].text, std::string("Invalid project name!"));
        QCOMPARE(run->messages.shown[0].title, std::string("DARV Error"));
        QCOMPARE(run->window->selectedProject(), QStringLiteral("SAFE"));
        QVERIFY(run->window->projectsPage()->txtProject->text().isEmpty());
    }
    QCOMPARE(items(run->window->projectsPage()->lstProjects), QStringList{QStringLiteral("SAFE")});
    QCOMPARE(filesUnder(QFileInfo(data.path()).absolutePath()), before);
    // Blanks, quotes and letters beyond ASCII stay allowed.
    run->messages.shown.clear();
    addProject(*run, QStringLiteral("Ärger \"2\""));
    QVERIFY(run->messages.shown.empty());
    QCOMPARE(run->window->selectedProject(), QStringLiteral("ÄRGER \"2\""));
}

void ProjectsWindowTest::nameWithQuoteSurvivesWriteAndRead()
{
    DataFolder data;
    {
        auto run = startMainWindow();
        addProject(*run, QStringLiteral("say \"hi\""));
    }
    auto run = startMainWindow();
    QCOMPARE(items(run->window->projectsPage()->lstProjects), QStringList{QStringLiteral("SAY \"HI\"")});
}

void ProjectsWindowTest::unsafeNameFromAnEditedListTouchesNothingOutside()
{
    DataFolder data;
    // A project list edited by hand: the name leads two folders up, out of the data folder.
    data.write(QStringLiteral("projects/projects.fil"), "\"SAFE\"\r\n\"../../ESCAPE\"\r\n");
    const QString outside = QFileInfo(data.path()).absolutePath() + QStringLiteral("/ESCAPE.cmp");
    QFile sentinel(outside);
    QVERIFY(sentinel.open(QIODevice::WriteOnly));
    sentinel.write("keep");
    sentinel.close();
    auto run = startMainWindow();
    run->window->projectsPage()->lstProjects->setCurrentRow(1);
    QCOMPARE(run->window->selectedProject(), QStringLiteral("../../ESCAPE"));
    run->window->cmdAddloc_Click();
    run->window->cmdCollect_Click();
    run->window->cmdCompare_Click();
    QCOMPARE(run->messages.texts(),
             (std::vector<std::string>{"Invalid project name!", "Invalid project name!", "Invalid project name!"}));
    run->window->cmdRemproj_Click();
    QCOMPARE(items(run->window->projectsPage()->lstProjects), QStringList{QStringLiteral("SAFE")});
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")), std::optional<QByteArray>("\"SAFE\"\r\n"));
    QVERIFY(QFile::exists(outside));
    QFile::remove(outside);
}

void ProjectsWindowTest::removeMiddleProjectRewritesListAndDeletesItsFiles()
{
    DataFolder data;
    auto run = startMainWindow();
    for (const QString& name : {QStringLiteral("ONE"), QStringLiteral("TWO"), QStringLiteral("THREE")})
        addProject(*run, name);
    for (const char* file : {"projects/TWO.prj", "compares/TWO.cmp", "handle conflicts/TWO.hnd",
                             "time conflicts/TWO.tim", "date conflicts/TWO.dat", "projects/ONE.prj"})
        data.write(QString::fromLatin1(file), "\"x\"\r\n");
    run->window->projectsPage()->lstProjects->setCurrentRow(1);
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 1);
    run->window->cmdRemproj_Click();
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")), std::optional<QByteArray>("\"ONE\"\r\n\"THREE\"\r\n"));
    for (const char* gone :
         {"projects/TWO.prj", "compares/TWO.cmp", "handle conflicts/TWO.hnd", "time conflicts/TWO.tim"})
        QVERIFY2(!data.exists(QString::fromLatin1(gone)), gone);
    QVERIFY(data.exists(QStringLiteral("date conflicts/TWO.dat")));
    QVERIFY(data.exists(QStringLiteral("projects/ONE.prj")));
    QVERIFY(run->window->selectedProject().isEmpty());
    QVERIFY(!run->window->hasSelectedProject());
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 0);
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0000"));
    for (QPushButton* b : {run->window->projectsPage()->cmdRemproj, run->window->locationsPage()->cmdAddloc,
                           run->window->locationsPage()->cmdRemloc, run->window->lowerPanel()->cmdCollect})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    // The captions keep the removed project's name.
    QCOMPARE(run->window->locationsPage()->lblProject0->text(), QStringLiteral("Project: TWO"));
    // A new project of the same name starts with nothing.
    addProject(*run, QStringLiteral("two"));
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 0);
    QVERIFY(!run->window->lowerPanel()->cmdCompare->isEnabled());
}

void ProjectsWindowTest::removalWaitsForARunOnTheProject()
{
    DataFolder data;
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("BUSY"));
    data.write(QStringLiteral("compares/BUSY.cmp"), "x");
    // A run elsewhere holds the project (the lock belongs to the open file, so this counts as another run).
    ProjectLock other = ProjectLock::acquire(data.path().toStdString(), "BUSY");
    QVERIFY(other.held());
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    run->window->cmdRemproj_Click();
    QCOMPARE(run->messages.shown.size(), std::size_t{1});
    QCOMPARE(run->messages.shown[0].title, std::string("DARV Warning"));
    QVERIFY(run->messages.shown[0].text.find("is being collected or compared") != std::string::npos);
    QCOMPARE(items(run->window->projectsPage()->lstProjects), QStringList{QStringLiteral("BUSY")});
    QVERIFY(data.exists(QStringLiteral("compares/BUSY.cmp")));
    other.release();
    run->window->cmdRemproj_Click();
    QCOMPARE(run->window->projectsPage()->lstProjects->count(), 0);
    QVERIFY(!data.exists(QStringLiteral("compares/BUSY.cmp")));
}

void ProjectsWindowTest::selectionLoadsSortedLocationsAndSetsButtons()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("b/1.dwg"), QStringLiteral("a/2.dwg"), QStringLiteral("C/3.dwg")});
    data.write(QStringLiteral("projects/projects.fil"), "\"P\"\r\n\"Q\"\r\n");
    const QByteArray root = drawings.path().toUtf8();
    data.write(QStringLiteral("projects/P.prj"),
               "\"-" + root + "/b\"\r\n\"+" + root + "/C\"\r\n\"-" + root + "/a\"\r\nx\r\n");
    data.write(QStringLiteral("compares/P.cmp"), "\"A,1,,END\"\r\n");
    data.write(QStringLiteral("compares/Q.cmp"), "");
    auto run = startMainWindow();
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    const QString r = drawings.path();
    QCOMPARE(
        items(run->window->locationsPage()->lstLocations),
        (QStringList{QStringLiteral("+") + r + QStringLiteral("/C"), QStringLiteral("-") + r + QStringLiteral("/a"),
                     QStringLiteral("-") + r + QStringLiteral("/b")}));
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0003"));
    QVERIFY(run->window->lowerPanel()->cmdCompare->isEnabled());
    QVERIFY(!run->window->locationsPage()->cmdRemloc->isEnabled());
    QVERIFY(!run->window->locationsPage()->cmdJump->isEnabled());
    QCOMPARE(run->window->projectsPage()->lstProjects->toolTip(), QStringLiteral("P"));
    run->window->projectsPage()->lstProjects->setCurrentRow(1);
    QVERIFY(!run->window->lowerPanel()->cmdCompare->isEnabled());
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0000"));
}

void ProjectsWindowTest::locationsAddedInOrderShownSortedAndRemoved()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("B/x.dwg"), QStringLiteral("A/y.dwg")});
    const QString a = drawings.path() + QStringLiteral("/A");
    const QString b = drawings.path() + QStringLiteral("/B");
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("W"));
    addLocation(*run, b, false);
    addLocation(*run, a, false);
    QListWidget* list = run->window->locationsPage()->lstLocations;
    QCOMPARE(items(list), (QStringList{QStringLiteral("-") + a, QStringLiteral("-") + b}));
    QCOMPARE(data.read(QStringLiteral("projects/W.prj")),
             std::optional<QByteArray>("\"-" + b.toUtf8() + "\"\r\n\"-" + a.toUtf8() + "\"\r\n"));
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0002"));

    // The same folder again, with either state of the sub-folder box.
    addLocation(*run, a, true);
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].text, std::string("Path already exists!"));
    QVERIFY(run->messages.shown[0].icon == MessageIcon::Critical);
    QCOMPARE(list->count(), 2);

    // Changing the box does not change existing markers; removing rewrites in shown order.
    run->window->locationsPage()->chkSub0->setChecked(true);
    QCOMPARE(data.read(QStringLiteral("folders.fil")), std::optional<QByteArray>("1\r\n"));
    list->setCurrentRow(1);
    QVERIFY(run->window->locationsPage()->cmdRemloc->isEnabled());
    QVERIFY(run->window->locationsPage()->cmdJump->isEnabled());
    run->window->cmdRemloc_Click();
    QCOMPARE(items(list), QStringList{QStringLiteral("-") + a});
    QCOMPARE(data.read(QStringLiteral("projects/W.prj")), std::optional<QByteArray>("\"-" + a.toUtf8() + "\"\r\n"));
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(run->window->locationsPage()->cmdRemloc->isEnabled());
    run->window->cmdRemloc_Click();
    QCOMPARE(data.read(QStringLiteral("projects/W.prj")), std::optional<QByteArray>(QByteArray()));
    QVERIFY(!run->window->locationsPage()->cmdRemloc->isEnabled());
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0000"));

    // With the box set the marker is "+".
    addLocation(*run, a, true);
    QCOMPARE(items(list), QStringList{QStringLiteral("+") + a});
}

void ProjectsWindowTest::countFollowsMarkers()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("K/a.dwg"), QStringLiteral("K/b.DWG"), QStringLiteral("K/c.Dwg"),
                                QStringLiteral("K/d.dwg.bak"), QStringLiteral("K/.e.dwg"), QStringLiteral("K/S/1.dwg"),
                                QStringLiteral("K/S/2.dwg"), QStringLiteral("K/T/3.dwg"), QStringLiteral("K/T/4.dwg"),
                                QStringLiteral("K/T/5.dwg"), QStringLiteral("K/T/Deep/6.dwg")});
    const QString k = drawings.path() + QStringLiteral("/K");
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("A"));
    addLocation(*run, k, false);
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0003"));
    addProject(*run, QStringLiteral("B"));
    addLocation(*run, k, true);
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0008"));
}

void ProjectsWindowTest::deletedLocationFolderLeavesZeroCountSilently()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("K/a.dwg")});
    const QString k = drawings.path() + QStringLiteral("/K");
    auto run = startMainWindow();
    addProject(*run, QStringLiteral("A"));
    addLocation(*run, k, false);
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0001"));
    addProject(*run, QStringLiteral("B"));
    QDir(k).removeRecursively();
    run->messages.shown.clear();
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 1);
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0000"));
    QVERIFY(run->messages.shown.empty());
    QVERIFY(run->window->lowerPanel()->cmdCollect->isEnabled());
}

void ProjectsWindowTest::jumpMessages()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("Class A/a.dwg"), QStringLiteral("Gone/b.dwg")});
    const QString classA = drawings.path() + QStringLiteral("/Class A");
    const QString gone = drawings.path() + QStringLiteral("/Gone");
    data.write(QStringLiteral("projects/projects.fil"), "\"J\"\r\n");
    data.write(QStringLiteral("projects/J.prj"),
               "\"+" + classA.toUtf8() + "\"\r\n\"-" + gone.toUtf8() + "\"\r\n\"-C:\\Students\\Class A\"\r\n");
    QDir(gone).removeRecursively();
    auto run = startMainWindow();
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    QListWidget* list = run->window->locationsPage()->lstLocations;
    QCOMPARE(list->count(), 3);

    auto jumpTo = [&](const QString& entry) {
        const auto found = list->findItems(entry, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->setCurrentItem(found.first());
        run->messages.shown.clear();
        run->window->cmdJump_Click();
    };
    jumpTo(QStringLiteral("+") + classA);
    QVERIFY(run->messages.shown.empty());
    QCOMPARE(run->window->locationsPage()->dirMain->path(), classA);
    QCOMPARE(run->window->locationsPage()->drvMain->currentData().toString(), QStringLiteral("/"));

    jumpTo(QStringLiteral("-") + gone);
    QCOMPARE(run->messages.texts(), std::vector<std::string>{"Path does not exist - CANNOT jump to this location!"});
    QCOMPARE(run->messages.shown[0].title, std::string("Darv2007"));

    jumpTo(QStringLiteral("-C:\\Students\\Class A"));
    QCOMPARE(run->messages.texts(), (std::vector<std::string>{"Drive does not exist - CANNOT jump to this location!",
                                                              "Path does not exist - CANNOT jump to this location!"}));
    QVERIFY(run->messages.shown[1].icon == MessageIcon::Critical);
}

void ProjectsWindowTest::mouseClickSelectsTheClickedProject()
{
    DataFolder data;
    data.write(QStringLiteral("projects/projects.fil"), "\"ONE\"\r\n\"TWO\"\r\n");
    data.write(QStringLiteral("projects/TWO.prj"), "\"-/nowhere\"\r\n");
    auto run = startMainWindow();
    QListWidget* list = run->window->projectsPage()->lstProjects;
    const QRect itemRect = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemRect.center());
    QCOMPARE(run->window->selectedProject(), QStringLiteral("TWO"));
    QCOMPARE(run->window->locationsPage()->lblProject0->text(), QStringLiteral("Project: TWO"));
    QCOMPARE(items(run->window->locationsPage()->lstLocations), QStringList{QStringLiteral("-/nowhere")});
    QVERIFY(run->window->locationsPage()->cmdAddloc->isEnabled());
}

void ProjectsWindowTest::driveNotReadyFallsBackToTheSystemVolume()
{
    DataFolder data;
    auto run = startMainWindow();
    QComboBox* drives = run->window->locationsPage()->drvMain;
    QCOMPARE(drives->itemData(0).toString(), QStringLiteral("/"));
    QCOMPARE(run->window->locationsPage()->dirMain->path(), QDir::homePath());
    // A volume that went away (an unplugged stick) cannot be listed.
    drives->addItem(QStringLiteral("/media/gone"), QStringLiteral("/nonexistent-volume-of-the-test"));
    drives->setCurrentIndex(drives->count() - 1);
    run->window->drvMain_Change();
    QCOMPARE(run->messages.texts(), std::vector<std::string>{"Drive not ready!"});
    QCOMPARE(run->messages.shown[0].title, std::string("Drive Error"));
    QVERIFY(run->messages.shown[0].icon == MessageIcon::Critical);
    QCOMPARE(drives->currentIndex(), 0);
    QCOMPARE(run->window->locationsPage()->dirMain->path(), QDir::homePath());
}

void ProjectsWindowTest::doubleClickOpensAFolder()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("Class A/a.dwg")});
    auto run = startMainWindow();
    FolderList* folders = run->window->locationsPage()->dirMain;
    QVERIFY(folders->setPath(drawings.path()));
    const auto found = folders->findItems(QStringLiteral("Class A"), Qt::MatchEndsWith);
    QCOMPARE(found.size(), 1);
    const QPoint at = folders->visualItemRect(found.first()).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(folders->path(), drawings.path() + QStringLiteral("/Class A"));
    // Its parent is listed above it and opens the same way.
    const auto parent = folders->findItems(QFileInfo(drawings.path()).fileName(), Qt::MatchEndsWith);
    QCOMPARE(parent.size(), 1);
    const QPoint parentAt = folders->visualItemRect(parent.first()).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, parentAt, 500);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, parentAt);
    QCOMPARE(folders->path(), drawings.path());
}

void ProjectsWindowTest::noSelectedProjectDisablesWhatNeedsOne()
{
    DataFolder data;
    QTemporaryDir drawings;
    data.write(QStringLiteral("projects/projects.fil"), "\"ONE\"\r\n");
    data.write(QStringLiteral("projects/ONE.prj"), "\"-" + drawings.path().toUtf8() + "\"\r\n");
    data.write(QStringLiteral("compares/ONE.cmp"), "\"A,1,,END\"\r\n");
    auto run = startMainWindow();
    QListWidget* list = run->window->projectsPage()->lstProjects;
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    LowerPanel* panel = run->window->lowerPanel();
    QVERIFY(panel->cmdCompare->isEnabled());
    QVERIFY(run->window->reportsPage()->cmdSimilar->isEnabled());
    run->window->locationsPage()->lstLocations->setCurrentRow(0);
    QVERIFY(run->window->locationsPage()->cmdJump->isEnabled());

    // Ctrl+click on the selected project takes its selection away.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QVERIFY(!run->window->hasSelectedProject());
    for (QPushButton* button : {run->window->projectsPage()->cmdRemproj, run->window->locationsPage()->cmdAddloc,
                                run->window->locationsPage()->cmdRemloc, run->window->locationsPage()->cmdJump,
                                panel->cmdCollect, panel->cmdCompare})
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 0);
    QCOMPARE(run->window->locationsPage()->lblProject0->text(), QStringLiteral("Project:"));

    // The handlers refuse an empty name too: no file whose name is only an extension.
    run->window->cmdAddloc_Click();
    run->window->cmdCollect_Click();
    run->window->cmdCompare_Click();
    QCOMPARE(filesUnder(data.path()).filter(QRegularExpression(QStringLiteral("/\\.[a-z]+$"))), QStringList());
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")), std::optional<QByteArray>("\"ONE\"\r\n"));
}

void ProjectsWindowTest::failedWritesAreShownAndNothingIsListedThatIsNotStored()
{
    DataFolder data;
    const QByteArray longName(252, 'L');
    data.write(QStringLiteral("projects/projects.fil"), "\"" + longName + "\"\r\n");
    auto run = startMainWindow();
    // A project whose location file cannot be made (its name is longer than a file name may be).
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    QVERIFY(run->window->locationsPage()->dirMain->setPath(QDir::tempPath()));
    run->window->cmdAddloc_Click();
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].title, std::string("DARV Error"));
    QVERIFY(run->messages.shown[0].text.find("File name too long") != std::string::npos);
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 0);

    // A read-only data folder: the project is not added, and Exit says that the choice was not saved.
    if (!makeReadOnly(data.str()))
        QSKIP("cannot make a read-only folder here");
    const UnmountAfter unmount(data.str());
    addProject(*run, QStringLiteral("Week 3"));
    QCOMPARE(items(run->window->projectsPage()->lstProjects), QStringList{QString::fromLatin1(longName)});
    QVERIFY(run->messages.shown.back().text.find("projects.fil: Read-only file system") != std::string::npos);
    const std::size_t before = run->messages.shown.size();
    run->window->cmdExit_Click();
    QCOMPARE(run->messages.shown.size(), before + 1);
    QVERIFY(run->messages.shown.back().text.find("default.fil: Read-only file system") != std::string::npos);
    QCOMPARE(run->endCalls, 1);
}

void ProjectsWindowTest::namesThatAreNotUtf8KeepTheirBytes()
{
    DataFolder data;
    QTemporaryDir drawings;
    const std::string foreign = drawings.path().toStdString() + "/CAF\xC9";
    // QTemporaryDir cannot remove names that are not UTF-8: these go by their bytes, before the folders.
    struct RemoveByBytes
    {
        std::vector<std::string> paths;
        ~RemoveByBytes()
        {
            for (const std::string& path : paths) {
                std::error_code ec;
                std::filesystem::remove_all(path, ec);
            }
        }
    } cleanup{{foreign, data.str() + "/projects/CAF\xC9 2006.prj"}};
    std::filesystem::create_directories(foreign);
    data.write(QStringLiteral("projects/projects.fil"), "\"ALPHA\"\r\n\"CAF\xC9 2006\"\r\n\"OMEGA\"\r\n");
    std::ofstream(data.str() + "/projects/CAF\xC9 2006.prj", std::ios::binary) << "\"-/x\"\r\n";
    auto run = startMainWindow();
    QListWidget* list = run->window->projectsPage()->lstProjects;
    list->setCurrentRow(1);
    QCOMPARE(items(run->window->locationsPage()->lstLocations), QStringList{QStringLiteral("-/x")});
    // The folder opens in the folder list and becomes a location with the same bytes.
    FolderList* folders = run->window->locationsPage()->dirMain;
    QVERIFY(folders->setPath(drawings.path()));
    const auto found = folders->findItems(QStringLiteral("CAF"), Qt::MatchContains);
    QCOMPARE(found.size(), 1);
    emit folders->itemActivated(found.first());
    QCOMPARE(nameBytes(folders->path()), foreign);
    run->window->cmdAddloc_Click();
    const auto prj = readQuotedLines(data.str() + "/projects/CAF\xC9 2006.prj");
    QVERIFY(prj);
    QCOMPARE(QByteArray::fromStdString(prj->back()), QByteArray::fromStdString("+" + foreign));
    // Removing another project rewrites the list with the same bytes.
    list->setCurrentRow(2);
    run->window->cmdRemproj_Click();
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")),
             std::optional<QByteArray>("\"ALPHA\"\r\n\"CAF\xC9 2006\"\r\n"));
}

void ProjectsWindowTest::importedSubmissionsBecomeALocationAndOutliveTheProject()
{
    DataFolder data;
    QTemporaryDir downloads;
    const std::string archive = downloads.filePath(QStringLiteral("moodle.zip")).toStdString();
    writeArchive(archive, ArchiveFormat::Zip,
                 {{"Anna Meier_1_assignsubmission_file_/a.dwg", "drawing of Anna"},
                  {"Bo Kim_2_assignsubmission_file_/b.dwg", "drawing of Bo"}});
    auto run = startMainWindow();
    // The button stands in the free space beside the note, which stays readable, and its caption fits.
    const LocationsPage* page = run->window->locationsPage();
    QVERIFY(page->Label3->fontMetrics().horizontalAdvance(page->Label3->text()) < page->cmdImport->x());
    QVERIFY(page->cmdImport->fontMetrics().horizontalAdvance(page->cmdImport->text()) < page->cmdImport->width());
    QVERIFY(!page->cmdImport->isEnabled());
    addProject(*run, QStringLiteral("class"));
    QVERIFY(run->window->locationsPage()->cmdImport->isEnabled());
    run->window->importSubmissions(QString::fromStdString(archive));
    const QString target = data.path() + QStringLiteral("/submissions/CLASS");
    QCOMPARE(items(run->window->locationsPage()->lstLocations), QStringList{QStringLiteral("+") + target});
    QCOMPARE(run->window->lowerPanel()->lblTotalFiles->text(), QStringLiteral("0002"));
    QCOMPARE(run->messages.shown.size(), std::size_t{1});
    QCOMPARE(run->messages.shown[0].icon, MessageIcon::Information);
    QVERIFY2(run->messages.shown[0].text.find("Imported 2 files of 2 students") != std::string::npos,
             run->messages.shown[0].text.c_str());
    QVERIFY(run->messages.shown[0].text.find("added to the project's locations") != std::string::npos);

    // Again: nothing changes, the location is not listed twice.
    run->window->importSubmissions(QString::fromStdString(archive));
    QVERIFY(run->messages.shown.back().text.find("Nothing changed") != std::string::npos);
    QCOMPARE(run->window->locationsPage()->lstLocations->count(), 1);
    QCOMPARE(data.read(QStringLiteral("projects/CLASS.prj")),
             std::optional<QByteArray>(("\"+" + target + "\"\r\n").toUtf8()));

    // While another DARV works on the project nothing is imported.
    {
        const ProjectLock other = ProjectLock::acquire(data.str(), "CLASS");
        QVERIFY(other.held());
        run->window->importSubmissions(QString::fromStdString(archive));
        QVERIFY(run->messages.shown.back().text.find("Nothing was imported.") != std::string::npos);
    }

    // Removing the project leaves the students' work and says where.
    run->messages.shown.clear();
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    run->window->cmdRemproj_Click();
    QCOMPARE(run->messages.shown.size(), std::size_t{1});
    QVERIFY2(run->messages.shown[0].text.find("Its imported submissions stay in " + target.toStdString()) !=
                 std::string::npos,
             run->messages.shown[0].text.c_str());
    QVERIFY(QFile::exists(target + QStringLiteral("/Bo Kim_2/b.dwg")));
    QVERIFY(!data.exists(QStringLiteral("projects/CLASS.prj")));
}

DARV_GUI_TEST_MAIN(ProjectsWindowTest)
#include "ProjectsWindowTest.moc"
