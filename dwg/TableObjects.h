// The non-entity objects a full read uses beyond names: the block table's order, R13/R14 full names and the
// properties of drawings before 2004.
#pragma once

#include "dwg/BitReader.h"
#include "dwg/ObjectContents.h"
#include "dwg/TextDecoder.h"
#include "dwg/Version.h"

#include <cstdint>

namespace dwg {

namespace ObjectType {
inline constexpr std::uint16_t Dictionary = 42;
inline constexpr std::uint16_t BlockControl = 48;
inline constexpr std::uint16_t LayerControl = 50;
inline constexpr std::uint16_t XRecord = 79;
} // namespace ObjectType

// Whether a full read needs the body of this non-entity type.
bool needsTableObjectBody(std::uint16_t type, const VersionFlags& flags);

// `data` stands at the reactor count of the object's common data, `handles` at its handle stream.
void readTableObjectBody(std::uint16_t type, std::uint64_t handle, BitReader data, BitReader handles,
                         const VersionFlags& flags, TextDecoder* decoder, ObjectContents& out);

} // namespace dwg
