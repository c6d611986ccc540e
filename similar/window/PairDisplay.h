// What the window and the printed sheet show of a pair: the entities marked for drawing, the signal
// lines and the two drawings' properties side by side.
#pragma once

#include "drawing/Drawing.h"
#include "similar/PairMarks.h"
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
// The strongest signal in a few words that tell an identical file, another version of one drawing and an export
// apart ("identical file", "same drawing saved as 2004", "same drawing exported as DXF", "pasted and moved"),
// from the signals and the two drawings' properties (either may be missing).
QString signalWords(const similar::SimilarPair& pair, const dwg::Drawing* a, const dwg::Drawing* b);
// "2004" for "AC1018": the release a DWG version belongs to, or the version itself when unknown.
QString releaseName(const std::string& version);
// The line under the picture of a pair whose evidence is identity only (nothing drawn in red), or "".
QString identityOnlyText(const similar::SimilarPair& pair, const std::vector<ViewEntity>& a,
                         const std::vector<ViewEntity>& b);
bool hasDecisiveSignal(const similar::SimilarPair& pair);

// "copy", "not a copy" or "" (not reviewed), with "changed since" when a drawing changed after the mark.
QString verdictText(const similar::PairMark& mark);
// "Marked a copy by anna on 2026-03-14 10:22: <note>", or "Not reviewed." for a pair without a mark.
QString markText(const similar::PairMark& mark);

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
