// The printed report: logo, heading, title, the report's fields one per line and the footer.
#include "reports/window/ReportPrinter.h"

#include "reports/ReportFields.h"
#include "reports/window/PrintSetup.h"
#include "reports/window/ReportText.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <optional>

namespace darv {

namespace {

// Prints text lines the way the layout describes them: a position in inches is the top-left corner of
// the line, and a line is as high as its font.
class InchPen
{
public:
    explicit InchPen(QPrinter& printer, QPainter& painter)
        : m_printer(printer), m_painter(painter), m_dpiX(printer.logicalDpiX()), m_dpiY(printer.logicalDpiY())
    {}

    void setFont(const char* family, double points, QFont::Weight weight)
    {
        QFont font(QString::fromLatin1(family));
        font.setPointSizeF(points);
        font.setWeight(weight);
        font.setItalic(false);
        font.setUnderline(false);
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, &m_printer);
        m_ascent = metrics.ascent();
        m_lineHeight = metrics.height() / m_dpiY;
    }

    // Height of one line of the current font, in inches.
    double lineHeight() const { return m_lineHeight; }

    void printLine(double x, double y, const QString& text)
    {
        m_painter.drawText(QPointF(x * m_dpiX, y * m_dpiY + m_ascent), text);
    }

    void drawPicture(const QImage& image, double x, double y, double width, double height)
    {
        m_painter.drawImage(QRectF(x * m_dpiX, y * m_dpiY, width * m_dpiX, height * m_dpiY), image);
    }

private:
    QPrinter& m_printer;
    QPainter& m_painter;
    double m_dpiX;
    double m_dpiY;
    double m_ascent = 0;
    double m_lineHeight = 0;
};

void printFooter(InchPen& pen, const QString& footer)
{
    pen.setFont("ARIAL", 5, QFont::Normal);
    pen.printLine(ReportPrinter::kFooterX, ReportPrinter::kFooterY, footer);
}

// The report's fields as printed lines; nothing when the file cannot be read whole.
std::optional<QStringList> readReportLines(const std::string& path)
{
    const std::optional<QByteArray> bytes = readReportFile(path);
    if (!bytes)
        return std::nullopt;
    QStringList lines;
    for (const std::string& field :
         readFields(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size()))))
        lines.append(decodeReportText(QByteArray::fromStdString(field)));
    return lines;
}

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// One copy of the report, from its first page on; the caller has started the document.
bool printCopy(QPrinter& printer, QPainter& painter, InchPen& pen, const QImage& logo, const QString& title,
               const QStringList& lines, const QString& footer)
{
    pen.drawPicture(logo, ReportPrinter::kLogoX, ReportPrinter::kLogoY, ReportPrinter::kLogoWidth,
                    ReportPrinter::kLogoHeight);
    // Arial Black is a heavy face without being bold; asking for its weight keeps the heading heavy
    // where the family itself is not installed and a substitute is used.
    pen.setFont("ARIAL BLACK", 16, QFont::Black);
    pen.printLine(ReportPrinter::kHeadingX, ReportPrinter::kHeadingY, QString::fromLatin1(kReportHeading));
    pen.setFont("ARIAL", 12, QFont::Bold);
    pen.printLine(ReportPrinter::kTitleX, ReportPrinter::kTitleY, title);

    pen.setFont("COURIER", 8, QFont::Normal);
    double y = ReportPrinter::kBodyY;
    for (const QString& line : lines) {
        if (y + pen.lineHeight() > ReportPrinter::kFooterY - ReportPrinter::kFooterClearance) {
            printFooter(pen, footer);
            if (!printer.newPage()) {
                // A document that cannot be finished is withdrawn rather than sent in part.
                printer.abort();
                painter.end();
                return false;
            }
            pen.setFont("COURIER", 8, QFont::Normal);
            y = ReportPrinter::kContinueY;
        }
        pen.printLine(ReportPrinter::kBodyX, y, line);
        y += pen.lineHeight() + ReportPrinter::kBodyGap;
    }
    printFooter(pen, footer);
    return true;
}

} // namespace

ReportPrinter::ReportPrinter(PrintSetup& setup) : m_setup(setup) {}

void ReportPrinter::print(const QString& title, const std::string& reportPath, const QString& logoPath,
                          const QString& footer, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    const PrintChoice choice = m_setup.choose(printer, parent);
    if (!choice.accepted)
        return;
    const WaitCursor busy;
    if (printer.outputFormat() == QPrinter::PdfFormat && choice.copies > 1) {
        const QImage logo(logoPath);
        const std::optional<QStringList> lines = readReportLines(reportPath);
        if (logo.isNull() || !lines)
            return;
        m_setup.prepareCopy(printer, 1);
        printDocument(printer, logo, title, *lines, footer, choice.copies);
        return;
    }
    for (int copy = 1; copy <= choice.copies; ++copy) {
        // Both files are read before the document begins, so a copy that cannot be completed is never
        // sent as a half-printed page.
        const QImage logo(logoPath);
        if (logo.isNull())
            return;
        const std::optional<QStringList> lines = readReportLines(reportPath);
        if (!lines)
            return;
        m_setup.prepareCopy(printer, copy);
        if (!printDocument(printer, logo, title, *lines, footer))
            return;
    }
}

bool ReportPrinter::printDocument(QPrinter& printer, const QImage& logo, const QString& title, const QStringList& lines,
                                  const QString& footer, int copies)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    InchPen pen(printer, painter);
    for (int copy = 1; copy <= copies; ++copy) {
        if (copy > 1 && !printer.newPage()) {
            printer.abort();
            painter.end();
            return false;
        }
        if (!printCopy(printer, painter, pen, logo, title, lines, footer))
            return false;
    }
    return painter.end();
}

QString ReportPrinter::footerText(const QDate& date)
{
    return QStringLiteral("Printed ") + QLocale().toString(date, QLocale::ShortFormat) +
           QString::fromLatin1(kReportCredit);
}

} // namespace darv
