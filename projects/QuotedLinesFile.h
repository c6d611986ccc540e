// Text files of quoted lines (the project list and the location files): a double quote, the text,
// a double quote, CR, LF per line; nothing escaped.
#pragma once

#include "base/FileResult.h"

#include <optional>
#include <string>
#include <vector>

namespace darv {

// Every line of the file without its line end (CR LF, or LF alone); empty optional when the file
// cannot be opened or is no regular file.
std::optional<std::vector<std::string>> readLines(const std::string& path);

// The text between the first and the last character of each line; lines shorter than two
// characters give nothing, a line of two characters gives an empty text.
std::optional<std::vector<std::string>> readQuotedLines(const std::string& path);

// Appends one quoted line, creating the file when missing; all or nothing.
FileWrite appendQuotedLine(const std::string& path, const std::string& text);

// Appends the line unless the file holds it already (a missing file holds nothing); added tells which.
// A file that exists but cannot be read is an error, so that no line is doubled blindly.
FileWrite appendQuotedLineOnce(const std::string& path, const std::string& text, bool& added);

// Replaces the file with the given lines through a temporary file in the same folder and a rename,
// so that a failure part-way leaves the old file whole.
FileWrite rewriteQuotedLines(const std::string& path, const std::vector<std::string>& texts);

// Creates the file empty when it does not exist; false when it can be neither opened nor made.
bool ensureFileExists(const std::string& path);

} // namespace darv
