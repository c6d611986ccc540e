// Decoding speed of the 2007 container on the corpus drawings: file bytes per second, sections included.
#include "dwg/R2007Container.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readCorpusFile(const std::string& name)
{
    std::ifstream in(std::string(DARV_CORPUS_DIR) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void decodeContainer(benchmark::State& state, const std::string& name)
{
    const auto file = readCorpusFile(name);
    if (file.empty()) {
        state.SkipWithError("corpus file not found");
        return;
    }
    std::size_t sectionBytes = 0;
    for (auto _ : state) {
        auto sections = dwg::readR2007Sections(file);
        if (!sections.ok()) {
            state.SkipWithError(sections.fault().detail.c_str());
            return;
        }
        sectionBytes =
            sections->header.size() + sections->classes.size() + sections->handles.size() + sections->objects.size();
        benchmark::DoNotOptimize(sections->objects.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
    state.counters["section_bytes"] = static_cast<double>(sectionBytes);
}

BENCHMARK_CAPTURE(decodeContainer, sample_AC1021, std::string("sample_AC1021.dwg"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeContainer, example_2007, std::string("example_2007.dwg"))->Unit(benchmark::kMillisecond);

} // namespace
