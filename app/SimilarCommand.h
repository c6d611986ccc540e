// darv2007-cli similar: the similarity check of a project without a window.
#pragma once

#include "app/CompareCommand.h"
#include "similar/DrawingSource.h"
#include "similar/SimilarRun.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

struct SimilarCommandArgs
{
    std::string project;
    std::string dataFolder;
    similar::SimilarOptions options;
    bool json = false;
};

// PROJECT [--data DIR] [--template FILE]... [--against PROJECT]... [--min PERCENT] [--share PERCENT] [--json]
// [--rebuild-store] (each option also as --name=VALUE). Template paths are made absolute. Empty optional, with the
// reason in error, when the words do not make a valid command. Project names are upper-cased with upperCase (as the
// window stores them); an empty one keeps them.
std::optional<SimilarCommandArgs> parseSimilarArgs(const std::vector<std::string>& args,
                                                   const std::string& defaultDataFolder, std::string& error,
                                                   const UpperCase& upperCase = {});

// Reads the project's drawings into the store with a progress line per drawing on err, writes the report,
// prints the ranked pairs (or the JSON) on out. Names go to the terminal with their control characters
// escaped. Returns 0 when every drawing was read and no pair is reported, 1 when pairs are (the unread drawings
// named), 2 when no pair is reported but some drawing was not read, or on an error.
int runSimilarCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                      std::ostream& err, const similar::DrawingSource& source = similar::readForSimilarity,
                      const UpperCase& upperCase = {});

} // namespace darv
