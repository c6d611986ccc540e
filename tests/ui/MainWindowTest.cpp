// The main window: start-up, the settings files, shutdown, the tab strip and the options panel.
#include "support/GuiFixture.h"

#include "collect/window/LowerPanel.h"
#include "projects/window/FolderList.h"
#include "projects/window/LocationsPage.h"
#include "projects/window/ProjectsPage.h"
#include "reports/window/ReportsPage.h"
#include "ui/AboutPage.h"
#include "widgets/ListChoiceComboBox.h"
#include "widgets/ProgressBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

using namespace darv;
using namespace darv::test;

namespace {
const char* kLineWarning =
    "Warning! LINES often result in large quantities,\rtherefore comparison times may be lengthy...";

bool lineWarningShown(const MainWindowRun& run)
{
    for (const auto& m : run.messages.shown)
        if (m.title == "Entity Selection" && m.text == kLineWarning && m.icon == MessageIcon::Information)
            return true;
    return false;
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void firstStartWithoutSettingsFiles();
    void savedEntityPositions_data();
    void savedEntityPositions();
    void savedLineShowsWarningDuringStartUp();
    void exitSavesEntityAndCloseDoesNot();
    void projectListFileFillsListInOrder();
    void splashWaitsForTwoClockSeconds();
    void controlInventory();
    void tabSwitch();
    void aboutTextReloadedOnEverySelection();
    void reportsTabReloadsTheChosenReport();
    void collectRunFromTheWindow();
    void fatalCollectEndsTheApplication();
    void optionsSwitchTheRunButtons();
    void percentChoiceRelabelsEntityBox();
    void lineWarningFollowsItsSwitch();
    void shownDriveChosenAgainKeepsTheFolderList();
};

void MainWindowTest::firstStartWithoutSettingsFiles()
{
    DataFolder data;
    auto run = startMainWindow();
    LowerPanel* panel = run->window->lowerPanel();
    QCOMPARE(panel->cmbEntity->currentIndex(), 14);
    QCOMPARE(panel->cmbEntity->currentText(), QStringLiteral("RAY"));
    QCOMPARE(panel->chkLine0->checkState(), Qt::Checked);
    QCOMPARE(run->window->locationsPage()->chkSub0->checkState(), Qt::Checked);
    QCOMPARE(data.read(QStringLiteral("folders.fil")), std::optional<QByteArray>("1\r\n"));
    QVERIFY(!data.exists(QStringLiteral("warning.fil")));
    QVERIFY(!data.exists(QStringLiteral("default.fil")));
    QCOMPARE(data.read(QStringLiteral("projects/projects.fil")), std::optional<QByteArray>(QByteArray()));
    for (QPushButton* button : {run->window->projectsPage()->cmdAddproj, run->window->projectsPage()->cmdRemproj,
                                run->window->locationsPage()->cmdAddloc, run->window->locationsPage()->cmdRemloc,
                                run->window->locationsPage()->cmdJump, panel->cmdCollect, panel->cmdCompare})
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QCOMPARE(run->window->locationsPage()->lblProject0->text(), QStringLiteral("Project:"));
    QCOMPARE(panel->lblTotalFiles->text(), QStringLiteral("0000"));
    QVERIFY(run->messages.shown.empty());
    QCOMPARE(run->window->installLoc(), data.str());
    QVERIFY(run->window->isVisible());
}

void MainWindowTest::savedEntityPositions_data()
{
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<int>("position");
    QTest::newRow("CIRCLE") << QByteArray("4\r\n") << 4;
    QTest::newRow("no selection") << QByteArray("-1\r\n") << -1;
    QTest::newRow("a letter") << QByteArray("x\r\n") << 0;
    QTest::newRow("beyond the list") << QByteArray("40\r\n") << 0;
    QTest::newRow("first line only") << QByteArray("5\r\n9\r\n") << 5;
    QTest::newRow("no line at all") << QByteArray() << 14;
}

void MainWindowTest::savedEntityPositions()
{
    QFETCH(QByteArray, saved);
    QFETCH(int, position);
    DataFolder data;
    data.write(QStringLiteral("default.fil"), saved);
    auto run = startMainWindow();
    QCOMPARE(run->window->lowerPanel()->cmbEntity->currentIndex(), position);
    QVERIFY(!lineWarningShown(*run));
}

void MainWindowTest::savedLineShowsWarningDuringStartUp()
{
    DataFolder data;
    data.write(QStringLiteral("default.fil"), "9\r\n");
    data.write(QStringLiteral("warning.fil"), "0\r\n");
    auto run = startMainWindow();
    QCOMPARE(run->window->lowerPanel()->cmbEntity->currentText(), QStringLiteral("LINE"));
    QVERIFY(lineWarningShown(*run));
    QCOMPARE(run->window->lowerPanel()->chkLine0->checkState(), Qt::Unchecked);
    // The restore of the switch rewrote its file with the same value.
    QCOMPARE(data.read(QStringLiteral("warning.fil")), std::optional<QByteArray>("0\r\n"));
}

void MainWindowTest::exitSavesEntityAndCloseDoesNot()
{
    DataFolder data;
    {
        auto run = startMainWindow();
        run->window->lowerPanel()->cmbEntity->setCurrentIndex(4);
        run->window->close();
        QCOMPARE(run->endCalls, 1);
        QVERIFY(!data.exists(QStringLiteral("default.fil")));
    }
    {
        auto run = startMainWindow();
        QCOMPARE(run->window->lowerPanel()->cmbEntity->currentText(), QStringLiteral("RAY"));
        run->window->lowerPanel()->cmbEntity->setCurrentIndex(4);
        run->window->cmdExit_Click();
        QCOMPARE(run->endCalls, 1);
        QCOMPARE(run->endStatus, 0);
        QCOMPARE(data.read(QStringLiteral("default.fil")), std::optional<QByteArray>("4\r\n"));
    }
    auto run = startMainWindow();
    QCOMPARE(run->window->lowerPanel()->cmbEntity->currentText(), QStringLiteral("CIRCLE"));
}

void MainWindowTest::projectListFileFillsListInOrder()
{
    DataFolder data;
    data.write(QStringLiteral("projects/projects.fil"),
               "\"ALPHA\"\r\n\"BETA\"\r\n\"\"\r\nx\r\n\r\n\"WITH \"QUOTE\"\"\r\n");
    auto run = startMainWindow();
    QListWidget* list = run->window->projectsPage()->lstProjects;
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(0)->text(), QStringLiteral("ALPHA"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("BETA"));
    QCOMPARE(list->item(2)->text(), QString());
    QCOMPARE(list->item(3)->text(), QStringLiteral("WITH \"QUOTE\""));
    QVERIFY(list->selectedItems().isEmpty());
}

void MainWindowTest::splashWaitsForTwoClockSeconds()
{
    // Across the turn of the hour: started at 10:59:59, the wait ends on reading 11:00:01.
    SteppingClock turn(QTime(10, 59, 59), 1000);
    waitTwoClockSeconds(turn);
    QCOMPARE(turn.reads, 3);
    // Started at 10:20:30.9, read every 100 ms: ends on reading 10:20:32.0, 1.1 seconds later.
    SteppingClock fine(QTime(10, 20, 30, 900), 100);
    waitTwoClockSeconds(fine);
    QCOMPARE(fine.reads, 12);
}

void MainWindowTest::controlInventory()
{
    DataFolder data;
    auto run = startMainWindow();
    frmMain* w = run->window.get();
    QCOMPARE(w->windowTitle(), QStringLiteral("Darv Main Control Centre - 2007"));
    QCOMPARE(w->size(), QSize(506, 561));
    struct Expected
    {
        const char* name;
        QRect geometry;
        const char* caption;
    };
    const Expected controls[] = {
        {"TabStrip1", {8, 8, 489, 209}, nullptr},
        {"frmProjects", {24, 32, 457, 177}, nullptr},
        {"lstProjects", {0, 8, 457, 134}, nullptr},
        {"txtProject", {0, 152, 145, 23}, nullptr},
        {"cmdAddproj", {152, 152, 33, 25}, "Add"},
        {"cmdRemproj", {312, 152, 145, 25}, "Remove project"},
        {"frmLocations", {24, 32, 457, 177}, nullptr},
        {"lblProject(0)", {0, 8, 225, 17}, "Project:"},
        {"lstLocations", {0, 24, 225, 108}, nullptr},
        {"Label3", {0, 133, 225, 17}, "+ denotes sub-folder search"},
        {"cmdAddloc", {0, 152, 73, 25}, "Add"},
        {"cmdRemloc", {80, 152, 73, 25}, "Remove"},
        {"cmdJump", {160, 152, 65, 25}, "Jump To ->"},
        {"cmdImport", {121, 133, 104, 18}, "Import submissions..."},
        {"drvMain", {232, 8, 225, 21}, nullptr},
        {"dirMain", {232, 32, 225, 126}, nullptr},
        {"chkSub(0)", {232, 160, 225, 17}, "Include sub-folders (one level only)"},
        {"frmReports", {24, 32, 457, 441}, nullptr},
        {"lblProject(1)", {0, 8, 225, 17}, "Project:"},
        {"RichTextBox1", {0, 24, 457, 297}, nullptr},
        {"optReport(0)", {8, 328, 129, 17}, "Show Time Conflicts"},
        {"optReport(1)", {136, 328, 185, 17}, "Show Entity [Handle] Conflicts"},
        {"optReport(2)", {304, 328, 145, 17}, "Show DWG Age Conflicts"},
        {"Label2", {16, 360, 433, 17}, "What happens if you find a conflict? Select \"What Next?\" for more help."},
        {"cmdPrint", {112, 384, 105, 25}, "Print..."},
        {"cmdWhatnext", {232, 384, 105, 25}, "What Next?"},
        {"cmdSimilar", {352, 384, 105, 25}, "Similar Drawings..."},
        {"frmAbout", {24, 40, 457, 161}, nullptr},
        {"Picture2", {120, 16, 225, 29}, nullptr},
        {"RichTextBox2", {32, 56, 393, 97}, nullptr},
        {"frmMainHolder", {8, 224, 489, 265}, nullptr},
        {"cmdCollect", {0, 72, 153, 25}, "Start COLLECTING..."},
        {"cmdCompare", {208, 112, 97, 25}, "Recompare..."},
        {"Picture1", {377, 128, 90, 75}, nullptr},
        {"lblLocCheck", {0, 152, 57, 17}, "Location:"},
        {"lblLocCur", {64, 152, 281, 17}, ""},
        {"Label4", {0, 168, 57, 17}, "search >>"},
        {"lblSubs", {72, 168, 265, 17}, ""},
        {"lblFileCheck", {0, 184, 57, 17}, "Filename:"},
        {"lblFileCur", {64, 184, 281, 17}, ""},
        {"lblProgress", {0, 208, 81, 17}, "Progress"},
        {"ProgressBar1", {0, 224, 345, 23}, nullptr},
        {"lbl0", {0, 248, 17, 17}, "0%"},
        {"lbl100", {312, 248, 33, 17}, "100%"},
        {"Shape1", {352, 0, 137, 249}, nullptr},
        {"lblCompStats", {360, 16, 137, 17}, "Comparison Statistics"},
        {"lblFilesHead", {376, 48, 73, 17}, "Files:"},
        {"lblTotalFiles", {456, 48, 41, 17}, "0000"},
        {"lblTimeHead", {352, 64, 97, 17}, "Time Conflicts:"},
        {"lblTotConflicts", {456, 64, 33, 17}, "0000"},
        {"lblConflictHead", {352, 80, 97, 17}, "Entity Conflicts:"},
        {"lblTotEntityConflicts", {456, 80, 33, 17}, "0000"},
        {"lblDateHead", {352, 96, 97, 17}, "Age Conflicts:"},
        {"lblTotDateConflicts", {456, 96, 33, 17}, "0000"},
        {"lblStatus", {352, 200, 137, 17}, ""},
        {"lblDARVd", {357, 216, 129, 25}, "NO DARV's"},
        {"lblTime", {352, 248, 129, 17}, ""},
        {"lblEntity", {0, 8, 81, 17}, "Entity"},
        {"cmbEntity", {0, 24, 153, 21}, nullptr},
        {"chkLine(0)", {0, 48, 145, 17}, "LINE entity warnings"},
        {"frmOpt", {168, 8, 177, 137}, nullptr},
        {"chkOpt(0)", {8, 24, 145, 17}, "Time Matches"},
        {"chkOpt(1)", {8, 48, 73, 17}, "Entities ="},
        {"cmbPercent", {72, 47, 49, 21}, nullptr},
        {"Label1", {120, 48, 41, 17}, "% match"},
        {"chkOpt(2)", {8, 72, 89, 17}, "DWG Age >="},
        {"cmbdate", {96, 72, 73, 21}, nullptr},
        {"cmdExit", {136, 496, 105, 25}, "Exit"},
        {"cmdHelp", {256, 496, 105, 25}, "Help"},
        {"lblOVT1", {8, 528, 209, 17}, nullptr},
        {"lblOVT3", {224, 528, 121, 17}, nullptr},
        {"lblOVT2", {360, 528, 137, 17}, nullptr},
        {"StatusBar1", {0, 544, 506, 17}, nullptr},
        {"lblDrvDir", {312, 8, 145, 17}, "Drives and Directories"},
    };
    for (const Expected& e : controls) {
        auto* control = w->findChild<QWidget*>(QString::fromLatin1(e.name));
        QVERIFY2(control, e.name);
        QCOMPARE(control->geometry(), e.geometry);
        if (!e.caption)
            continue;
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            caption = button->text();
        QCOMPARE(caption, QString::fromLatin1(e.caption));
    }
    LowerPanel* panel = w->lowerPanel();
    QCOMPARE(panel->cmbPercent->currentText(), QStringLiteral("100"));
    QCOMPARE(panel->cmbPercent->count(), 11);
    QCOMPARE(panel->cmbdate->currentText(), QStringLiteral("1 month"));
    QCOMPARE(panel->cmbdate->count(), 11);
    QCOMPARE(panel->cmbEntity->count(), 22);
    QCOMPARE(panel->cmbEntity->itemText(9), QStringLiteral("LINE"));
    QCOMPARE(panel->chkOpt[2]->checkState(), Qt::Unchecked);
    QCOMPARE(panel->lblDARVd->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    QCOMPARE(w->datePanel()->text(), QLocale().toString(QDate::currentDate(), QStringLiteral("dddd, MMMM d yyyy")));
    QCOMPARE(w->datePanel()->toolTip(), QStringLiteral("Time and Date"));
    QCOMPARE(w->tabBar()->count(), 4);
    QCOMPARE(w->tabBar()->tabText(3), QStringLiteral("About"));
    QCOMPARE(w->tabBar()->tabToolTip(2), QStringLiteral("Reports"));
}

void MainWindowTest::tabSwitch()
{
    DataFolder data;
    auto run = startMainWindow();
    frmMain* w = run->window.get();
    QVERIFY(w->projectsPage()->isVisible());
    QVERIFY(!w->reportsPage()->isVisible());
    w->tabBar()->setCurrentIndex(2);
    w->TabStrip1_Click();
    QVERIFY(w->reportsPage()->isVisible());
    QVERIFY(!w->projectsPage()->isVisible() && !w->locationsPage()->isVisible() && !w->aboutPage()->isVisible());
    QCOMPARE(w->tabStrip()->height(), 480);
    QVERIFY(!w->lowerPanel()->isVisible());
    QVERIFY(!w->lowerPanel()->cmdCollect->isVisible());
    QVERIFY(w->reportsPage()->RichTextBox1->toPlainText().isEmpty());
    QVERIFY(!w->reportsPage()->cmdPrint->isEnabled());
    w->tabBar()->setCurrentIndex(1);
    w->TabStrip1_Click();
    QVERIFY(w->locationsPage()->isVisible());
    QVERIFY(!w->reportsPage()->isVisible());
    QCOMPARE(w->tabStrip()->height(), 209);
    QVERIFY(w->lowerPanel()->isVisible());

    // The arrow keys on the focused tab strip and the wheel over it move the page with the tab.
    w->tabBar()->setFocus();
    QTest::keyClick(w->tabBar(), Qt::Key_Right);
    QCOMPARE(w->tabBar()->currentIndex(), 2);
    QVERIFY(w->reportsPage()->isVisible() && !w->locationsPage()->isVisible());
    QTest::keyClick(w->tabBar(), Qt::Key_Left);
    QVERIFY(w->locationsPage()->isVisible() && !w->reportsPage()->isVisible());
    const QPointF over = w->tabBar()->tabRect(1).center();
    QWheelEvent wheel(over, w->tabBar()->mapToGlobal(over), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->tabBar(), &wheel);
    QVERIFY(w->tabBar()->currentIndex() != 1);
    QCOMPARE(w->reportsPage()->isVisible(), w->tabBar()->currentIndex() == 2);
    QCOMPARE(w->projectsPage()->isVisible(), w->tabBar()->currentIndex() == 0);
}

void MainWindowTest::aboutTextReloadedOnEverySelection()
{
    DataFolder data;
    data.write(QStringLiteral("resources/about.rtf"), "{\\rtf1 First about text.\\par}");
    auto run = startMainWindow();
    frmMain* w = run->window.get();
    w->tabBar()->setCurrentIndex(3);
    w->TabStrip1_Click();
    QVERIFY(w->aboutPage()->isVisible());
    QCOMPARE(w->tabStrip()->height(), 209);
    QVERIFY(w->aboutPage()->RichTextBox2->toPlainText().contains(QStringLiteral("First about text.")));
    data.write(QStringLiteral("resources/about.rtf"), "{\\rtf1 Second about text.\\par}");
    w->tabBar()->setCurrentIndex(0);
    w->TabStrip1_Click();
    w->tabBar()->setCurrentIndex(3);
    w->TabStrip1_Click();
    QVERIFY(w->aboutPage()->RichTextBox2->toPlainText().contains(QStringLiteral("Second about text.")));
    QVERIFY(!w->aboutPage()->RichTextBox2->toPlainText().contains(QStringLiteral("First")));
}

void MainWindowTest::reportsTabReloadsTheChosenReport()
{
    DataFolder data;
    data.write(QStringLiteral("projects/projects.fil"), "\"P\"\r\n");
    data.write(QStringLiteral("time conflicts/P.tim"), "\"first\"\r\n");
    auto run = startMainWindow();
    frmMain* w = run->window.get();
    w->projectsPage()->lstProjects->setCurrentRow(0);
    w->tabBar()->setCurrentIndex(2);
    w->TabStrip1_Click();
    QVERIFY(w->reportsPage()->RichTextBox1->toPlainText().isEmpty());
    w->reportsPage()->optReport[0]->click();
    QCOMPARE(w->reportsPage()->RichTextBox1->toPlainText(), QStringLiteral("\"first\"\n"));
    QVERIFY(w->reportsPage()->cmdPrint->isEnabled());
    data.write(QStringLiteral("time conflicts/P.tim"), "\"second\"\r\n");
    QCOMPARE(w->reportsPage()->RichTextBox1->toPlainText(), QStringLiteral("\"first\"\n"));
    w->tabBar()->setCurrentIndex(0);
    w->TabStrip1_Click();
    w->tabBar()->setCurrentIndex(2);
    w->TabStrip1_Click();
    QCOMPARE(w->reportsPage()->RichTextBox1->toPlainText(), QStringLiteral("\"second\"\n"));

    // The similarity report beside the three; none yet is said so.
    w->reportsPage()->optSimilar->click();
    QVERIFY(w->reportsPage()->RichTextBox1->toPlainText().startsWith(QStringLiteral("No available SIMILAR")));
    QVERIFY(!w->reportsPage()->cmdPrint->isEnabled());
    data.write(QStringLiteral("similar drawings/P.sim"), "\"1. 100 %\"\r\n");
    w->reportsPage()->optSimilar->click();
    QCOMPARE(w->reportsPage()->RichTextBox1->toPlainText(), QStringLiteral("\"1. 100 %\"\n"));
}

void MainWindowTest::collectRunFromTheWindow()
{
    DataFolder data;
    QTemporaryDir drawings;
    makeFiles(drawings.path(), {QStringLiteral("Anna/a.dwg"), QStringLiteral("Ben/b.dwg")});
    data.write(QStringLiteral("projects/projects.fil"), "\"P\"\r\n");
    data.write(QStringLiteral("projects/P.prj"), "\"+" + drawings.path().toUtf8() + "\"\r\n");
    auto run = startMainWindow(true, [](MainWindowRun& r) {
        r.host.drawings["a.dwg"] = {{{"AcDbLine", "1F"}, {"AcDbLine", "20"}}, 2454001.5};
        r.host.drawings["b.dwg"] = {{{"AcDbLine", "1F"}, {"AcDbLine", "20"}}, 2454001.5};
    });
    frmMain& window = *run->window;
    window.lowerPanel()->cmbEntity->setCurrentIndex(9);
    window.projectsPage()->lstProjects->setCurrentRow(0);
    QVERIFY(window.lowerPanel()->cmdCollect->isEnabled());
    QVERIFY(!window.lowerPanel()->cmdCompare->isEnabled());
    window.lowerPanel()->cmdCollect->click();
    QCOMPARE(data.read(QStringLiteral("compares/P.cmp")),
             std::optional<QByteArray>("\"A,2454001.5,1F$20$,END\"\r\n\"B,2454001.5,1F$20$,END\"\r\n"));
    QCOMPARE(window.lowerPanel()->lblStatus->text(), QStringLiteral("Complete!"));
    QCOMPARE(window.lowerPanel()->lblDARVd->text(), QStringLiteral("DARV!!!"));
    QCOMPARE(window.lowerPanel()->lblTotalFiles->text(), QStringLiteral("0002"));
    QCOMPARE(window.lowerPanel()->lblTotConflicts->text(), QStringLiteral("0001"));
    QCOMPARE(window.lowerPanel()->lblTotEntityConflicts->text(), QStringLiteral("0001"));
    QVERIFY(window.lowerPanel()->lblFileCur->text().isEmpty());
    QVERIFY(window.lowerPanel()->lblLocCur->text().isEmpty());
    QCOMPARE(window.lowerPanel()->ProgressBar1->percent(), 0.0);
    QVERIFY(window.lowerPanel()->cmdCompare->isEnabled());
    QCOMPARE(run->endStatus, -1);
}

void MainWindowTest::fatalCollectEndsTheApplication()
{
    DataFolder data;
    data.write(QStringLiteral("projects/projects.fil"), "\"P\"\r\n");
    QDir(data.file(QStringLiteral("compares"))).removeRecursively();
    auto run = startMainWindow();
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    run->window->cmdCollect_Click();
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].title, std::string("DARV Fatal Error"));
    QCOMPARE(run->endCalls, 1);
    QCOMPARE(run->endStatus, 1);
}

