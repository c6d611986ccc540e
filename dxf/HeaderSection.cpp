// The HEADER section: "9 $NAME" groups, each followed by the groups of its value.
#include "dxf/Sections.h"

#include <optional>

namespace dxf {

namespace {

void readReal(const Group& group, std::string_view name, std::optional<double>& out, DxfContent& content)
{
    double value = 0;
    if (group.code == 40 && group.toReal(value)) {
        out = value;
    } else {
        warn(content, "header variable " + std::string(name) + " could not be read");
    }
}

void readVariable(std::string_view name, const Group& group, DxfContent& content)
{
    HeaderValues& header = content.header;
    if (name == "$ACADVER" && group.code == 1) {
        header.version = group.word();
    } else if (name == "$DWGCODEPAGE" && group.code == 3) {
        header.codepage = group.word();
    } else if (name == "$FINGERPRINTGUID" && group.code == 2) {
        header.fingerprintGuid = group.word();
    } else if (name == "$VERSIONGUID" && group.code == 2) {
        header.versionGuid = group.word();
    } else if (name == "$LASTSAVEDBY" && group.code == 1) {
        header.lastSavedBy = group.text;
    } else if (name == "$HYPERLINKBASE" && group.code == 1) {
        header.hyperlinkBase = group.text;
    } else if (name == "$HANDSEED") {
        std::uint64_t seed = 0;
        if (group.code == 5 && group.toHandle(seed)) {
            header.handSeed = seed;
        } else {
            warn(content, "header variable $HANDSEED could not be read");
        }
    } else if (name == "$TDCREATE") {
        readReal(group, name, header.tdcreate, content);
    } else if (name == "$TDUCREATE") {
        readReal(group, name, header.tducreate, content);
    } else if (name == "$TDUPDATE") {
        readReal(group, name, header.tdupdate, content);
    } else if (name == "$TDUUPDATE") {
        readReal(group, name, header.tduupdate, content);
    } else if (name == "$TDINDWG") {
        readReal(group, name, header.tdindwg, content);
    }
}

} // namespace

void readHeaderSection(GroupSource& source, DxfContent& content)
{
    std::string_view name;
    while (source.advance() && !endsSection(source.current())) {
        const Group& group = source.current();
        if (group.code == 9) {
            name = group.word();
        } else if (group.code == 0) {
            name = {}; // no records belong in the header; pass over whatever this is
        } else if (!name.empty()) {
            readVariable(name, group, content);
        }
    }
}

} // namespace dxf
