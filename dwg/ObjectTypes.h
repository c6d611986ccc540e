// Object type numbers: which are entities, which are skipped, and the automation class name of each entity.
#pragma once

#include "dwg/ClassTable.h"

#include <cstdint>
#include <string_view>

namespace dwg {

namespace ObjectType {
inline constexpr std::uint16_t Attrib = 2;
inline constexpr std::uint16_t Block = 4;
inline constexpr std::uint16_t EndBlock = 5;
inline constexpr std::uint16_t SeqEnd = 6;
inline constexpr std::uint16_t FirstVertex = 10;
inline constexpr std::uint16_t LastVertex = 14;
inline constexpr std::uint16_t BlockHeader = 49;
inline constexpr std::uint16_t Layer = 51;
inline constexpr std::uint16_t TextStyle = 53;
inline constexpr std::uint16_t Linetype = 57;
inline constexpr std::uint16_t DimensionStyle = 69;
inline constexpr std::uint16_t MLineStyle = 73;
inline constexpr std::uint16_t ProxyEntity = 498;
inline constexpr std::uint16_t FirstClass = 500;
} // namespace ObjectType

// True for the fixed entity types and for class-based types whose class describes entities.
bool isEntityType(std::uint16_t type, const ClassTable& classes);

// Entities that belong to another entity or mark a block's ends: never listed on their own.
bool isSubEntityOrBlockMark(std::uint16_t type);

// The automation class name of an entity type, e.g. "AcDbLine"; empty when unknown.
std::string_view entityClassName(std::uint16_t type, const ClassTable& classes);

} // namespace dwg
