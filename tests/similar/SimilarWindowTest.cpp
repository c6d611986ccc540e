// The Similar Drawings window over a generated class with planted copies: the ranking, the red marking,
// the views moving together, a cancelled run and the printed sheets.
#include "similar/PlantedClass.h"

#include "settings/SettingsStore.h"
#include "similar/SqliteEvidenceStore.h"
#include "similar/window/DrawingPairView.h"
#include "similar/window/PairDisplay.h"
#include "similar/window/ScoreHistogram.h"
#include "similar/window/SimilarWindow.h"
#include "support/GuiFixture.h"
#include "widgets/NameText.h"
#include "widgets/ScreenPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

using namespace darv;
using namespace darv::test;

namespace {

constexpr int kRunTimeoutMs = 60000;

struct Rig
{
    Rig() : generator(bracketAssignment(7), 7000), planted(plantClass(folder, generator, "WEEK 3")) {}

    void open(similar::DrawingSource source = {})
    {
        window = std::make_unique<SimilarWindow>([this] { return folder.data(); }, messages,
                                                 source ? source : folder.source());
        window->resize(1300, 850);
        window->openFor("WEEK 3", {});
        window->templateList()->addItem(nameText(planted.templatePath));
    }
    bool compare()
    {
        QSignalSpy finished(window.get(), &SimilarWindow::runFinished);
        window->compare();
        return finished.wait(kRunTimeoutMs);
    }
    int rowOf(const std::string& path) const
    {
        for (int row = 0; row < window->pairTable()->rowCount(); ++row) {
            const auto& pair =
                window
                    ->pairs()[static_cast<std::size_t>(window->pairTable()->item(row, 0)->data(Qt::UserRole).toInt())];
            if (pair.a.path == path || pair.b.path == path)
                return row;
        }
        return -1;
    }

    ClassFolder folder;
    ClassGenerator generator;
    PlantedClass planted;
    RecordingMessages messages;
    std::unique_ptr<SimilarWindow> window;
};

bool isRed(const QColor& c)
{
    return c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

bool isGrey(const QColor& c)
{
    return std::abs(c.red() - c.green()) < 20 && std::abs(c.green() - c.blue()) < 20 && c.red() < 200;
}

// The colour drawn nearest to a device point (lines are thin and anti-aliased).
QColor inkNear(const QImage& image, QPointF at, bool (*wanted)(const QColor&))
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p(qRound(at.x()) + dx, qRound(at.y()) + dy);
            if (image.rect().contains(p) && wanted(image.pixelColor(p)))
                return image.pixelColor(p);
        }
    return Qt::white;
}

// Of the lines with the given mark, the share whose midpoint shows the wanted colour in the side's view.
double shareInColour(const DrawingPairView& view, int side, EntityMark mark, bool (*wanted)(const QColor&))
{
    const QImage image = view.view(side)->grab().toImage();
    const QRectF target = view.view(side)->rect();
    int lines = 0, coloured = 0;
    for (const ViewEntity& entity : view.entities(side)) {
        const auto* line = std::get_if<dwg::LineGeometry>(&entity.geometry);
        if (!line || entity.mark != mark)
            continue;
        const QPointF placed =
            view.shift(side).map(QPointF((line->start.x + line->end.x) / 2, (line->start.y + line->end.y) / 2));
        const QPointF mid = view.transform().toDevice(placed.x(), placed.y(), target);
        if (!target.contains(mid))
            continue;
        ++lines;
        coloured += wanted(inkNear(image, mid, wanted)) ? 1 : 0;
    }
    return lines == 0 ? -1.0 : static_cast<double>(coloured) / lines;
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class SimilarWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void showsTheRankedPairsWithTheSharedPartsInRed();
    void cancelLeavesTheStoreWhole();
    void aDamagedStoreIsRebuiltWhenTheTeacherSaysYes();
    void farEntitiesAreLeftOutOfTheBoundsAndNamed();
    void marksSurviveCompareThresholdAndRestart();
    void theThresholdLineFiltersTheListNotTheReport();
    void windowsOpenWithinTheScreen();
    void keysZoomTheFocusedViewAndEscCloses();
    void theSignalSaysHowTheCopyWasMade();
    void theStoreChoiceIsRememberedWithoutItsPassword();
};

