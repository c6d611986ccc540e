// Fuzz target: the DXF reader on arbitrary bytes must end in a drawing or an error, never a crash or a hang.
#include "dxf/DxfReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

namespace {

bool validUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const dwg::ReadResult result = dxf::readDxf({data, size}, dwg::ReadDetail::Contents);
    if (!result.ok()) {
        if (dwg::describe(result.error).empty()) {
            std::abort();
        }
        return 0;
    }
    // The promises of the interface: ascending handles without duplicates, texts in UTF-8 (JSON writers rely on it).
    const auto& entities = result.drawing->entities;
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if ((i > 0 && entities[i - 1].handle >= entities[i].handle) || !validUtf8(entities[i].className) ||
            !validUtf8(entities[i].layer) || !validUtf8(entities[i].space)) {
            std::abort();
        }
    }
    for (const dwg::Entity& entity : entities) {
        const auto* text = std::get_if<dwg::TextGeometry>(&entity.geometry);
        const auto* mtext = std::get_if<dwg::MTextGeometry>(&entity.geometry);
        if ((text && !validUtf8(text->text)) || (mtext && !validUtf8(mtext->text))) {
            std::abort();
        }
    }
    for (const auto* texts : {&result.drawing->layers, &result.drawing->blocks, &result.drawing->warnings}) {
        for (const std::string& text : *texts) {
            if (!validUtf8(text)) {
                std::abort();
            }
        }
    }
    return 0;
}
