// What the window and the printed sheet show of a pair: the entities marked for drawing, the signal
// lines and the two drawings' properties side by side.
#pragma once

#include "drawing/Drawing.h"
#include "similar/SimilarResult.h"
#include "similar/window/DrawingPainter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace darv {

// The drawing's model-space entities (all of them when it has none there), marked: shared where the check
// matched them, faint where they came from the template, grey otherwise.
std::vector<ViewEntity> markedEntities(const dwg::Drawing& drawing, const std::vector<std::uint64_t>& shared,
                                       const std::vector<std::uint64_t>& fromTemplate);

// One line per signal that fired, in plain words, strongest first.
QStringList evidenceLines(const similar::SimilarPair& pair);

// The strongest signal's line, for the pair list.
QString strongestSignal(const similar::SimilarPair& pair);
bool hasDecisiveSignal(const similar::SimilarPair& pair);

// (label, value of A, value of B): version, created, last saved, editing time, last saved by, author, fingerprint.
struct PropertyRow
{
    QString label;
    QString a;
    QString b;
};
std::vector<PropertyRow> propertyRows(const dwg::Drawing* a, const dwg::Drawing* b);

// "2026-03-14 10:22:05" for a Julian date as the CAD program shows it (local wall time), "-" when absent.
QString julianDateText(std::optional<double> julian);
// "3 h 12 min" for an editing time.
QString durationText(std::optional<dwg::StoredTime> duration);

} // namespace darv
