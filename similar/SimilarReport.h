// The similarity report: quoted CR LF lines like the other reports (for the viewer and the printer), and the
// same content as JSON.
#pragma once

#include "similar/SimilarResult.h"

#include <string>
#include <string_view>

namespace darv::similar {

// The whole file: a double quote, the text, a double quote, CR, LF per line.
std::string reportText(const std::string& project, const SimilarResult& result, const SimilarOptions& options);

// {"project", "drawings", "pairs": [{"a", "b", "score", "signals": [{"kind", "share", "text"}]}], "unread"}.
// Paths keep their bytes: a path that is not UTF-8 is readable in "a", "b" or "path" (invalid bytes replaced) and
// whole in "a_bytes", "b_bytes" or "path_bytes" (base64) beside it.
std::string reportJson(const std::string& project, const SimilarResult& result);

// The lines of the ranked pairs as the command line prints them (plain text, LF), then one student's own pairs
// apart, as the report shows them.
std::string pairListing(const SimilarResult& result);

} // namespace darv::similar