void MainWindowTest::optionsSwitchTheRunButtons()
{
    DataFolder data;
    data.write(QStringLiteral("projects/projects.fil"), "\"ALPHA\"\r\n");
    auto run = startMainWindow();
    LowerPanel* panel = run->window->lowerPanel();
    // No project selected: ticking an option leaves the buttons as they are.
    panel->chkOpt[2]->setChecked(true);
    QVERIFY(!panel->cmdCollect->isEnabled() && !panel->cmdCompare->isEnabled());
    run->window->projectsPage()->lstProjects->setCurrentRow(0);
    QVERIFY(panel->cmdCollect->isEnabled());
    QVERIFY(!panel->cmdCompare->isEnabled()); // nothing collected yet
    for (QCheckBox* box : panel->chkOpt)
        box->setChecked(false);
    QVERIFY(!panel->cmdCollect->isEnabled() && !panel->cmdCompare->isEnabled());
    panel->chkOpt[1]->setChecked(true);
    QVERIFY(panel->cmdCollect->isEnabled() && panel->cmdCompare->isEnabled());
}

namespace {

// Types a text into an editable box as a user does, then ends it with Return or Tab.
void typeInto(QComboBox* box, const QString& text, Qt::Key end)
{
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box->lineEdit(), end);
}

// Opens the box's list and picks an item in it, with the mouse or with the keys.
void chooseFromOpenList(QComboBox* box, int row, bool withMouse)
{
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex index = view->model()->index(row, 0);
    if (withMouse) {
        const QPoint at = view->visualRect(index).center();
        QTest::mouseMove(view->viewport(), at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    } else {
        view->setCurrentIndex(index);
        QTest::keyClick(view, Qt::Key_Return);
    }
    QTRY_VERIFY(!view->isVisible());
}

} // namespace

