// Reads the NAME.truth.json files of the shared drawing corpus (the expected reading of each drawing).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace darv::test {

struct TruthEntity
{
    std::string handle;                   // upper-case hexadecimal
    std::optional<std::string> className; // empty: any class is right (proxies)
    std::string space;
};

struct DwgTruth
{
    std::string version;
    double tdcreate = 0;
    std::optional<double> tducreate;
    std::optional<std::string> fingerprintGuid;
    std::vector<TruthEntity> entities;
};

// Parses the text of a truth file; an empty result on malformed text (with `error` set).
std::optional<DwgTruth> parseDwgTruth(const std::string& text, std::string* error = nullptr);
std::optional<DwgTruth> readDwgTruthFile(const std::string& path, std::string* error = nullptr);

} // namespace darv::test
