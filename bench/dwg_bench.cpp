// Reading speed of the drawing reader: each corpus drawing read many times from memory, by the quick read (handles and
// classes, for the three checks) and by the full read (layers, geometry, properties; goal 50 MB/s on one core).
#include "drawing/Drawing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

void readFromMemory(benchmark::State& state, std::shared_ptr<const std::vector<std::uint8_t>> bytes,
                    dwg::ReadDetail detail)
{
    std::size_t entities = 0;
    for (auto _ : state) {
        const dwg::ReadResult result = dwg::readDrawing(*bytes, detail);
        entities = result.ok() ? result.drawing->entities.size() : 0;
        benchmark::DoNotOptimize(entities);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes->size()));
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["MB"] = static_cast<double>(bytes->size()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path corpus(DARV_CORPUS_DIR);
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
        if (entry.path().extension() == ".dwg") {
            files.push_back(entry.path());
        }
    }
    if (files.empty()) {
        std::cerr << "no drawings in " << corpus << "\n";
        return 0;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        auto bytes = std::make_shared<const std::vector<std::uint8_t>>(readFileBytes(file));
        benchmark::RegisterBenchmark(("read/" + file.stem().string()).c_str(), readFromMemory, bytes,
                                     dwg::ReadDetail::Entities)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("full/" + file.stem().string()).c_str(), readFromMemory, bytes,
                                     dwg::ReadDetail::Contents)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