void MainWindowTest::percentChoiceRelabelsEntityBox()
{
    DataFolder data;
    auto run = startMainWindow();
    LowerPanel* panel = run->window->lowerPanel();
    chooseFromOpenList(panel->cmbPercent, 1, true); // "90"
    QCOMPARE(panel->chkOpt[1]->text(), QStringLiteral("Entities >"));
    chooseFromOpenList(panel->cmbPercent, 0, false); // "100"
    QCOMPARE(panel->chkOpt[1]->text(), QStringLiteral("Entities ="));
    // Typing is no choice, also when the text equals an item and editing ends with Return or Tab.
    typeInto(panel->cmbPercent, QStringLiteral("90"), Qt::Key_Return);
    QCOMPARE(panel->cmbPercent->currentText(), QStringLiteral("90"));
    QCOMPARE(panel->chkOpt[1]->text(), QStringLiteral("Entities ="));
    chooseFromOpenList(panel->cmbPercent, 2, false); // "80"
    typeInto(panel->cmbPercent, QStringLiteral("100"), Qt::Key_Tab);
    QCOMPARE(panel->cmbPercent->currentText(), QStringLiteral("100"));
    QCOMPARE(panel->chkOpt[1]->text(), QStringLiteral("Entities >"));
}

void MainWindowTest::lineWarningFollowsItsSwitch()
{
    DataFolder data;
    auto run = startMainWindow();
    LowerPanel* panel = run->window->lowerPanel();
    const std::size_t before = run->messages.shown.size();
    chooseFromOpenList(panel->cmbEntity, 9, true);
    QCOMPARE(run->messages.shown.size(), before + 1);
    QVERIFY(lineWarningShown(*run));
    // LINE chosen again while it is the current item: one more warning.
    chooseFromOpenList(panel->cmbEntity, 9, false);
    QCOMPARE(run->messages.shown.size(), before + 2);
    chooseFromOpenList(panel->cmbEntity, 4, false);
    typeInto(panel->cmbEntity, QStringLiteral("LINE"), Qt::Key_Return);
    QCOMPARE(run->messages.shown.size(), before + 2);
    panel->chkLine0->click();
    QCOMPARE(data.read(QStringLiteral("warning.fil")), std::optional<QByteArray>("0\r\n"));
    chooseFromOpenList(panel->cmbEntity, 9, false);
    QCOMPARE(run->messages.shown.size(), before + 2);
    panel->chkLine0->click();
    QCOMPARE(data.read(QStringLiteral("warning.fil")), std::optional<QByteArray>("1\r\n"));
}

void MainWindowTest::shownDriveChosenAgainKeepsTheFolderList()
{
    DataFolder data;
    auto run = startMainWindow();
    QComboBox* drives = run->window->locationsPage()->drvMain;
    FolderList* folders = run->window->locationsPage()->dirMain;
    const QString elsewhere = QDir::tempPath();
    QVERIFY(folders->setPath(elsewhere));
    chooseFromOpenList(drives, drives->currentIndex(), true);
    QCOMPARE(folders->path(), QDir(elsewhere).absolutePath());
    chooseFromOpenList(drives, drives->currentIndex(), false);
    QCOMPARE(folders->path(), QDir(elsewhere).absolutePath());
}

DARV_GUI_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
