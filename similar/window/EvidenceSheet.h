// The printed evidence of similar drawings: a first page with the class at a glance (the options the check
// ran with, the histogram of its scores, the groups, the marks), then one landscape sheet per pair with both
// drawings (shared parts in red, with the legend), the evidence lines, the two drawings' properties, the
// teacher's mark and note; the project, the date and "page i of n" on each. For the meeting with the
// student, through the print dialog or straight into a PDF file.
#pragma once

#include "drawing/Drawing.h"
#include "similar/PairMarks.h"
#include "similar/SimilarResult.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QPrinter;

namespace darv {

struct EvidencePage
{
    similar::SimilarPair pair;
    std::optional<dwg::Drawing> a; // empty when the store no longer holds it
    std::optional<dwg::Drawing> b;
    similar::PairMark mark;
};

struct ClassSummary
{
    QStringList options; // "Threshold: 50 %", ...: the options the check ran with
    QString counts;      // "27 drawings of 27 students, 8 pairs at 50 % or more, 6 groups; ..."
    std::vector<double> scores;
    double threshold = 50;
    QStringList groups;
    QStringList marks; // one line per marked pair
};

// Prints the summary, then one page per pair, on printer (set up, not yet active). False when the printer fails.
bool printEvidenceSheets(QPrinter& printer, const QString& project, const ClassSummary& summary,
                         const std::vector<EvidencePage>& pages, const QDate& date);

} // namespace darv
