// Fuzz target: the drawing reader on arbitrary bytes must end in a result or an error, never a crash, both for the
// quick read (handles and classes) and the full one (layers, geometry, properties); the modeler data's hash too, of
// the bytes taken as either form (few random drawings reach a solid's data whole).
#include "drawing/Drawing.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(const dwg::ReadResult& result)
{
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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const bool binary : {false, true}) {
        const dwg::ModelerContents modeler{binary, std::string(reinterpret_cast<const char*>(data), size), {}};
        const auto hash = dwg::modelerHash(modeler);
        if (hash && modeler.data.empty()) {
            std::abort(); // empty data never reduces
        }
    }
    const dwg::ReadResult quick = dwg::readDrawing({data, size});
    check(quick);
    const dwg::ReadResult full = dwg::readDrawing({data, size}, dwg::ReadDetail::Contents);
    check(full);
    // The full read finds the same entities as the quick one.
    if (quick.ok() != full.ok() || (quick.ok() && quick.drawing->entities.size() != full.drawing->entities.size())) {
        std::abort();
    }
    return 0;
}
