// The printed evidence of similar drawings: one landscape sheet per pair.
#include "similar/window/EvidenceSheet.h"

#include "similar/window/PairDisplay.h"
#include "similar/window/ScoreHistogram.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace darv {

namespace {

// Writes lines of text from the top of the page downwards, in points.
class SheetPen
{
public:
    SheetPen(QPainter& painter, const QRectF& page)
        : m_painter(painter), m_page(page), m_y(page.top()), m_perPoint(painter.device()->logicalDpiY() / 72.0)
    {}

    void line(const QString& text, double points, bool bold = false, double indent = 0)
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(points);
        font.setBold(bold);
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, m_painter.device());
        const QString shown = metrics.elidedText(text, Qt::ElideMiddle, m_page.width() - indent);
        m_painter.drawText(QPointF(m_page.left() + indent, m_y + metrics.ascent()), shown);
        m_y += metrics.height() * 1.15;
    }
    // Three columns: label, A, B.
    void row(const QString& label, const QString& a, const QString& b, double points, bool bold = false)
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(points);
        font.setBold(bold);
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, m_painter.device());
        const double first = m_page.width() * 0.16;
        const double column = (m_page.width() - first) / 2;
        const double baseline = m_y + metrics.ascent();
        m_painter.drawText(QPointF(m_page.left(), baseline), label);
        m_painter.drawText(QPointF(m_page.left() + first, baseline), metrics.elidedText(a, Qt::ElideMiddle, column));
        m_painter.drawText(QPointF(m_page.left() + first + column, baseline),
                           metrics.elidedText(b, Qt::ElideMiddle, column));
        m_y += metrics.height() * 1.15;
    }
    void skip(double points) { m_y += points * m_perPoint; }
    void skipPixels(double pixels) { m_y += pixels; }
    double y() const { return m_y; }
    double perPoint() const { return m_perPoint; }

private:
    QPainter& m_painter;
    QRectF m_page;
    double m_y;
    double m_perPoint;
};

void drawBoth(QPainter& painter, const EvidencePage& page, const QRectF& area)
{
    const double gap = area.width() * 0.02;
    const QRectF left(area.left(), area.top(), (area.width() - gap) / 2, area.height());
    const QRectF right(left.right() + gap, area.top(), left.width(), area.height());
    const std::vector<ViewEntity> a =
        page.a ? markedEntities(*page.a, page.pair.handlesA, page.pair.templateHandlesA) : std::vector<ViewEntity>{};
    const std::vector<ViewEntity> b =
        page.b ? markedEntities(*page.b, page.pair.handlesB, page.pair.templateHandlesB) : std::vector<ViewEntity>{};
    // Both at one scale, B mapped back by the placement found, as the window shows them.
    const QTransform shiftB = placedBack(page.pair.placement);
    std::optional<QRectF> bounds = worldBounds(a);
    if (const auto other = worldBounds(b, shiftB))
        bounds = bounds ? bounds->united(*other) : *other;
    const ViewTransform transform = bounds ? fitTransform(*bounds, left) : ViewTransform{};
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(left);
    painter.drawRect(right);
    // The same world window in the right box; lines as wide on paper as on a screen.
    const double penScale = painter.device()->logicalDpiX() / 96.0;
    paintEntities(painter, a, transform, left, {}, penScale);
    paintEntities(painter, b, transform, right, shiftB, penScale);
    painter.setPen(Qt::black);
}

// The colours' meaning, on one line: red shared, grey own, faint template.
void drawLegend(QPainter& painter, QPointF at, double perPoint)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double box = 7 * perPoint;
    const std::pair<EntityMark, QString> entries[] = {
        {EntityMark::Shared, QObject::tr("shared with the other drawing")},
        {EntityMark::Own, QObject::tr("its own")},
        {EntityMark::Template, QObject::tr("from the template")},
    };
    for (const auto& [mark, text] : entries) {
        painter.fillRect(QRectF(at.x(), at.y(), box, box), markColour(mark));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(at.x() + box * 1.5, at.y() + box), text);
        at.rx() += box * 3 + metrics.horizontalAdvance(text);
    }
}

// "page i of n" at the foot of the page.
void drawPageNumber(QPainter& painter, const QRectF& pageRect, std::size_t page, std::size_t pages)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(pageRect, Qt::AlignRight | Qt::AlignBottom, QObject::tr("page %1 of %2").arg(page).arg(pages));
}

