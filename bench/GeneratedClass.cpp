// A generated class of drawings for the benchmarks.
#include "GeneratedClass.h"

#include "base/DataFolder.h"
#include "compare/CollectedDataFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace darv {

// A class as a CAD program would leave it: every student starts from the same template, whose handle
// seed is the same, and the program hands out handles counting up from there. About seven entities in
// ten are lines; some lines get deleted again. Some students copy a classmate's drawing, delete a few
// of its lines and draw new ones, whose handles continue after the copied drawing's last one.
CompareTables makeClass(std::size_t drawings, std::size_t lines, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::uint64_t templateSeed = 0x1F0;
    const std::size_t deletions = lines / 20;
    std::vector<std::vector<std::uint64_t>> all(drawings);
    std::vector<std::uint64_t> nextHandle(drawings);
    CompareTables tables(drawings);

    auto drawLines = [&](std::vector<std::uint64_t>& list, std::uint64_t& next, std::size_t count) {
        while (count > 0) {
            const std::uint64_t handle = next++;
            if (unit(random) < 0.7) {
                list.push_back(handle);
                --count;
            }
        }
    };
    auto deleteLines = [&](std::vector<std::uint64_t>& list, std::size_t count) {
        for (std::size_t k = 0; k < count && !list.empty(); ++k) {
            std::uniform_int_distribution<std::size_t> at(0, list.size() - 1);
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(at(random)));
        }
    };

    for (std::size_t d = 0; d < drawings; ++d) {
        char name[32];
        std::snprintf(name, sizeof name, "STUDENT%04zu", d + 1);
        tables.names[d] = name;
        const bool copies = d > 0 && unit(random) < 0.15;
        if (copies) {
            std::uniform_int_distribution<std::size_t> from(0, d - 1);
            const std::size_t source = from(random);
            all[d] = all[source];
            nextHandle[d] = nextHandle[source];
            tables.times[d] = tables.times[source]; // a copied file keeps its creation time
            const std::size_t changed = static_cast<std::size_t>(unit(random) * static_cast<double>(lines) * 0.3);
            deleteLines(all[d], changed);
            drawLines(all[d], nextHandle[d], changed);
        } else {
            nextHandle[d] = templateSeed;
            drawLines(all[d], nextHandle[d], lines + deletions);
            deleteLines(all[d], deletions);
            tables.times[d] = 2454345.0 + std::floor(unit(random) * 86400.0 * 20.0) / 86400.0;
        }
    }
    char hex[24];
    for (std::size_t d = 0; d < drawings; ++d) {
        std::string& text = tables.handles[d];
        for (const std::uint64_t handle : all[d]) {
            std::snprintf(hex, sizeof hex, "%llX$", static_cast<unsigned long long>(handle));
            text += hex;
        }
    }
    return tables;
}

// Writes a data folder with project BENCH: its location, the drawings to count and its collected data.
void writeDataFolder(const std::string& folder, const CompareTables& tables)
{
    for (const char* sub : {"compares", "time conflicts", "handle conflicts", "date conflicts", "projects", "class"})
        std::filesystem::create_directories(folder + "/" + sub);
    std::ofstream(locationFilePath(folder, "BENCH"), std::ios::binary) << "\"-" << folder << "/class\"\r\n";
    std::ofstream data(collectedDataPath(folder, "BENCH"), std::ios::binary | std::ios::trunc);
    for (std::size_t d = 0; d < tables.drawingCount(); ++d) {
        std::ofstream(folder + "/class/" + tables.names[d] + ".dwg");
        data << recordLine(tables.names[d], tables.times[d], tables.handles[d]);
    }
}

} // namespace darv
