// The drawing's data store (AcDb:AcDsPrototype_1b): from 2013 on it keeps the solid modeler's data of 3D solids,
// regions, bodies and surfaces instead of the entities themselves.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dwg {

struct DataStoreRecord
{
    std::uint64_t handle = 0; // the entity the data belongs to
    std::string modelerData;  // the binary form, from its signature to its end
};

struct DataStoreContents
{
    std::vector<DataStoreRecord> records; // ascending handle, each handle once
    bool damaged = false;                 // parts of the store could not be read: some records may be missing
};

// The modeler data among the store's records; other records (thumbnails and the like) are left out. Reads nothing
// outside `section`, and copies no more bytes than it holds.
DataStoreContents readDataStore(std::span<const std::uint8_t> section);

} // namespace dwg