void printSummary(QPainter& painter, const QRectF& pageRect, const QString& project, const ClassSummary& summary,
                  const QDate& date)
{
    SheetPen pen(painter, pageRect);
    pen.line(QObject::tr("Similar drawings - %1: the class").arg(project), 14, true);
    pen.line(QObject::tr("Printed %1").arg(QLocale().toString(date, QLocale::LongFormat)), 8);
    pen.skip(6);
    pen.line(QObject::tr("Options used"), 10, true);
    for (const QString& option : summary.options)
        pen.line(option, 9, false, 8);
    pen.skip(4);
    pen.line(summary.counts, 9);
    const QRectF chart(pageRect.left(), pen.y() + 4 * pen.perPoint(), pageRect.width() * 0.6, pageRect.height() * 0.25);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    paintHistogram(painter, chart, summary.scores, summary.threshold, painter.device()->logicalDpiX() / 96.0);
    pen.skipPixels(chart.height() + 12 * pen.perPoint());
    pen.line(QObject::tr("Groups"), 10, true);
    if (summary.groups.isEmpty())
        pen.line(QObject::tr("none"), 9, false, 8);
    for (const QString& group : summary.groups)
        pen.line(group, 9, false, 8);
    pen.skip(4);
    pen.line(QObject::tr("Marks"), 10, true);
    if (summary.marks.isEmpty())
        pen.line(QObject::tr("no pair is marked"), 9, false, 8);
    for (const QString& mark : summary.marks)
        pen.line(mark, 9, false, 8);
}

void printPage(QPainter& painter, const QRectF& pageRect, const QString& project, const EvidencePage& page,
               const QDate& date)
{
    SheetPen pen(painter, pageRect);
    pen.line(QObject::tr("Similar drawings - %1").arg(project), 14, true);
    pen.line(QObject::tr("Printed %1").arg(QLocale().toString(date, QLocale::LongFormat)), 8);
    pen.skip(6);
    pen.line(QStringLiteral("A: %1").arg(QString::fromStdString(page.pair.a.shownName)), 9, true);
    pen.line(
        QStringLiteral("B: %1%2").arg(QString::fromStdString(page.pair.b.shownName),
                                      page.pair.b.project.empty() || page.pair.b.project == project.toStdString()
                                          ? QString()
                                          : QStringLiteral("  (%1)").arg(QString::fromStdString(page.pair.b.project))),
        9, true);
    pen.line(QObject::tr("Score: %1 %   Mark: %2")
                 .arg(static_cast<int>(page.pair.score))
                 .arg(verdictText(page.mark).isEmpty() ? QObject::tr("not reviewed") : verdictText(page.mark)),
             9, true);
    const QRectF drawings(pageRect.left(), pen.y() + 4 * pen.perPoint(), pageRect.width(), pageRect.height() * 0.40);
    drawBoth(painter, page, drawings);
    pen.skipPixels(drawings.height() + 6 * pen.perPoint());
    drawLegend(painter, QPointF(pageRect.left(), pen.y()), pen.perPoint());
    pen.skip(14);
    if (page.mark.marked != 0)
        for (const QString& line : markText(page.mark).split(QLatin1Char('\n')))
            pen.line(line, 9, false);
    pen.line(QObject::tr("Evidence"), 10, true);
    for (const QString& line : evidenceLines(page.pair))
        pen.line(QStringLiteral("- ") + line, 9, false, 8);
    const std::string far = farEntitiesText(
        page.a ? markedEntities(*page.a, page.pair.handlesA, page.pair.templateHandlesA) : std::vector<ViewEntity>{},
        page.b ? markedEntities(*page.b, page.pair.handlesB, page.pair.templateHandlesB) : std::vector<ViewEntity>{});
    if (!far.empty())
        pen.line(QObject::tr("Warning: %1").arg(QString::fromStdString(far)), 9, false, 8);
    pen.skip(6);
    pen.row(QObject::tr("Property"), QStringLiteral("A"), QStringLiteral("B"), 9, true);
    for (const PropertyRow& row : propertyRows(page.a ? &*page.a : nullptr, page.b ? &*page.b : nullptr))
        pen.row(row.label, row.a, row.b, 8);
}

} // namespace

bool printEvidenceSheets(QPrinter& printer, const QString& project, const ClassSummary& summary,
                         const std::vector<EvidencePage>& pages, const QDate& date)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF pageRect(0, 0, area.width(), area.height());
    const std::size_t count = pages.size() + 1;
    printSummary(painter, pageRect, project, summary, date);
    drawPageNumber(painter, pageRect, 1, count);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (!printer.newPage()) {
            painter.end();
            return false;
        }
        printPage(painter, pageRect, project, pages[k], date);
        drawPageNumber(painter, pageRect, k + 2, count);
    }
    return painter.end();
}

} // namespace darv