void SimilarWindowTest::showsTheRankedPairsWithTheSharedPartsInRed()
{
    Rig rig;
    rig.open();
    rig.window->show();
    QVERIFY(rig.compare());
    QTableWidget* table = rig.window->pairTable();

    // The list shows the planted pairs, in the check's own ranking; the pairs kept under the threshold follow,
    // hidden.
    const std::atomic<bool> never{false};
    similar::SimilarRun direct(rig.folder.data(), "WEEK 3", similar::SimilarOptions{}, rig.folder.source());
    const similar::SimilarResult ranking = direct.run(never);
    int listed = 0;
    while (listed < table->rowCount() && !table->isRowHidden(listed))
        ++listed;
    QCOMPARE(listed, static_cast<int>(rig.planted.planted.size()));
    QCOMPARE(static_cast<std::size_t>(listed), ranking.pairs.size());
    QCOMPARE(static_cast<std::size_t>(table->rowCount() - listed), ranking.below.size());
    for (int row = 0; row < listed; ++row) {
        const auto& shown =
            rig.window->pairs()[static_cast<std::size_t>(table->item(row, 0)->data(Qt::UserRole).toInt())];
        QCOMPARE(shown.a.path, ranking.pairs[static_cast<std::size_t>(row)].a.path);
        QCOMPARE(shown.b.path, ranking.pairs[static_cast<std::size_t>(row)].b.path);
    }

    // The moved copy: its shared lines red in both views, its own grey, B shifted back onto A.
    const int moved = rig.rowOf(rig.planted.movedCopy);
    QVERIFY(moved >= 0);
    table->selectRow(moved);
    DrawingPairView* view = rig.window->pairView();
    QTRY_VERIFY(!view->entities(0).empty() && !view->entities(1).empty());
    QVERIFY(std::abs(std::abs(view->shift(1).dx()) - std::abs(rig.planted.move.x)) < 1e-6);
    for (int side = 0; side < 2; ++side) {
        QVERIFY2(shareInColour(*view, side, EntityMark::Shared, isRed) >= 0.9, qPrintable(QString::number(side)));
        const double own = shareInColour(*view, side, EntityMark::Own, isGrey);
        QVERIFY2(own < 0 || own >= 0.8, qPrintable(QString::number(own)));
    }
    QVERIFY(!rig.window->evidenceList()->findItems(QStringLiteral("moved by"), Qt::MatchContains).isEmpty());
    QCOMPARE(rig.window->propertyTable()->rowCount(), 7);
    // A screenshot of the window with a real pair, to look at.
    const QString shot = QDir::currentPath() + QStringLiteral("/similar-drawings-window.png");
    QVERIFY(rig.window->grab().save(shot));

    // Zoom on A and pan on B: both views follow, the shared lines stay red where the transform puts them.
    const double scale = view->transform().scale;
    const QPointF centre = view->view(0)->rect().center();
    QWheelEvent wheel(centre, view->view(0)->mapToGlobal(centre), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->view(0), &wheel);
    QVERIFY(view->transform().scale > scale * 1.4);
    QTest::mousePress(view->view(1), Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(view->view(1), QPoint(240, 170));
    QTest::mouseRelease(view->view(1), Qt::LeftButton, {}, QPoint(240, 170));
    for (int side = 0; side < 2; ++side)
        QVERIFY(shareInColour(*view, side, EntityMark::Shared, isRed) >= 0.9);

    // The sheets are the selected pairs': no selection, nothing to print.
    const auto* savePdfButton = rig.window->findChild<QPushButton*>(QStringLiteral("cmdSavePdf"));
    QVERIFY(savePdfButton && savePdfButton->isEnabled());
    table->clearSelection();
    QVERIFY(!savePdfButton->isEnabled());

    // Two selected pairs give two sheets, with their evidence lines.
    if (!havePoppler())
        QSKIP("poppler-utils are needed to read the PDF");
    table->clearSelection();
    table->setSelectionMode(QAbstractItemView::MultiSelection);
    table->selectRow(0);
    table->selectRow(moved == 0 ? 1 : moved);
    QTemporaryDir pdfFolder;
    const QString pdf = pdfFolder.filePath(QStringLiteral("evidence.pdf"));
    QVERIFY(rig.window->savePdf(pdf));
    // The class's summary first, then one page per pair, numbered.
    QVERIFY(runTool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\b"))));
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("Similar drawings - WEEK 3")));
    QVERIFY(text.contains(QStringLiteral("Threshold: pairs from 50 % reported")));
    QVERIFY(text.contains(QStringLiteral("page 1 of 3")) && text.contains(QStringLiteral("page 3 of 3")));
    QVERIFY(text.contains(QStringLiteral("shared with the other drawing")));
    for (int row : {0, moved == 0 ? 1 : moved}) {
        const auto& pair =
            rig.window->pairs()[static_cast<std::size_t>(table->item(row, 0)->data(Qt::UserRole).toInt())];
        const QString firstWords = QString::fromStdString(pair.fired.front().text).left(24);
        QVERIFY2(text.contains(firstWords), qPrintable(firstWords));
    }
}

