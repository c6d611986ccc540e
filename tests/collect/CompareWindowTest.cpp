// Recompare in the main window: labels, colours, pictures, the alert and the empty collected data.
#include "support/GuiFixture.h"

#include "collect/window/LowerPanel.h"
#include "projects/window/ProjectsPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace darv;
using namespace darv::test;

namespace {

// A project P whose one location holds three drawings, with collected data for them.
struct ComparedProject
{
    DataFolder data;
    QTemporaryDir drawings;
    std::unique_ptr<MainWindowRun> run;

    explicit ComparedProject(const QByteArray& collected)
    {
        makeFiles(drawings.path(), {QStringLiteral("a.dwg"), QStringLiteral("b.dwg"), QStringLiteral("c.dwg")});
        for (const char* picture : {"darvlogo.jpg", "darvcheck.jpg", "darvwrong.jpg"}) {
            QImage image(90, 75, QImage::Format_RGB32);
            image.fill(picture[4] == 'l' ? Qt::blue : picture[4] == 'c' ? Qt::green : Qt::red);
            image.save(data.file(QStringLiteral("resources/") + QString::fromLatin1(picture)));
        }
        data.write(QStringLiteral("projects/projects.fil"), "\"P\"\r\n");
        data.write(QStringLiteral("projects/P.prj"), "\"-" + drawings.path().toUtf8() + "\"\r\n");
        data.write(QStringLiteral("compares/P.cmp"), collected);
        run = startMainWindow();
        run->window->projectsPage()->lstProjects->setCurrentRow(0);
    }
    LowerPanel* panel() const { return run->window->lowerPanel(); }
    // The pictures are JPEG files, so their colours come back only nearly as written.
    QString pictureColour() const
    {
        const QColor c = panel()->Picture1->pixmap().toImage().pixelColor(10, 10);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
            return QStringLiteral("red");
        if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
            return QStringLiteral("green");
        if (c.blue() > 200 && c.red() < 60 && c.green() < 60)
            return QStringLiteral("blue");
        return c.name();
    }
};

const QByteArray kCopies = "\"A,2454001.5,1$2$3$,END\"\r\n\"B,2454001.5,1$2$3$,END\"\r\n\"C,2454002.25,9$,END\"\r\n";
const QByteArray kClean = "\"A,2454001.5,1$2$,END\"\r\n\"B,2454001.75,3$4$,END\"\r\n\"C,2454002.25,9$,END\"\r\n";

} // namespace

class CompareWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void conflictsRaiseTheAlertOnEveryRecompare();
    void cleanRunShowsAllClear();
    void emptyCollectedDataWithTimeCheckTurnsItOff();
    void emptyCollectedDataWithoutTimeCheckCompletes();
    void damagedCollectedDataStopsWithWarning();
};

