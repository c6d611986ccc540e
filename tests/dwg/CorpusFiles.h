// Finds and loads the drawings of the shared corpus for the reader's tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace darv::test {

inline std::filesystem::path corpusDir()
{
    return std::filesystem::path(DARV_CORPUS_DIR);
}

// Names (without .dwg) of every corpus drawing, sorted; empty when the corpus folder is absent.
inline std::vector<std::string> corpusDrawingNames()
{
    std::vector<std::string> names;
    std::error_code error;
    if (!std::filesystem::is_directory(corpusDir(), error)) {
        return names;
    }
    for (const auto& entry : std::filesystem::directory_iterator(corpusDir(), error)) {
        if (entry.path().extension() == ".dwg") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Parameters for a suite over the corpus: the drawing names, or one empty name (a skipped case) when the
// corpus is absent, so that the suite is never empty.
inline std::vector<std::string> corpusTestParameters()
{
    std::vector<std::string> names = corpusDrawingNames();
    if (names.empty()) {
        names.emplace_back();
    }
    return names;
}

inline std::string corpusTestName(const ::testing::TestParamInfo<std::string>& param)
{
    return param.param.empty() ? std::string("absent") : param.param;
}

inline std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

} // namespace darv::test
