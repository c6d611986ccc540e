// The first fields of each object record: type, handle, and for entities the mode and owner; block names.
#pragma once

#include "dwg/BitReader.h"
#include "dwg/ClassTable.h"
#include "dwg/Fault.h"
#include "dwg/ObjectContents.h"
#include "dwg/Version.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

class TextDecoder;

struct ObjectHead
{
    std::uint64_t handle = 0;
    std::uint16_t type = 0;
    bool isEntity = false;
    std::uint8_t entityMode = 0; // entities: 0 = owner stored, 1 = active paper space, 2 = model space
    std::uint64_t owner = 0;     // entities with mode 0: the owning block header
    std::string blockName;       // BLOCK_HEADER objects: the stored name, at most its first 64 characters
    bool crcMatches = true;      // false when the CRC after the object's data is checked and does not match
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
    // The same, and for a full read also the entity's body and a LAYER's or BLOCK_HEADER's whole name into
    // `contents` (texts before R2007 through `decoder`). A damaged body does not fail the head.
    Expected<ObjectHead> read(std::uint64_t offset, std::uint64_t expectedHandle, ObjectContents& contents,
                              TextDecoder& decoder);

private:
    template <bool Full>
    Expected<ObjectHead> readObject(std::uint64_t offset, std::uint64_t expectedHandle, ObjectContents* contents,
                                    TextDecoder* decoder);
    bool readRecordName(BitReader& reader, std::uint64_t dataEnd, std::uint64_t handleStart, ObjectHead& head,
                        ObjectContents* contents, TextDecoder* decoder);
    // IMAGEDEF (`image`) and the underlays' definitions: the file's path.
    void readImagePath(const BitReader& afterHead, std::uint64_t handleStart, std::uint64_t dataEnd,
                       ObjectContents& contents, TextDecoder* decoder, bool image) const;
    void readBasePoint(const BitReader& afterName, std::uint64_t handleStart, ObjectContents& contents) const;
    bool skipExtendedData(BitReader& reader);
    // `extendedDataAt`: the bit where the object's extended data begins.
    void readContents(ObjectHead& head, std::uint64_t extendedDataAt, const BitReader& afterMode,
                      std::uint64_t handleStart, std::uint64_t dataEnd, ObjectContents& contents, TextDecoder* decoder);
    void readBody(const ObjectHead& head, std::uint64_t extendedDataAt, const BitReader& afterMode,
                  std::uint64_t handleStart, std::uint64_t dataEnd, ObjectContents& contents, TextDecoder* decoder);

    std::span<const std::uint8_t> m_objects;
    const VersionFlags& m_flags;
    const ClassTable& m_classes;
    std::uint64_t m_extendedDataBudget; // extended-data groups left to skip in this drawing
    // Bits the bodies of a full read may still consume. Objects do not overlap in a sound drawing; damaged map
    // entries that point into the middle of other objects must not make the work grow faster than the drawing.
    std::uint64_t m_bodyBudget;
    bool m_checkCrc; // whether the objects' own CRCs are checked
};

} // namespace dwg
