// The similarity report: quoted CR LF lines like the other reports (for the viewer and the printer), and the
// same content as JSON.
#pragma once

#include "similar/SimilarRun.h"

#include <string>

namespace darv::similar {

// The whole file: a double quote, the text, a double quote, CR, LF per line.
std::string reportText(const std::string& project, const SimilarResult& result, const SimilarOptions& options);

// {"project", "drawings", "pairs": [{"a", "b", "score", "signals": [{"kind", "share", "text"}]}], "unread"}
std::string reportJson(const std::string& project, const SimilarResult& result);

// The lines of the ranked pairs as the command line prints them (plain text, LF).
std::string pairListing(const SimilarResult& result);

} // namespace darv::similar
