// The similarity check of one project: reads the project's drawings into the evidence store (on worker
// threads, stored in a fixed order), compares the class with itself and with earlier projects' stored
// drawings, ranks the pairs and writes the report "similar drawings/NAME.sim". Holds the project's lock.
#pragma once

#include "similar/DrawingSource.h"
#include "similar/SimilarResult.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace darv::similar {

class SimilarRun
{
public:
    SimilarRun(std::string dataFolder, std::string project, SimilarOptions options,
               DrawingSource source = readForSimilarity);

    // Called on the caller's thread after each drawing is stored, in the listing's order.
    std::function<void(const SimilarProgress&)> progress;

    // cancel is checked between drawings.
    SimilarResult run(const std::atomic<bool>& cancel);

private:
    std::string m_dataFolder;
    std::string m_project;
    SimilarOptions m_options;
    DrawingSource m_source;
};

} // namespace darv::similar
