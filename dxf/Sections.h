// The readers of the DXF sections. Each starts on the section's "2 NAME" group and stops on the group that ends
// the section ("0 ENDSEC"; "0 SECTION" or "0 EOF" when ENDSEC is missing; or the end of the data).
#pragma once

#include "dxf/DxfContent.h"
#include "dxf/EntityReader.h"
#include "dxf/GroupSource.h"

#include <string>

namespace dxf {

void readHeaderSection(GroupSource& source, DxfContent& content);
void readClassesSection(GroupSource& source, DxfContent& content);
void readTablesSection(GroupSource& source, DxfContent& content);
void readBlocksSection(GroupSource& source, EntityReader& reader, DxfContent& content);
void readEntitiesSection(GroupSource& source, EntityReader& reader, DxfContent& content);
void readObjectsSection(GroupSource& source, DxfContent& content);
// ACDSDATA: the solid modeler's data of 2013 and later, by entity.
void readDataStoreSection(GroupSource& source, DxfContent& content);
void skipSection(GroupSource& source);

// True on a group that ends a section.
bool endsSection(const Group& group);

// Adds a warning once; a hostile file cannot make the list grow without bound.
void warn(DxfContent& content, std::string text);
// A name from the file as a warning may quote it: printable ASCII, at most 40 characters.
std::string quoted(std::string_view name);

// Block names of the layouts: "*Model_Space", "*Paper_Space", "*Paper_Space0"... (any letter case), and R12's
// "$MODEL_SPACE" and "$PAPER_SPACE".
bool isLayoutName(std::string_view name);

} // namespace dxf
