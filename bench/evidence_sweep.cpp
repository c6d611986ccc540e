// How well the similarity check tells copies from independent students, over many generated classes: for one
// class style and size and a range of seeds, the planted copies that reach the default threshold, the independent
// pairs that do, and the most alike independent pair. With --show, every missed copy and every independent pair of
// 30 or more, with the evidence lines a teacher reads.
//
//   evidence_sweep [--show] STYLE STUDENTS FIRST LAST
//     STYLE: layers (own layers, dimensions), positions (the sheet gives every position), zero (everything on
//     layer 0), bare (layer 0, no dimensions, hardly a line of the student's own)
//   evidence_sweep layers 20 2 60
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace darv;

namespace {

void show(const char* what, const similar::SimilarPair& pair)
{
    std::printf("  %s %.1f  %s | %s\n", what, pair.score, pair.a.shownName.c_str(), pair.b.shownName.c_str());
    for (const similar::Signal& signal : pair.fired)
        std::printf("      %s\n", signal.text.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    int a = 1;
    const bool showPairs = argc > a && std::strcmp(argv[a], "--show") == 0;
    a += showPairs ? 1 : 0;
    if (argc - a != 4) {
        std::fprintf(stderr, "usage: evidence_sweep [--show] layers|positions|zero|bare STUDENTS FIRST LAST\n");
        return 2;
    }
    const std::string style = argv[a];
    test::ClassStyle classStyle;
    if (style == "positions") {
        classStyle.givenPositions = true;
    } else if (style == "zero") {
        classStyle.layerZero = true;
    } else if (style == "bare") {
        classStyle.layerZero = true;
        classStyle.dimensions = false;
    } else if (style != "layers") {
        std::fprintf(stderr, "evidence_sweep: unknown style '%s'\n", style.c_str());
        return 2;
    }
    const int students = std::atoi(argv[a + 1]);
    const auto first = static_cast<std::uint64_t>(std::strtoull(argv[a + 2], nullptr, 10));
    const auto last = static_cast<std::uint64_t>(std::strtoull(argv[a + 3], nullptr, 10));
    if (students < 6 || first > last) {
        std::fprintf(stderr, "evidence_sweep: at least 6 students, and FIRST not after LAST\n");
        return 2;
    }

    const double threshold = similar::SimilarOptions{}.minScore;
    std::size_t planted = 0, found = 0, reportedIndependent = 0, misranked = 0;
    double highestIndependent = 0;
    for (std::uint64_t seed = first; seed <= last; ++seed) {
        test::ClassFolder folder;
        test::ClassGenerator generator(seed % 2 ? test::bracketAssignment(seed) : test::flangeAssignment(seed),
                                       seed * 977, classStyle);
        const test::PlantedClass c = test::plantClass(folder, generator, "SWEEP", students);
        similar::SimilarOptions options;
        options.templates = std::vector<std::string>{c.templatePath};
        options.minScore = 0;
        const std::atomic<bool> cancel{false};
        const similar::SimilarResult result =
            similar::SimilarRun(folder.data(), "SWEEP", options, folder.source()).run(cancel);
        if (result.outcome != similar::SimilarOutcome::Complete) {
            std::fprintf(stderr, "seed %llu: the check did not complete: %s\n", static_cast<unsigned long long>(seed),
                         result.message.c_str());
            return 1;
        }
        if (showPairs)
            std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
        std::size_t foundHere = 0, seenCopies = 0;
        double lowestCopy = 100, highestHere = 0;
        for (const similar::SimilarPair& pair : result.pairs) {
            const bool copy = c.planted.count(test::orderedPair(pair.a.path, pair.b.path)) != 0;
            if (copy) {
                ++seenCopies;
                lowestCopy = std::min(lowestCopy, pair.score);
                foundHere += pair.score >= threshold ? 1 : 0;
                if (showPairs && pair.score < threshold)
                    show("missed copy", pair);
                continue;
            }
            highestIndependent = std::max(highestIndependent, pair.score);
            highestHere = std::max(highestHere, pair.score);
            reportedIndependent += pair.score >= threshold ? 1 : 0;
            if (showPairs && pair.score >= 30)
                show(pair.score >= threshold ? "REPORTED independent" : "independent", pair);
        }
        // A copy not compared at all scores nothing.
        if (seenCopies < c.planted.size())
            lowestCopy = 0;
        misranked += lowestCopy <= highestHere ? 1 : 0;
        planted += c.planted.size();
        found += foundHere;
    }
    std::printf("%s, %d students, seeds %llu-%llu: %zu of %zu copies reach %.0f; %zu independent pairs do; the most "
                "alike independent pair scores %.1f; in %zu classes a copy scores no more than an independent pair\n",
                style.c_str(), students, static_cast<unsigned long long>(first), static_cast<unsigned long long>(last),
                found, planted, threshold, reportedIndependent, highestIndependent, misranked);
    return 0;
}
