// The TABLES and CLASSES sections: layer and block record names, counts of the other tables, class names.
#include "dxf/Sections.h"

namespace dxf {

namespace {

// The fields of a table record that the drawing needs.
struct RecordFields
{
    std::string_view name; // group 2
    std::optional<std::uint64_t> handle;
};

// The source stands on the record's 0 group; afterwards on the next 0 group.
RecordFields readRecordFields(GroupSource& source)
{
    RecordFields fields;
    bool named = false;
    int appGroups = 0;
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        if (group.code == 102) {
            appGroups += group.word().starts_with("{") ? 1 : (appGroups > 0 ? -1 : 0);
        } else if (appGroups > 0) {
            continue;
        } else if (group.code == 2 && !named) {
            named = true;
            fields.name = group.text;
        } else if ((group.code == 5 || group.code == 105) && !fields.handle) {
            std::uint64_t handle = 0;
            if (group.toHandle(handle)) {
                fields.handle = handle;
            }
        }
    }
    return fields;
}

} // namespace

void readTablesSection(GroupSource& source, DxfContent& content)
{
    TableContent& tables = content.tables;
    source.advance();
    while (!endsSection(source.current())) {
        const Group& group = source.current();
        if (group.code != 0) {
            source.advance();
            continue;
        }
        const std::string_view type = group.word();
        if (type == "LAYER") {
            const RecordFields fields = readRecordFields(source);
            tables.layers.push_back(fields.name);
            if (fields.handle) {
                tables.layerHandles.emplace_back(*fields.handle, fields.name);
            }
        } else if (type == "BLOCK_RECORD") {
            const RecordFields fields = readRecordFields(source);
            tables.hasBlockRecords = true;
            tables.blockRecords.push_back({fields.handle, fields.name});
        } else {
            tables.textStyles += type == "STYLE" ? 1u : 0u;
            tables.linetypes += type == "LTYPE" ? 1u : 0u;
            tables.dimStyles += type == "DIMSTYLE" ? 1u : 0u;
            skipRecord(source); // TABLE, ENDTAB and the records of the other tables
        }
    }
}

void readClassesSection(GroupSource& source, DxfContent& content)
{
    source.advance();
    while (!endsSection(source.current())) {
        if (!source.current().is(0, "CLASS")) {
            source.advance();
            continue;
        }
        ClassEntry entry;
        while (source.advance() && source.current().code != 0) {
            const Group& group = source.current();
            if (group.code == 1) {
                entry.dxfName = group.word();
            } else if (group.code == 2) {
                entry.className = group.word();
            }
        }
        if (!entry.dxfName.empty() && !entry.className.empty()) {
            content.classes.push_back(entry);
        }
    }
}

} // namespace dxf
