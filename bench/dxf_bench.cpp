// Reading speed of the DXF reader (goal: 100 MB/s of ASCII DXF on one core): every corpus DXF, ASCII and binary,
// read from memory with everything the comparison of contents needs, and a written file that is nothing but numbers.
#include "dxf/DxfReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

// Corpus files carry thumbnails and proxy graphics (long hex lines); a drawing exported without them is mostly
// coordinates. This one has 100 000 lines with 16 significant digits, as the CAD program writes them.
std::vector<std::uint8_t> numbersOnlyDxf()
{
    std::string text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    char line[512];
    for (int i = 0; i < 100000; ++i) {
        const double x = 1234.567890123456 + i * 0.1234567890123456;
        const double y = -98.76543210987654 + i * 0.0987654321098765;
        std::snprintf(
            line, sizeof line,
            "  0\r\nLINE\r\n  5\r\n%X\r\n330\r\n1F\r\n100\r\nAcDbEntity\r\n  8\r\nWalls\r\n100\r\nAcDbLine\r\n"
            " 10\r\n%.16g\r\n 20\r\n%.16g\r\n 30\r\n0.0\r\n 11\r\n%.16g\r\n 21\r\n%.16g\r\n 31\r\n0.0\r\n",
            i + 0x100, x, y, x + 10.5, y - 3.25);
        text += line;
    }
    text += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    return {text.begin(), text.end()};
}

void readFromMemory(benchmark::State& state, Bytes bytes, dwg::ReadDetail detail)
{
    std::size_t entities = 0;
    for (auto _ : state) {
        const dwg::ReadResult result = dxf::readDxf(*bytes, detail);
        entities = result.ok() ? result.drawing->entities.size() : 0;
        benchmark::DoNotOptimize(entities);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes->size()));
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["MB"] = static_cast<double>(bytes->size()) / 1e6;
}

void add(const std::string& name, const Bytes& bytes)
{
    benchmark::RegisterBenchmark(("contents/" + name).c_str(), readFromMemory, bytes, dwg::ReadDetail::Contents)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("entities/" + name).c_str(), readFromMemory, bytes, dwg::ReadDetail::Entities)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    add("numbers_only", std::make_shared<const std::vector<std::uint8_t>>(numbersOnlyDxf()));
    const std::filesystem::path corpus(DARV_DXF_CORPUS_DIR);
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
        if (entry.path().extension() == ".dxf") {
            files.push_back(entry.path());
        }
    }
    if (files.empty()) {
        std::cerr << "no DXF corpus in " << corpus << ": the written file only\n";
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        add(file.stem().string(), std::make_shared<const std::vector<std::uint8_t>>(readFileBytes(file)));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
