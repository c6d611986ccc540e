// The full read's last stages: which objects to keep, and how names, layouts and vertices join into the Drawing.
#pragma once

#include "drawing/Drawing.h"
#include "dwg/ClassTable.h"
#include "dwg/DataStore.h"
#include "dwg/HeaderVariables.h"
#include "dwg/ObjectContents.h"
#include "dwg/ObjectReader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace dwg {

struct ObjectRecord
{
    ObjectHead head;
    ObjectContents contents;
};

// Everything the full read keeps of the object pass, in ascending handle order.
struct ContentRecords
{
    std::vector<ObjectRecord> records; // entities a layout may hold, vertices, block headers and layers
    TableCounts counts;
    DataStoreContents dataStore; // 2013+: the modeler data of the entities that keep it in the data store
};

// Whether the full read keeps this object: layout entities, vertices, block headers, layers, the block table and
// the objects that hold R13/R14 full names; counts the table records on the way.
bool keepForContents(const ObjectHead& head, const ObjectContents& contents, TableCounts& counts);

// Drawings before 2004 keep their properties in an XRECORD ("DWGPROPS"); empty when there is none.
std::optional<SummaryInfo> drawingProperties(const ContentRecords& records);

// Fills the drawing's entities (with space, layer and geometry), layer and block names and table counts. Gives the
// records their names as the CAD program shows them first (full names, numbered anonymous blocks).
void assembleContents(ContentRecords& records, const HeaderVariables& header, const ClassTable& classes,
                      Drawing& drawing);

} // namespace dwg
