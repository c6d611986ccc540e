// Fuzz target: the drawing reader on arbitrary bytes must end in a result or an error, never a crash.
#include "dwg/Drawing.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const dwg::ReadResult result = dwg::readDrawing({data, size});
    if (result.ok()) {
        // The promise of the interface: ascending handles without duplicates.
        const auto& entities = result.drawing->entities;
        for (std::size_t i = 1; i < entities.size(); ++i) {
            if (entities[i - 1].handle >= entities[i].handle) {
                std::abort();
            }
        }
    } else if (dwg::describe(result.error).empty()) {
        std::abort();
    }
    return 0;
}