void SimilarWindowTest::cancelLeavesTheStoreWhole()
{
    Rig rig;
    // A slow reader, so the run can be cancelled while it reads.
    const similar::DrawingSource quick = rig.folder.source();
    rig.open([quick](const std::string& path) {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        return quick(path);
    });
    QSignalSpy finished(rig.window.get(), &SimilarWindow::runFinished);
    rig.window->compare();
    QVERIFY(rig.window->cancelButton()->isEnabled());
    QTest::qWait(150);
    rig.window->cancelButton()->click();
    QVERIFY(finished.wait(kRunTimeoutMs));
    QVERIFY(rig.window->statusLabel()->text().startsWith(QStringLiteral("Cancelled")));
    QCOMPARE(rig.window->pairTable()->rowCount(), 0);
    QVERIFY(rig.window->compareButton()->isEnabled());

    // Whatever was stored is whole: every stored drawing loads again.
    similar::SqliteEvidenceStore store;
    QVERIFY(store.open(evidenceStorePath(rig.folder.data())));
    const auto project = store.findProject("WEEK 3");
    QVERIFY(project);
    const auto stored = store.rows(*project, similar::DrawingRole::Class);
    QVERIFY(stored);
    const std::vector<similar::StoredRow>& rows = *stored;
    QVERIFY(rows.size() < rig.planted.students.size() + rig.planted.planted.size());
    for (const similar::StoredRow& row : rows)
        QVERIFY(store.loadDrawing(row.id).has_value());
}

// A store damaged while no run had it open: the run stops, the question offers the rebuild, and Yes rebuilds it
// and compares again.
void SimilarWindowTest::aDamagedStoreIsRebuiltWhenTheTeacherSaysYes()
{
    Rig rig;
    rig.open();
    QVERIFY(rig.compare());
    const int pairs = rig.window->pairTable()->rowCount();
    QVERIFY(pairs > 0);
    const std::string store = evidenceStorePath(rig.folder.data());
    std::string bytes = readFile(store);
    std::fill(bytes.begin(), bytes.begin() + 100, '\0'); // the header: no database any more
    writeFile(store, bytes);

    rig.messages.answer = false;
    QVERIFY(rig.compare());
    QCOMPARE(rig.window->pairTable()->rowCount(), 0);
    QVERIFY(rig.window->statusLabel()->text().contains(QStringLiteral("damaged")));
    QVERIFY(rig.messages.shown.back().text.find("Rebuild the evidence store") != std::string::npos);

    rig.messages.answer = true;
    QSignalSpy finished(rig.window.get(), &SimilarWindow::runFinished);
    rig.window->compare();
    QVERIFY(finished.wait(kRunTimeoutMs));        // the damaged run, then Yes starts the rebuild
    if (rig.window->pairTable()->rowCount() == 0) // the rebuild's run ends later
        QVERIFY(finished.wait(kRunTimeoutMs));
    QCOMPARE(rig.window->pairTable()->rowCount(), pairs);
    QVERIFY(rig.messages.shown.back().text.find("rebuilt from the drawings still on disk") != std::string::npos);
}

void SimilarWindowTest::farEntitiesAreLeftOutOfTheBoundsAndNamed()
{
    std::vector<ViewEntity> entities(3);
    entities[0].handle = 0x2A;
    entities[0].geometry = dwg::LineGeometry{{0, 0, 0}, {10, 5, 0}};
    entities[1].handle = 0x2B;
    entities[1].geometry = dwg::PointGeometry{{1e308, -1e308, 0}};
    entities[2].handle = 0x2C;
    entities[2].geometry = dwg::LineGeometry{{-2, 1, 0}, {3, 2e13, 0}};
    const auto bounds = worldBounds(entities);
    QVERIFY(bounds);
    QCOMPARE(*bounds, QRectF(QPointF(0, 0), QPointF(10, 5)));
    QCOMPARE(farEntitiesText(entities, {}),
             std::string("Left out of the view, as they lie beyond 1e12 drawing units: A's entities 2B, 2C."));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintEntities(painter, entities, fitTransform(*bounds, image.rect()), image.rect());
    painter.end();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    QVERIFY(drawn > 50); // the near line is drawn
}

