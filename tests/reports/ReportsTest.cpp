// The Reports page: which report the view shows and when, the Print button's state, and the printed
// pages, read back from PDF files with pdftotext.
#include "support/GuiFixture.h"

#include "reports/window/PrintSetup.h"
#include "reports/window/ReportPrinter.h"
#include "reports/window/ReportViewer.h"
#include "reports/window/ReportsPage.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

using namespace darv;
using namespace darv::test;

namespace {

constexpr double kMargin = 0.25;    // printable area offset of the test printer, inches
constexpr double kTolerance = 0.05; // inches

// Prints to one PDF file per copy instead of asking the user.
class PdfPrintSetup : public PrintSetup
{
public:
    PrintChoice choose(QPrinter& printer, QWidget*) override
    {
        ++chooseCalls;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Inch);
        return {accept, copies};
    }
    void prepareCopy(QPrinter& printer, int copy) override { printer.setOutputFileName(file(copy)); }
    QString file(int copy) const { return folder.path() + QStringLiteral("/copy-%1.pdf").arg(copy); }
    QStringList written() const { return QDir(folder.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }

    QTemporaryDir folder;
    bool accept = true;
    int copies = 1;
    int chooseCalls = 0;
};

// A Reports page with its viewer over a fresh data folder, for project WEEK3.
struct Rig
{
    Rig() { saveLogo(); }
    void saveLogo() const
    {
        QImage logo(200, 160, QImage::Format_RGB32);
        logo.fill(QColor(0, 0, 160));
        logo.save(data.file(QStringLiteral("resources/darvlogo-print.jpg")), "JPG");
    }
    void writeReport(const char* relative, const QByteArray& bytes) const
    {
        data.write(QString::fromUtf8(relative), bytes);
    }
    QString view() const { return page.RichTextBox1->toPlainText(); }
    bool printEnabled() const { return page.cmdPrint->isEnabled(); }

