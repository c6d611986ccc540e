// The first fields of each object record: type, handle, and for entities the mode and owner; block names.
#pragma once

#include "dwg/ClassTable.h"
#include "dwg/Fault.h"
#include "dwg/Version.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

class BitReader;

struct ObjectHead
{
    std::uint64_t handle = 0;
    std::uint16_t type = 0;
    bool isEntity = false;
    std::uint8_t entityMode = 0; // entities: 0 = owner stored, 1 = active paper space, 2 = model space
    std::uint64_t owner = 0;     // entities with mode 0: the owning block header
    std::string blockName;       // BLOCK_HEADER objects: the stored name, at most its first 64 characters
};

// Reads object heads out of the objects buffer (R13-R2000: the whole file; R2004+: AcDb:AcDbObjects).
// Reads nothing outside an object's own size, and keeps the work per drawing linear in its size even
// when damaged map entries point into the middle of other objects.
class ObjectReader
{
public:
    ObjectReader(std::span<const std::uint8_t> objects, const VersionFlags& flags, const ClassTable& classes);

    // The object at byte `offset`, which must carry `expectedHandle`.
    // Errors: Truncated or Corrupt, for this object only.
    Expected<ObjectHead> read(std::uint64_t offset, std::uint64_t expectedHandle);

private:
    bool skipExtendedData(BitReader& reader);

    std::span<const std::uint8_t> m_objects;
    const VersionFlags& m_flags;
    const ClassTable& m_classes;
    std::uint64_t m_extendedDataBudget; // extended-data groups left to skip in this drawing
};

} // namespace dwg