// A mark and its note outlive a new Compare with another threshold and a restart (the last check is shown on
// opening, before any Compare); a drawing changed since flags its mark; "not a copy" can be hidden.
void SimilarWindowTest::marksSurviveCompareThresholdAndRestart()
{
    Rig rig;
    rig.open();
    QVERIFY(rig.compare());
    QTableWidget* table = rig.window->pairTable();
    const int moved = rig.rowOf(rig.planted.movedCopy);
    const int other = moved == 0 ? 1 : 0;
    const std::string otherPath = rig.window->pairOfRow(other).a.path;
    table->selectRow(moved);
    rig.window->verdictBox()->setCurrentIndex(1); // copy
    rig.window->noteEdit()->setPlainText(QStringLiteral("Spoke to both: the layout was shared."));
    rig.window->findChild<QPushButton*>(QStringLiteral("cmdSaveMark"))->click();
    QVERIFY(rig.window->markPair(other, similar::PairVerdict::NotCopy));
    QCOMPARE(table->item(moved, SimilarWindow::ColumnMark)->text(), QStringLiteral("copy"));
    rig.window->hideNotCopyBox()->setChecked(true);
    QVERIFY(table->isRowHidden(other) && !table->isRowHidden(moved));

    // Another threshold and a new Compare: the marks stay with their pairs.
    rig.window->thresholdBox()->setValue(60);
    QVERIFY(rig.compare());
    QCOMPARE(table->item(rig.rowOf(rig.planted.movedCopy), SimilarWindow::ColumnMark)->text(), QStringLiteral("copy"));

    // A restart: the last check is there before any Compare, with its date and its threshold.
    const int rows = table->rowCount();
    rig.window.reset();
    rig.window =
        std::make_unique<SimilarWindow>([&rig] { return rig.folder.data(); }, rig.messages, rig.folder.source());
    rig.window->openFor("WEEK 3", {});
    table = rig.window->pairTable();
    QCOMPARE(table->rowCount(), rows);
    QCOMPARE(rig.window->thresholdBox()->value(), 60);
    QVERIFY(rig.window->statusLabel()->text().startsWith(QStringLiteral("Last check")));
    const int again = rig.rowOf(rig.planted.movedCopy);
    QCOMPARE(table->item(again, SimilarWindow::ColumnMark)->text(), QStringLiteral("copy"));
    table->selectRow(again);
    QCOMPARE(rig.window->noteEdit()->toPlainText(), QStringLiteral("Spoke to both: the layout was shared."));
    QVERIFY(rig.window->markLabel()->text().startsWith(QStringLiteral("Marked a copy by")));

    // The moved copy's file changes: its mark is kept and flagged; the other pair's is not.
    const auto later = std::filesystem::last_write_time(rig.planted.movedCopy) + std::chrono::hours(1);
    std::filesystem::last_write_time(rig.planted.movedCopy, later);
    QVERIFY(rig.compare());
    QCOMPARE(table->item(rig.rowOf(rig.planted.movedCopy), SimilarWindow::ColumnMark)->text(),
             QStringLiteral("copy, changed since"));
    const int otherRow = rig.rowOf(otherPath);
    QVERIFY(otherRow >= 0);
    QCOMPARE(rig.window->markOf(rig.window->pairOfRow(otherRow)).verdict, similar::PairVerdict::NotCopy);
    QVERIFY(!rig.window->markOf(rig.window->pairOfRow(otherRow)).changedSince);
}