    DataFolder data;
    ReportsPage page;
    QString project = QStringLiteral("WEEK3");
    PdfPrintSetup setup;
    ReportViewer viewer{&page, [this] { return project; }, [this] { return data.str(); }, setup};
};

// One word of a page as pdftotext places it, in inches from the page's top-left corner.
struct Word
{
    double x;
    double y;
    double right;
    double bottom;
    QString text;
};

// The words of one printed line, left to right.
struct Line
{
    double x;
    double y;
    double height;
    QString text;
};

QString decodeEntities(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// Each page of the PDF as lines of words; words with the same top make one line.
QList<QList<Line>> readPdfLines(const QString& pdf)
{
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!run.waitForFinished(30000) || run.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression wordPattern(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<QList<Line>> pages;
    for (const QString& pageHtml : html.split(QStringLiteral("<page "), Qt::SkipEmptyParts).mid(1)) {
        QList<Word> words;
        for (auto it = wordPattern.globalMatch(pageHtml); it.hasNext();) {
            const auto m = it.next();
            words.append({m.captured(1).toDouble() / 72, m.captured(2).toDouble() / 72, m.captured(3).toDouble() / 72,
                          m.captured(4).toDouble() / 72, decodeEntities(m.captured(5))});
        }
        std::stable_sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
            return std::abs(a.y - b.y) > 0.01 ? a.y < b.y : a.x < b.x;
        });
        QList<Line> lines;
        for (const Word& w : words) {
            if (!lines.isEmpty() && std::abs(lines.last().y - w.y) <= 0.01) {
                lines.last().text += QLatin1Char(' ') + w.text;
            } else {
                lines.append({w.x, w.y, w.bottom - w.y, w.text});
            }
        }
        pages.append(lines);
    }
    return pages;
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// Where the layout puts an element, on the test printer's page.
bool placedAt(const Line& line, double x, double y)
{
    return std::abs(line.x - (x + kMargin)) < kTolerance && std::abs(line.y - (y + kMargin)) < kTolerance;
}

QString describe(const Line& line)
{
    return QStringLiteral("'%1' at %2, %3").arg(line.text).arg(line.x - kMargin).arg(line.y - kMargin);
}

// The first page of a PDF rendered at 50 pixels per inch, in colour.
QImage renderFirstPage(const QString& pdf)
{
    const QString stem = pdf + QStringLiteral("-render");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                                   QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                   QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

} // namespace

class ReportsTest : public QObject
{
    Q_OBJECT
private slots:
    // The view and the Print button.
    void reportsTabBeforeAnyOptionLoadsNothing();
    void missingReportShowsKindTextWithProject_data();
    void missingReportShowsKindTextWithProject();
    void reportShownExactlyAsStored();
    void noProjectClearsViewAndPrint();
    void specialFileCountsAsMissing();
    void emptyReportGivesEmptyViewAndEnabledPrint();
    void laterReportShownOnlyAfterNextClickOrTab();
    void unreadableReportsCountAsMissing();
    void textOfOtherEncodingsShown();

    // Printing.
    void printedPageLayout_data();
    void printedPageLayout();
    void threeCopiesToOnePdfAreThreeCopiesInIt();
    void longReportBreaksPagesWithFooterOnEach();
    void cancelledOrFailedPrintSendsNothing();
};

void ReportsTest::reportsTabBeforeAnyOptionLoadsNothing()
{
    Rig rig;
    rig.writeReport("time conflicts/WEEK3.tim", "\"A\"\r\n");
    rig.viewer.ShowSelectedReport();
    QCOMPARE(rig.view(), QString());
    QVERIFY(!rig.printEnabled());
    QCOMPARE(rig.viewer.loadedFile(), QString());
    for (QRadioButton* option : rig.page.optReport)
        QVERIFY(!option->isChecked());
}

void ReportsTest::missingReportShowsKindTextWithProject_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("shown");
    QTest::newRow("time") << 0 << QStringLiteral("No available TIME CONFLICTS for Project: ASSIGN1");
    QTest::newRow("handle") << 1 << QStringLiteral("No available HANDLE [Entity] CONFLICTS for Project: ASSIGN1");
    QTest::newRow("age") << 2 << QStringLiteral("No available DWG Date CONFLICTS for Project: ASSIGN1");
}

void ReportsTest::missingReportShowsKindTextWithProject()
{
    QFETCH(int, option);
    QFETCH(QString, shown);
    Rig rig;
    rig.project = QStringLiteral("ASSIGN1");
    // A report of another kind exists; only the chosen kind's file counts.
    rig.writeReport(option == 0 ? "handle conflicts/ASSIGN1.hnd" : "time conflicts/ASSIGN1.tim", "\"x\"\r\n");
    rig.page.optReport[option]->click();
    QCOMPARE(rig.view(), shown);
    QVERIFY(!rig.printEnabled());
    QCOMPARE(rig.viewer.loadedFile(), QString());
}

void ReportsTest::reportShownExactlyAsStored()
{
    Rig rig;
    const QByteArray stored = "\"A.dwg, B.dwg, 2454000.5\"\r\n\"\"\r\n\"C.dwg\"\r\n";
    rig.writeReport("handle conflicts/WEEK3.hnd", stored);
    rig.page.optReport[1]->click();
    QCOMPARE(rig.view(), QStringLiteral("\"A.dwg, B.dwg, 2454000.5\"\n\"\"\n\"C.dwg\"\n"));
    QCOMPARE(rig.page.RichTextBox1->document()->blockCount(), 4);
    QVERIFY(rig.printEnabled());
    QCOMPARE(rig.viewer.loadedFile(), rig.data.file(QStringLiteral("handle conflicts/WEEK3.hnd")));
    // Loading never touches the file.
    QCOMPARE(rig.data.read(QStringLiteral("handle conflicts/WEEK3.hnd")), std::optional<QByteArray>(stored));
    QCOMPARE(rig.page.RichTextBox1->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(rig.page.RichTextBox1->font().pointSizeF(), 8.25);

    // A failed load after a good one disables printing; the next good one enables it again.
    rig.page.optReport[2]->click();
    QVERIFY(!rig.printEnabled());
    rig.page.optReport[1]->click();
    QVERIFY(rig.printEnabled());
}

// A FIFO where a report should be would block a plain read for ever; it counts as missing.
void ReportsTest::specialFileCountsAsMissing()
{
    Rig rig;
    const QString fifo = rig.data.file(QStringLiteral("time conflicts/WEEK3.tim"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    rig.page.optReport[0]->click();
    QCOMPARE(rig.view(), QStringLiteral("No available TIME CONFLICTS for Project: WEEK3"));
    QVERIFY(!rig.printEnabled());
}

void ReportsTest::noProjectClearsViewAndPrint()
{
    Rig rig;
    rig.writeReport("time conflicts/WEEK3.tim", "\"kept\"\r\n");
    rig.page.optReport[0]->click();
    QVERIFY(rig.printEnabled());

    // With no project the report of the last one must neither stay on show nor be printed, and no
    // file named only ".tim" is looked for.
    rig.project.clear();
    rig.page.optReport[2]->click();
    QCOMPARE(rig.view(), QString());
    QVERIFY(!rig.printEnabled());
    QCOMPARE(rig.viewer.loadedFile(), QString());
}

void ReportsTest::emptyReportGivesEmptyViewAndEnabledPrint()
{
    Rig rig;
    rig.writeReport("date conflicts/WEEK3.dat", "");
    rig.writeReport("time conflicts/WEEK3.tim", "\"before\"\r\n");
    rig.page.optReport[0]->click();
    rig.page.optReport[2]->click();
    QCOMPARE(rig.view(), QString());
    QVERIFY(rig.printEnabled());
    QCOMPARE(rig.viewer.loadedFile(), rig.data.file(QStringLiteral("date conflicts/WEEK3.dat")));
}

void ReportsTest::laterReportShownOnlyAfterNextClickOrTab()
{
    Rig rig;
    rig.page.optReport[0]->click();
    QCOMPARE(rig.view(), QStringLiteral("No available TIME CONFLICTS for Project: WEEK3"));

    rig.writeReport("time conflicts/WEEK3.tim", "\"first\"\r\n");
    QCOMPARE(rig.view(), QStringLiteral("No available TIME CONFLICTS for Project: WEEK3"));
    QVERIFY(!rig.printEnabled());
    rig.viewer.ShowSelectedReport(); // the Reports tab is selected
    QCOMPARE(rig.view(), QStringLiteral("\"first\"\n"));
    QVERIFY(rig.printEnabled());

    rig.writeReport("time conflicts/WEEK3.tim", "\"second\"\r\n");
    QCOMPARE(rig.view(), QStringLiteral("\"first\"\n"));
    rig.page.optReport[0]->click(); // the same option again
    QCOMPARE(rig.view(), QStringLiteral("\"second\"\n"));

    // A change of project shows nothing new by itself either.
    rig.writeReport("time conflicts/WEEK4.tim", "\"week 4\"\r\n");
    rig.project = QStringLiteral("WEEK4");
    QCOMPARE(rig.view(), QStringLiteral("\"second\"\n"));
    rig.viewer.ShowSelectedReport();
    QCOMPARE(rig.view(), QStringLiteral("\"week 4\"\n"));
}

void ReportsTest::unreadableReportsCountAsMissing()
{
    Rig rig;
    // A folder where the file should be.
    QVERIFY(QDir().mkpath(rig.data.file(QStringLiteral("time conflicts/WEEK3.tim"))));
    rig.page.optReport[0]->click();
    QCOMPARE(rig.view(), QStringLiteral("No available TIME CONFLICTS for Project: WEEK3"));
    QVERIFY(!rig.printEnabled());

    // A name that leads into a folder that does not exist.
    rig.project = QStringLiteral("NO/SUCH");
    rig.page.optReport[1]->click();
    QCOMPARE(rig.view(), QStringLiteral("No available HANDLE [Entity] CONFLICTS for Project: NO/SUCH"));

    // A file without read permission (root reads it all the same).
    rig.project = QStringLiteral("WEEK3");
    const QString locked = rig.data.file(QStringLiteral("date conflicts/WEEK3.dat"));
    rig.writeReport("date conflicts/WEEK3.dat", "\"secret\"\r\n");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("file permissions are not enforced for this user");
    rig.page.optReport[2]->click();
    QCOMPARE(rig.view(), QStringLiteral("No available DWG Date CONFLICTS for Project: WEEK3"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void ReportsTest::textOfOtherEncodingsShown()
{
    Rig rig;
    rig.project = QStringLiteral("ÄRGER");
    rig.writeReport("time conflicts/ÄRGER.tim", "\"\xC3\x9C"
                                                "BUNG.dwg\"\r\n");
    rig.page.optReport[0]->click();
    QCOMPARE(rig.view(), QStringLiteral("\"ÜBUNG.dwg\"\n"));

    // A single-byte report from an older installation: shown byte for byte, not as replacement marks.
    rig.writeReport("time conflicts/ÄRGER.tim", "\"\xDC"
                                                "BUNG.dwg\"\r\n");
    rig.viewer.ShowSelectedReport();
    QCOMPARE(rig.view(), QStringLiteral("\"ÜBUNG.dwg\"\n"));
}

void ReportsTest::printedPageLayout_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("time") << 0 << QStringLiteral("time conflicts/WEEK3.tim") << QStringLiteral("Time Conflicts");
    QTest::newRow("handle") << 1 << QStringLiteral("handle conflicts/WEEK3.hnd") << QStringLiteral("Handle Conflicts");
    QTest::newRow("age") << 2 << QStringLiteral("date conflicts/WEEK3.dat") << QStringLiteral("DWG Date Conflicts");
}

void ReportsTest::printedPageLayout()
{
    QFETCH(int, option);
    QFETCH(QString, file);
    QFETCH(QString, title);
    if (!havePoppler())
        QSKIP("pdftotext and pdftoppm (poppler-utils) are needed to read the printed pages");
    Rig rig;
    // Every kind has a report, each with its own first line, so the title and the file must agree.
    rig.writeReport("time conflicts/WEEK3.tim", "\"time A.dwg, B.dwg\"\r\n\"second\"\r\n\"third\"\r\n");
    rig.writeReport("handle conflicts/WEEK3.hnd", "\"handle A.dwg, B.dwg, 85%\"\r\n\"second\"\r\n\"third\"\r\n");
    rig.writeReport("date conflicts/WEEK3.dat", "\"date A.dwg, 12/03/2005\"\r\n\"second\"\r\n\"third\"\r\n");
    rig.page.optReport[(option + 1) % 3]->click();
    rig.page.optReport[option]->click(); // the option at the moment of printing decides
    QVERIFY(rig.printEnabled());
    const QDate before = QDate::currentDate();
    rig.page.cmdPrint->click();
    const QDate after = QDate::currentDate();
    QCOMPARE(rig.setup.written(), QStringList{QStringLiteral("copy-1.pdf")});

    const auto pages = readPdfLines(rig.setup.file(1));
    QCOMPARE(pages.size(), 1);
    const QList<Line>& lines = pages.first();
    QCOMPARE(lines.size(), 6); // heading, title, three body lines, footer
    const Line& heading = lines[0];
    QCOMPARE(heading.text, QStringLiteral("DARV [Quorrant] - Results"));
    QVERIFY2(placedAt(heading, 1.5, 0.65), qPrintable(describe(heading)));
    const Line& titleLine = lines[1];
    QCOMPARE(titleLine.text, title);
    QVERIFY2(placedAt(titleLine, 0.5, 1.5), qPrintable(describe(titleLine)));

    const QString reportText = QString::fromUtf8(*rig.data.read(file));
    const QString firstField = reportText.section(QLatin1Char('"'), 1, 1);
    QCOMPARE(lines[2].text, firstField);
    QCOMPARE(lines[3].text, QStringLiteral("second"));
    QCOMPARE(lines[4].text, QStringLiteral("third"));
    QVERIFY2(placedAt(lines[2], 0.5, 1.8), qPrintable(describe(lines[2])));
    // Body lines follow each other by the font's line height plus 0.125 inch.
    const double step = lines[3].y - lines[2].y;
    QVERIFY2(step > 0.125 + 0.08 && step < 0.125 + 0.2, qPrintable(QString::number(step)));
    QVERIFY(std::abs(lines[4].y - lines[3].y - step) < 0.01);
    QVERIFY(std::abs(lines[3].x - lines[2].x) < 0.01 && std::abs(lines[4].x - lines[2].x) < 0.01);
    for (const Line& line : lines)
        QVERIFY2(!line.text.contains(QLatin1Char('"')), qPrintable(line.text));

    const Line& footer = lines[5];
    QVERIFY2(footer.text == ReportPrinter::footerText(before).simplified() ||
                 footer.text == ReportPrinter::footerText(after).simplified(),
             qPrintable(footer.text));
    QVERIFY(footer.text.startsWith(QStringLiteral("Printed ")));
    QVERIFY2(placedAt(footer, 0.5, 10.425), qPrintable(describe(footer)));

    // Sizes fall from heading to footer: 16, 12, 8 and 5 point text.
    QVERIFY(heading.height > titleLine.height);
    QVERIFY(titleLine.height > lines[2].height);
    QVERIFY(lines[2].height > footer.height);
    QVERIFY2(std::abs(heading.height * 72 / 16 - 1.1) < 0.3, qPrintable(QString::number(heading.height * 72)));
    QVERIFY2(std::abs(footer.height * 72 / 5 - 1.1) < 0.3, qPrintable(QString::number(footer.height * 72)));

    // The logo fills its box, 1.25 by 1.0 inch at 0.25, 0.25, and nothing spills around it.
    const QImage page = renderFirstPage(rig.setup.file(1));
    QVERIFY(!page.isNull());
    auto pixel = [&](double x, double y) { return page.pixelColor(int((x + kMargin) * 50), int((y + kMargin) * 50)); };
    auto isLogo = [](const QColor& c) { return c.blue() > 100 && c.red() < 60 && c.green() < 60; };
    auto isPaper = [](const QColor& c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; };
    for (const auto& inside : {QPointF(0.3, 0.3), QPointF(1.45, 0.3), QPointF(0.3, 1.2), QPointF(1.45, 1.2)})
        QVERIFY2(isLogo(pixel(inside.x(), inside.y())),
                 qPrintable(QStringLiteral("%1,%2").arg(inside.x()).arg(inside.y())));
    for (const auto& outside : {QPointF(0.18, 0.7), QPointF(0.8, 0.18), QPointF(0.8, 1.32), QPointF(1.57, 0.35)})
        QVERIFY2(isPaper(pixel(outside.x(), outside.y())),
                 qPrintable(QStringLiteral("%1,%2").arg(outside.x()).arg(outside.y())));
}

void ReportsTest::threeCopiesToOnePdfAreThreeCopiesInIt()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is needed to read the printed pages");
    Rig rig;
    rig.writeReport("handle conflicts/WEEK3.hnd", "\"A.dwg, B.dwg, 90%\"\r\n");
    rig.page.optReport[1]->click();
    rig.setup.copies = 3;
    rig.page.cmdPrint->click();
    QCOMPARE(rig.setup.chooseCalls, 1);
    QCOMPARE(rig.setup.written().size(), 1);
    const auto pages = readPdfLines(rig.setup.file(1));
    QCOMPARE(pages.size(), 3);
    for (const auto& page : pages) {
        QCOMPARE(page.size(), 4);
        QCOMPARE(page[2].text, QStringLiteral("A.dwg, B.dwg, 90%"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(page[i].text, pages.first()[i].text);
    }
}

void ReportsTest::longReportBreaksPagesWithFooterOnEach()
{
    if (!havePoppler())
        QSKIP("pdftotext (poppler-utils) is needed to read the printed pages");
    Rig rig;
    QByteArray report;
    for (int i = 1; i <= 200; ++i)
        report += QStringLiteral("\"Line %1, A%1.dwg\"\r\n").arg(i, 3, 10, QLatin1Char('0')).toUtf8();
    rig.writeReport("date conflicts/WEEK3.dat", report);
    rig.page.optReport[2]->click();
    rig.page.cmdPrint->click();

    const auto pages = readPdfLines(rig.setup.file(1));
    QVERIFY2(pages.size() >= 5, qPrintable(QString::number(pages.size())));
    QStringList body;
    for (int p = 0; p < pages.size(); ++p) {
        const QList<Line>& lines = pages[p];
        QVERIFY(!lines.isEmpty());
        const Line& footer = lines.last();
        QVERIFY2(footer.text.startsWith(QStringLiteral("Printed ")), qPrintable(footer.text));
        QVERIFY2(placedAt(footer, 0.5, 10.425), qPrintable(describe(footer)));
        const int firstBody = p == 0 ? 2 : 0;
        QVERIFY(lines.size() > firstBody + 1);
        if (p > 0)
            QVERIFY2(placedAt(lines[0], 0.5, 0.5), qPrintable(describe(lines[0])));
        for (int i = firstBody; i < lines.size() - 1; ++i) {
            // Nothing of the body reaches into the footer.
            QVERIFY2(lines[i].y + lines[i].height < footer.y - 0.05, qPrintable(describe(lines[i])));
            body << lines[i].text;
        }
    }
    QCOMPARE(body.size(), 200);
    for (int i = 1; i <= 200; ++i)
        QCOMPARE(body[i - 1], QStringLiteral("Line %1, A%1.dwg").arg(i, 3, 10, QLatin1Char('0')));
    // The heading and the title are printed once, on the first page.
    QCOMPARE(pages[0][0].text, QStringLiteral("DARV [Quorrant] - Results"));
    QCOMPARE(pages[0][1].text, QStringLiteral("DWG Date Conflicts"));
}

void ReportsTest::cancelledOrFailedPrintSendsNothing()
{
    Rig rig;
    rig.writeReport("time conflicts/WEEK3.tim", "\"A.dwg, B.dwg\"\r\n");
    rig.page.optReport[0]->click();
    QVERIFY(rig.printEnabled());

    rig.setup.accept = false;
    rig.page.cmdPrint->click();
    QCOMPARE(rig.setup.chooseCalls, 1);
    QVERIFY(rig.setup.written().isEmpty());

    // The report vanished after it was shown: no copy is sent, not even its first page.
    rig.setup.accept = true;
    rig.setup.copies = 2;
    QVERIFY(QFile::remove(rig.data.file(QStringLiteral("time conflicts/WEEK3.tim"))));
    rig.page.cmdPrint->click();
    QVERIFY(rig.setup.written().isEmpty());

    // No project selected: the name is empty, there is no such report, nothing is sent.
    rig.writeReport("time conflicts/WEEK3.tim", "\"A.dwg, B.dwg\"\r\n");
    rig.project.clear();
    rig.page.cmdPrint->click();
    QVERIFY(rig.setup.written().isEmpty());

    // Without the logo the command ends as well.
    rig.project = QStringLiteral("WEEK3");
    QVERIFY(QFile::remove(rig.data.file(QStringLiteral("resources/darvlogo-print.jpg"))));
    rig.page.cmdPrint->click();
    QVERIFY(rig.setup.written().isEmpty());

    // Zero copies print nothing; the view and the button are untouched by printing.
    rig.saveLogo();
    rig.setup.copies = 0;
    rig.page.cmdPrint->click();
    QVERIFY(rig.setup.written().isEmpty());
    QCOMPARE(rig.view(), QStringLiteral("\"A.dwg, B.dwg\"\n"));
    QVERIFY(rig.printEnabled());
}

DARV_GUI_TEST_MAIN(ReportsTest)
#include "ReportsTest.moc"
