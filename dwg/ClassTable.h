// The drawing's class section: object type numbers from 500 on and the classes they stand for.
#pragma once

#include "dwg/Fault.h"
#include "dwg/Version.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dwg {

struct ClassEntry
{
    std::uint16_t number = 0; // the object type that refers to this class
    std::string cppName;      // the automation class name, e.g. "AcDbPolyline"
    std::string dxfName;      // e.g. "LWPOLYLINE"
    bool isEntity = false;    // item class id 0x1F2
};

struct ClassTable
{
    std::vector<ClassEntry> entries;
    const ClassEntry* find(std::uint16_t number) const;
};

// Errors: Truncated, Corrupt.
Expected<ClassTable> readClasses(std::span<const std::uint8_t> section, const VersionFlags& flags);

} // namespace dwg