void CompareWindowTest::conflictsRaiseTheAlertOnEveryRecompare()
{
    ComparedProject p(kCopies);
    QVERIFY(p.panel()->cmdCompare->isEnabled());
    for (int round = 1; round <= 2; ++round) {
        p.run->window->cmdCompare_Click();
        QCOMPARE(p.panel()->lblStatus->text(), QStringLiteral("Complete!"));
        QCOMPARE(p.panel()->lblDARVd->text(), QStringLiteral("DARV!!!"));
        QCOMPARE(p.panel()->lblDARVd->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(p.panel()->lblTotalFiles->text(), QStringLiteral("0003"));
        QCOMPARE(p.panel()->lblTotConflicts->text(), QStringLiteral("0001"));
        QCOMPARE(p.panel()->lblTotEntityConflicts->text(), QStringLiteral("0001"));
        QCOMPARE(p.panel()->lblTotDateConflicts->text(), QStringLiteral("0000"));
        QCOMPARE(p.pictureColour(), QStringLiteral("red"));
        QCOMPARE(p.run->sound.played.size(), round);
        QVERIFY(p.run->sound.played.last().endsWith(QStringLiteral("/resources/conflict.wav")));
        QVERIFY(p.panel()->lblTime->text().startsWith(QStringLiteral("Elapsed Time: ")));
    }
    QCOMPARE(p.data.read(QStringLiteral("time conflicts/P.tim")),
             std::optional<QByteArray>("\"A vs. B at 12 hours, 0 minutes, 0 seconds [2454001.5 as Julian]\"\r\n"));
    QCOMPARE(p.data.read(QStringLiteral("handle conflicts/P.hnd")),
             std::optional<QByteArray>("\"** A vs. B has a 100% RAY handle match [3 total].\"\r\n"));
    QCOMPARE(p.data.read(QStringLiteral("date conflicts/P.dat")),
             std::optional<QByteArray>("\"DWG date conflicts not reported due to option selection.\"\r\n"));
    QVERIFY(p.run->messages.shown.empty());
}

void CompareWindowTest::cleanRunShowsAllClear()
{
    ComparedProject p(kClean);
    p.run->window->cmdCompare_Click();
    QCOMPARE(p.panel()->lblStatus->text(), QStringLiteral("Complete!"));
    QCOMPARE(p.panel()->lblDARVd->text(), QStringLiteral("NO DARV's"));
    QCOMPARE(p.panel()->lblDARVd->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    QCOMPARE(p.pictureColour(), QStringLiteral("green"));
    QVERIFY(p.run->sound.played.isEmpty());
    QCOMPARE(p.data.read(QStringLiteral("time conflicts/P.tim")),
             std::optional<QByteArray>("\"No time conflicts!\"\r\n"));
}

void CompareWindowTest::emptyCollectedDataWithTimeCheckTurnsItOff()
{
    ComparedProject p("\"A,1,,END\"\r\n");
    p.data.write(QStringLiteral("compares/P.cmp"), QByteArray());
    p.data.write(QStringLiteral("time conflicts/P.tim"), "old");
    p.panel()->lblStatus->setText(QStringLiteral("before"));
    p.run->window->cmdCompare_Click();
    QCOMPARE(p.run->messages.texts(),
             std::vector<std::string>{"XXXXXXavailable due to no entity matches - turning OFF."});
    QCOMPARE(p.run->messages.shown[0].title, std::string("Darv2007"));
    QVERIFY(p.run->messages.shown[0].icon == MessageIcon::Information);
    QVERIFY(!p.panel()->chkOpt[0]->isChecked());
    QVERIFY(!p.panel()->cmdCompare->isEnabled());
    QCOMPARE(p.panel()->lblStatus->text(), QStringLiteral("before"));
    QCOMPARE(p.data.read(QStringLiteral("time conflicts/P.tim")), std::optional<QByteArray>("old"));
}

// The checks run over an empty table, but what was never compared must not look like an all-clear.
void CompareWindowTest::emptyCollectedDataWithoutTimeCheckCompletes()
{
    ComparedProject p{QByteArray()};
    p.panel()->chkOpt[0]->setChecked(false);
    p.panel()->chkOpt[2]->setChecked(true);
    p.panel()->cmdCompare->setEnabled(true);
    p.run->window->cmdCompare_Click();
    QCOMPARE(p.run->messages.shown.size(), std::size_t(1));
    QCOMPARE(p.run->messages.shown[0].title, std::string("DARV Warning"));
    QCOMPARE(p.panel()->lblStatus->text(), QStringLiteral("Complete!"));
    QCOMPARE(p.panel()->lblDARVd->text(), QString());
    QCOMPARE(p.pictureColour(), QStringLiteral("blue"));
    for (QLabel* counter :
         {p.panel()->lblTotConflicts, p.panel()->lblTotEntityConflicts, p.panel()->lblTotDateConflicts})
        QCOMPARE(counter->text(), QStringLiteral("0000"));
    QCOMPARE(p.data.read(QStringLiteral("handle conflicts/P.hnd")),
             std::optional<QByteArray>("\"No entity [RAY] conflicts >= 100% match!\"\r\n"));
    QCOMPARE(p.data.read(QStringLiteral("date conflicts/P.dat")),
             std::optional<QByteArray>("\"No DWG date check conflicts!\"\r\n"));
}

void CompareWindowTest::damagedCollectedDataStopsWithWarning()
{
    ComparedProject p("\"A,2454001.5,1$,END\"\r\n\"B no commas\"\r\n");
    p.data.write(QStringLiteral("time conflicts/P.tim"), "old");
    p.run->window->cmdCompare_Click();
    QCOMPARE(p.panel()->lblStatus->text(), QStringLiteral("Stopped"));
    QCOMPARE(p.run->messages.shown.size(), std::size_t(1));
    QCOMPARE(p.run->messages.shown[0].title, std::string("DARV Warning"));
    QVERIFY(p.run->messages.shown[0].icon == MessageIcon::Exclamation);
    QVERIFY(p.run->messages.shown[0].text.find("Line 2") != std::string::npos);
    QVERIFY(p.run->messages.shown[0].text.find("P.cmp") != std::string::npos);
    QCOMPARE(p.data.read(QStringLiteral("time conflicts/P.tim")), std::optional<QByteArray>("old"));
}

DARV_GUI_TEST_MAIN(CompareWindowTest)
#include "CompareWindowTest.moc"
