// Names of the geometry that the drawing model shares between both readers.
#include "drawing/Geometry.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace dwg {

const char* dimensionPointKey(DimensionPointKind kind)
{
    switch (kind) {
    case DimensionPointKind::DefPoint:
        return "defpoint";
    case DimensionPointKind::TextMidpoint:
        return "text_midpoint";
    case DimensionPointKind::DefPoint2:
        return "defpoint2";
    case DimensionPointKind::DefPoint3:
        return "defpoint3";
    case DimensionPointKind::DefPoint4:
        return "defpoint4";
    case DimensionPointKind::ArcPoint:
        return "arc_point";
    }
    return "defpoint";
}

std::uint64_t contentHash(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

namespace {

// The binary form's header: its name and four numbers, three tagged strings (program, modeler version, date) and
// three tagged reals (units, tolerances). Returns where the records begin; 0 when the header is not of that form.
std::size_t binaryRecordsStart(std::string_view data)
{
    std::size_t at = 15 + 16; // "ACIS BinaryFile" or "ASM BinaryFile4", then four 32-bit numbers
    for (int i = 0; i < 3; ++i) {
        if (at + 2 > data.size()) {
            return 0;
        }
        const auto tag = static_cast<unsigned char>(data[at]);
        std::size_t length = static_cast<unsigned char>(data[at + 1]);
        std::size_t lengthBytes = 1;
        if (tag == 8 && at + 3 <= data.size()) {
            length |= std::size_t{static_cast<unsigned char>(data[at + 2])} << 8;
            lengthBytes = 2;
        } else if (tag != 7) {
            return 0;
        }
        at += 1 + lengthBytes + length;
    }
    for (int i = 0; i < 3; ++i) {
        if (at + 9 > data.size() || data[at] != 6) {
            return 0;
        }
        at += 9;
    }
    return at;
}

} // namespace

std::uint64_t modelerHash(const ModelerContents& modeler)
{
    const std::string_view data = modeler.data;
    if (modeler.binary) {
        return contentHash(data.substr(binaryRecordsStart(data)));
    }
    // Versions before 2.0 have the first header line only.
    const std::size_t headerLines = std::atoi(std::string(data.substr(0, data.find(' '))).c_str()) < 200 ? 1 : 3;
    std::string body;
    body.reserve(data.size());
    std::size_t line = 0;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        end = end == std::string_view::npos ? data.size() : end;
        if (++line > headerLines) {
            std::string_view text = data.substr(start, end - start);
            while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) {
                text.remove_suffix(1);
            }
            body.append(text);
            body.push_back('\n');
        }
        start = end + 1;
    }
    return contentHash(body);
}

double helixTopRadius(const HelixContents& helix, const Point3& end)
{
    const Point3& a = helix.axisVector;
    const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    if (!(length > 0) || !std::isfinite(length)) {
        return 0;
    }
    const Point3 d{end.x - helix.axisBase.x, end.y - helix.axisBase.y, end.z - helix.axisBase.z};
    const double along = (d.x * a.x + d.y * a.y + d.z * a.z) / length;
    const Point3 across{d.x - along * a.x / length, d.y - along * a.y / length, d.z - along * a.z / length};
    return std::sqrt(across.x * across.x + across.y * across.y + across.z * across.z);
}

} // namespace dwg
