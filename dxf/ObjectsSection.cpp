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

int hexDigit(char c)
{
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
}

// A binary group: its bytes as a binary file stores them, or as the hexadecimal text of an ASCII file.
bool appendBinary(const Group& group, std::string& out)
{
    if (group.form == ValueForm::Chunk) {
        out.append(group.text);
        return true;
    }
    const std::string_view hex = group.word();
    if (hex.size() % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.push_back(static_cast<char>(high * 16 + low));
    }
    return true;
}

// The source stands on an ACDSRECORD's 0 group; afterwards on the next 0 group. A record of the solid modeler's
// data names its entity (320) and holds the data ("2 ASM_Data", its size in 94, the bytes in 310).
void readDataStoreRecord(GroupSource& source, DxfContent& content)
{
    std::uint64_t entity = 0;
    bool modelerData = false;
    bool sound = true;
    std::int64_t size = -1;
    std::string bytes;
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        if (group.code == 320 && entity == 0) {
            sound = group.toHandle(entity) && sound;
        } else if (group.code == 2) {
            modelerData = group.word() == "ASM_Data";
        } else if (modelerData && group.code == 94) {
            sound = group.toInteger(size) && sound;
        } else if (modelerData && group.code == 310) {
            sound = appendBinary(group, bytes) && sound;
        }
    }
    // A record cut short or with damaged bytes gives nothing rather than wrong data.
    if (entity != 0 && sound && size >= 0 && bytes.size() == static_cast<std::uint64_t>(size)) {
        content.modelerData.emplace(entity, std::move(bytes));
    } else if (entity != 0 && size >= 0) {
        warn(content, "modeler data that could not be read is left out");
    }
}

} // namespace

void readDataStoreSection(GroupSource& source, DxfContent& content)
{
    source.advance();
    while (!endsSection(source.current())) {
        if (source.current().is(0, "ACDSRECORD")) {
            readDataStoreRecord(source, content);
        } else {
            source.advance();
        }
    }
}

void readObjectsSection(GroupSource& source, DxfContent& content)
{
    source.advance();
    while (!endsSection(source.current())) {
        if (source.current().is(0, "XRECORD")) {
            readXrecord(source, content);
        } else if (source.current().is(0, "IMAGEDEF") || source.current().is(0, "PDFDEFINITION") ||
                   source.current().is(0, "DWFDEFINITION") || source.current().is(0, "DGNDEFINITION")) {
            readImageDefinition(source, content);
        } else {
            source.advance();
        }
    }
}

} // namespace dxf
