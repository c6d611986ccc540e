// The OBJECTS section: the drawing properties, kept in the "DWGPROPS COOKIE" record where the file has one.
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

} // namespace

void readObjectsSection(GroupSource& source, DxfContent& content)
{
    source.advance();
    while (!endsSection(source.current())) {
        if (source.current().is(0, "XRECORD")) {
            readXrecord(source, content);
        } else {
            source.advance();
        }
    }
}

} // namespace dxf
