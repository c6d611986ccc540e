// The printed evidence of similar drawings: one landscape sheet per pair with both drawings (shared parts
// in red), the evidence lines, the two drawings' properties, the project and the date. For the meeting
// with the student, through the print dialog or straight into a PDF file.
#pragma once

#include "drawing/Drawing.h"
#include "similar/SimilarResult.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

class QPrinter;

namespace darv {

struct EvidencePage
{
    similar::SimilarPair pair;
    std::optional<dwg::Drawing> a; // empty when the store no longer holds it
    std::optional<dwg::Drawing> b;
};

// Prints one page per pair on printer (set up, not yet active). False when the printer fails.
bool printEvidenceSheets(QPrinter& printer, const QString& project, const std::vector<EvidencePage>& pages,
                         const QDate& date);

} // namespace darv
