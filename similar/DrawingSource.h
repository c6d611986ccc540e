// The one place where the similarity check reads drawing files: the run takes any source with this
// signature (tests feed drawings from memory), and readForSimilarity is the one the programs use.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <functional>
#include <string>

namespace darv::similar {

// Called from several worker threads at once: a source must not share state between calls.
using DrawingSource = std::function<dwg::ReadResult(const std::string& path)>;

// Bump when what readForSimilarity returns changes (a reader that fills more): drawings stored by an older
// source are then read again when their files are there.
// 5: solids keep their modeler data's hash, the same in a drawing and in its DXF export.
inline constexpr std::int64_t kSourceVersion = 5;

// Whether readForSimilarity reads DXF files; the listing takes *.dxf besides *.dwg when it does.
inline constexpr bool kSourceReadsDxf = true;

// Everything the reader returns of a drawing: properties, layers and every entity's geometry, with the similarity
// view added (see SimilarityView.h).
dwg::ReadResult readForSimilarity(const std::string& path);

} // namespace darv::similar
