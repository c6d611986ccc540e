// The OBJECTS section: the drawing properties, kept in the "DWGPROPS COOKIE" record where the file has one, and the
// files of the images.
#include "dxf/Sections.h"

namespace dxf {

namespace {

// Group 1 holds the cookie and, after the dates, the hyperlink base; 2-9 the texts; 300-309 "name=value".
void readProperty(const Group& group, bool cookieSeen, PropertiesRecord& properties)
{
    const std::string_view text = group.text;
    switch (group.code) {
    case 1:
        if (cookieSeen) {
            properties.hyperlinkBase = text;
        }
        break;
    case 2:
        properties.title = text;
        break;
    case 3:
        properties.subject = text;
        break;
    case 4:
        properties.author = text;
        break;
    case 6:
        properties.comments = text;
        break;
    case 7:
        properties.keywords = text;
        break;
    case 8:
        properties.lastSavedBy = text;
        break;
    case 9:
        properties.revision = text;
        break;
    default:
        if (group.code >= 300 && group.code <= 309 && text != "=") {
            properties.custom.push_back(text);
        }
    }
}

// The source stands on an XRECORD's 0 group; afterwards on the next 0 group.
void readXrecord(GroupSource& source, DxfContent& content)
{
    PropertiesRecord properties;
    bool cookieSeen = false;
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        if (!cookieSeen && group.code == 1) {
            if (group.word() != "DWGPROPS COOKIE") {
                skipRecord(source);
                return;
            }
            cookieSeen = true;
        } else if (cookieSeen) {
            readProperty(group, cookieSeen, properties);
        }
    }
    if (cookieSeen && !content.properties) {
        content.properties = std::move(properties);
    }
}

// The source stands on an IMAGEDEF's 0 group; afterwards on the next 0 group.
void readImageDefinition(GroupSource& source, DxfContent& content)
{
    std::optional<std::uint64_t> handle;
    std::string_view path;
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        if (std::uint64_t value = 0; group.code == 5 && !handle && group.toHandle(value)) {
            handle = value;
        } else if (group.code == 1 && path.empty()) {
            path = group.text;
        }
    }
    if (handle) {
        content.imagePaths.emplace_back(*handle, path);
    }
}

} // namespace

void readObjectsSection(GroupSource& source, DxfContent& content)
{
    source.advance();
    while (!endsSection(source.current())) {
        if (source.current().is(0, "XRECORD")) {
            readXrecord(source, content);
        } else if (source.current().is(0, "IMAGEDEF")) {
            readImageDefinition(source, content);
        } else {
            source.advance();
        }
    }
}

} // namespace dxf