// Dragging the line lists the pairs from its score, also under the check's threshold (every pair of the
// distribution down to the kept floor); the spin box follows; the report keeps the check's threshold.
// The table's columns fit the list's width, names first.
void SimilarWindowTest::theThresholdLineFiltersTheListNotTheReport()
{
    Rig rig;
    rig.open();
    rig.window->resize(1100, 760);
    rig.window->show();
    QVERIFY(rig.compare());
    QTableWidget* table = rig.window->pairTable();
    const std::string report = readFile(similarReportPath(rig.folder.data(), "WEEK 3"));
    ScoreHistogram* histogram = rig.window->histogram();
    QVERIFY(!histogram->scores().empty());
    QVERIFY(histogram->scores().size() > static_cast<std::size_t>(table->rowCount()));

    const int y = histogram->height() / 2;
    QTest::mousePress(histogram, Qt::LeftButton, {}, QPoint(qRound(histogram->xOf(50)), y));
    QTest::mouseMove(histogram, QPoint(qRound(histogram->xOf(99.6)), y));
    QTest::mouseRelease(histogram, Qt::LeftButton, {}, QPoint(qRound(histogram->xOf(99.6)), y));
    QCOMPARE(rig.window->thresholdBox()->value(), 100);
    int visible = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        QCOMPARE(table->isRowHidden(row), rig.window->pairOfRow(row).score < 100);
        visible += table->isRowHidden(row) ? 0 : 1;
    }
    QVERIFY(visible > 0 && visible < table->rowCount());

    QTest::mousePress(histogram, Qt::LeftButton, {}, QPoint(qRound(histogram->xOf(99.6)), y));
    QTest::mouseMove(histogram, QPoint(qRound(histogram->xOf(similar::kListedFloor)), y));
    QTest::mouseRelease(histogram, Qt::LeftButton, {}, QPoint(qRound(histogram->xOf(similar::kListedFloor)), y));
    const double line = histogram->threshold();
    QVERIFY(line < 50);
    const auto under = [line](double score) { return score >= line && score < 50; };
    const auto inDistribution = std::count_if(histogram->scores().begin(), histogram->scores().end(), under);
    int listedUnder = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        if (!table->isRowHidden(row))
            listedUnder += under(rig.window->pairOfRow(row).score) ? 1 : 0;
    QVERIFY(inDistribution > 0);
    QCOMPARE(listedUnder, inDistribution);
    QCOMPARE(readFile(similarReportPath(rig.folder.data(), "WEEK 3")), report);

    QTRY_VERIFY([table] {
        int sum = 0;
        for (int column = 0; column < SimilarWindow::kPairColumns; ++column)
            sum += table->horizontalHeader()->sectionSize(column);
        return sum <= table->viewport()->width() && table->horizontalHeader()->sectionSize(0) >= 60;
    }());
}

// A window opens inside the screen's available area: shrunk when it may be, at the top left when it cannot fit.
void SimilarWindowTest::windowsOpenWithinTheScreen()
{
    const QRect area(0, 30, 960, 570); // 1920 x 1200 at scale 2, a panel at the top
    QCOMPARE(placeWithin(QRect(500, 400, 1100, 760), {400, 300}, true, area), QRect(0, 30, 960, 570));
    QCOMPARE(placeWithin(QRect(700, -50, 300, 200), {300, 200}, true, area), QRect(660, 30, 300, 200));
    // The fixed main window with its title bar: taller than the area, so at its top left.
    QCOMPARE(placeWithin(QRect(227, 0, 506, 591), {506, 591}, false, area), QRect(0, 30, 506, 591));

    Rig rig;
    SimilarWindow window([&rig] { return rig.folder.data(); }, rig.messages, rig.folder.source());
    window.openFor("WEEK 3", {});
    const QRect available = availableArea(&window);
    QVERIFY(!available.isEmpty());
    QVERIFY2(
        available.contains(QRect(window.pos(), window.size())),
        qPrintable(
            QStringLiteral("%1,%2 %3x%4").arg(window.x()).arg(window.y()).arg(window.width()).arg(window.height())));
}

