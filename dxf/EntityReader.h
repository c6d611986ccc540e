// Reads one entity record (from its "0 NAME" group to the next 0 group): identity, owner, layer and geometry.
#pragma once

#include "dxf/DxfContent.h"
#include "dxf/GroupSource.h"
#include "dxf/TextDecoder.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace dxf {

struct Vertex
{
    dwg::Point3 point;
    std::int64_t flags = 0;
    bool damaged = false;
};

class EntityReader
{
public:
    // contents: read layers and geometry too (ReadDetail::Contents).
    EntityReader(TextDecoder& decoder, bool contents) : m_decoder(decoder), m_contents(contents) {}

    bool readsContents() const { return m_contents; }

    // The source stands on the record's 0 group; afterwards it stands on the next record's 0 group (or the end).
    EntityRecord read(GroupSource& source);
    Vertex readVertex(GroupSource& source);

private:
    const std::string& layerName(std::string_view raw);

    TextDecoder& m_decoder;
    bool m_contents;
    // Decoded layer names: most entities share a few layers.
    std::unordered_map<std::string_view, std::string> m_layers;
};

// Passes over the rest of a record: the source stands on the next 0 group afterwards (or the end).
void skipRecord(GroupSource& source);

} // namespace dxf
