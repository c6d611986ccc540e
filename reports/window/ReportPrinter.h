// The printed report: logo, heading, title, the report's fields one per line and the footer, placed
// in inches from the top-left corner of the printer's printable area.
#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace darv {

class PrintSetup;

class ReportPrinter
{
public:
    explicit ReportPrinter(PrintSetup& setup);

    // The whole print command for one report file: the printer choice, then one document per copy.
    // Each copy reads the logo and the report file anew; when either cannot be read that copy is
    // not sent at all and the command ends silently, like a cancelled choice. Printed to a PDF file,
    // all copies go into that one file, one after the other (separate documents would each replace it).
    void print(const QString& title, const std::string& reportPath, const QString& logoPath, const QString& footer,
               QWidget* parent);

    // Produces one document on printer (not yet active) holding the report `copies` times, each copy
    // starting on a new page. The body continues on further pages when it would reach the footer, and
    // every page carries the footer. False when the printer fails.
    static bool printDocument(QPrinter& printer, const QImage& logo, const QString& title, const QStringList& lines,
                              const QString& footer, int copies = 1);

    // "Printed " + date in the user's short date format + the credit text.
    static QString footerText(const QDate& date);

    // The page layout, in inches.
    static constexpr double kLogoX = 0.25, kLogoY = 0.25, kLogoWidth = 1.25, kLogoHeight = 1.0;
    static constexpr double kHeadingX = 1.5, kHeadingY = 0.65;
    static constexpr double kTitleX = 0.5, kTitleY = 1.5;
    static constexpr double kBodyX = 0.5, kBodyY = 1.8, kBodyGap = 0.125;
    static constexpr double kFooterX = 0.5, kFooterY = 10.425;
    // A body line must end this far above the footer; the next page's body starts at kContinueY.
    static constexpr double kFooterClearance = 0.125, kContinueY = 0.5;

private:
    PrintSetup& m_setup;
};

// Everything printed in the heading and footer that is not read from files.
inline constexpr const char* kReportHeading = "DARV [Quorrant] - Results";
inline constexpr const char* kReportCredit = "      DARV 2007 for Linux - made by the DARV team";

} // namespace darv