// A click gives a view the keys: + zooms, 0 fits again; a resize refits unless the teacher zoomed; Esc closes.
void SimilarWindowTest::keysZoomTheFocusedViewAndEscCloses()
{
    Rig rig;
    rig.open();
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QVERIFY(rig.compare());
    DrawingPairView* view = rig.window->pairView();
    QTRY_VERIFY(!view->entities(0).empty());
    QTest::mouseClick(view->view(1), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(view->view(1)->hasFocus());
    const double fitted = view->transform().scale;
    QTest::keyClick(view->view(1), Qt::Key_Plus);
    QVERIFY(view->transform().scale > fitted * 1.2 && view->zoomed());
    rig.window->resize(rig.window->width() - 200, rig.window->height());
    QTest::qWait(50);
    QVERIFY(view->zoomed() && view->transform().scale > fitted * 1.2); // the teacher's zoom stays
    QTest::keyClick(view->view(1), Qt::Key_0);
    QVERIFY(!view->zoomed());
    const double refitted = view->transform().scale;
    rig.window->resize(rig.window->width() + 300, rig.window->height());
    QTRY_VERIFY(view->transform().scale != refitted); // a larger view shows the drawings larger
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    QTRY_VERIFY(!rig.window->isVisible());
}

// The list's words tell an identical file, another version and an export apart, and only identity evidence gets
// the line under the picture.
void SimilarWindowTest::theSignalSaysHowTheCopyWasMade()
{
    using similar::SignalKind;
    similar::SimilarPair pair;
    pair.fired = {{SignalKind::SameFingerprint, 1, "same fingerprint", true},
                  {SignalKind::GeometryInPlace, 1, "in place", false}};
    dwg::Drawing a, b;
    a.version = b.version = "AC1015";
    QCOMPARE(signalWords(pair, &a, &b), QStringLiteral("one file, edited"));
    b.version = "AC1018";
    QCOMPARE(signalWords(pair, &a, &b), QStringLiteral("same drawing saved as 2004"));
    b.format = dwg::DrawingFormat::Dxf;
    QCOMPARE(signalWords(pair, &a, &b), QStringLiteral("same drawing exported as DXF"));
    pair.fired.insert(pair.fired.begin() + 1, {SignalKind::SameContent, 1, "same content", true});
    b = a;
    QCOMPARE(signalWords(pair, &a, &b), QStringLiteral("identical file"));
    pair.fired = {{SignalKind::GeometryMoved, 0.9, "moved", false}};
    QCOMPARE(signalWords(pair, nullptr, nullptr), QStringLiteral("pasted and moved"));

    std::vector<ViewEntity> grey(1);
    pair.fired = {{SignalKind::SameContent, 1, "same content", true}};
    QVERIFY(identityOnlyText(pair, grey, grey).startsWith(QStringLiteral("Identical files")));
    std::vector<ViewEntity> red = grey;
    red[0].mark = EntityMark::Shared;
    QVERIFY(identityOnlyText(pair, red, red).isEmpty());
}

// The Store choice: the department server is used and remembered, an address with a password is used but never
// written down, and a server that cannot be reached gives no result and keeps nothing on this computer instead.
void SimilarWindowTest::theStoreChoiceIsRememberedWithoutItsPassword()
{
    Rig rig;
    rig.open();
    auto* choice = rig.window->findChild<QComboBox*>(QStringLiteral("cboStore"));
    auto* address = rig.window->findChild<QLineEdit*>(QStringLiteral("txtStoreAddress"));
    QVERIFY(choice && address);
    QCOMPARE(choice->currentIndex(), 0);
    const QString secret = QStringLiteral("host=/nonexistent port=5432 user=anna password=s3cret connect_timeout=2");
    address->setText(secret);
    choice->setCurrentIndex(1);
    QCOMPARE(rig.messages.shown.size(), std::size_t{1});
    QVERIFY(rig.messages.shown[0].text.find("never written down") != std::string::npos);
    QCOMPARE(SettingsStore().get(SettingsStore::Key::SimilarStore).toInt(), 1);
    QVERIFY(
        !SettingsStore().get(SettingsStore::Key::SimilarStoreAddress).toString().contains(QStringLiteral("s3cret")));
    QVERIFY(rig.compare());
    QCOMPARE(rig.window->statusLabel()->text(), QStringLiteral("Not compared."));
    QVERIFY(rig.messages.shown.back().text.find("cannot be reached") != std::string::npos);
    QVERIFY(!std::filesystem::exists(evidenceStorePath(rig.folder.data())));

    const QString plain = QStringLiteral("host=/nonexistent port=5432 user=anna connect_timeout=2");
    address->setText(plain);
    emit address->editingFinished();
    QCOMPARE(SettingsStore().get(SettingsStore::Key::SimilarStoreAddress).toString(), plain);
    // A new window starts with the remembered choice; "This computer" again for the other tests.
    SimilarWindow again([&rig] { return rig.folder.data(); }, rig.messages, rig.folder.source());
    QCOMPARE(again.findChild<QComboBox*>(QStringLiteral("cboStore"))->currentIndex(), 1);
    QCOMPARE(again.findChild<QLineEdit*>(QStringLiteral("txtStoreAddress"))->text(), plain);
    choice->setCurrentIndex(0);
    QCOMPARE(SettingsStore().get(SettingsStore::Key::SimilarStore).toInt(), 0);
}

DARV_GUI_TEST_MAIN(SimilarWindowTest)
#include "SimilarWindowTest.moc"
