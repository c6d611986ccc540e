// Start drawings that were handed out without being named as templates. Drawings that share one identity
// (fingerprint or creation time) began as one file. When what all of them hold in common is a minority of each
// one, each holds work of its own: they began from one start drawing, and what it holds is left out like a
// template's. When it is most of each, they are copies of one another, and the identity stays decisive.
#pragma once

#include "similar/ClassComparison.h"
#include "similar/DrawingFeatures.h"
#include "similar/SimilarResult.h"

#include <string>
#include <vector>

namespace darv::similar {

// Adds the tokens of every start drawing found among the members (its identity and what all its drawings hold in
// common) to `implied`, which begins as a copy of the named templates.
std::vector<StartDrawing> findStartDrawings(const std::vector<ClassMember>& members, TemplateSet& implied);

} // namespace darv::similar
