// The class name a DXF entity has in the CAD program's automation interface, as the DWG reader reports it.
#include "dxf/ClassNames.h"

namespace dxf {

namespace {

struct NamePair
{
    std::string_view dxfName;
    std::string_view className;
};

// Entity types with a fixed type number in a DWG file. Some differ from their last subclass marker (SOLID's is
// AcDbTrace, REGION's AcDbModelerGeometry); the DWG type decides.
constexpr NamePair fixedTypes[] = {
    {"LINE", "AcDbLine"},
    {"3DLINE", "AcDbLine"},
    {"POINT", "AcDbPoint"},
    {"CIRCLE", "AcDbCircle"},
    {"ARC", "AcDbArc"},
    {"TEXT", "AcDbText"},
    {"ATTDEF", "AcDbAttributeDefinition"},
    {"SHAPE", "AcDbShape"},
    {"SOLID", "AcDbSolid"},
    {"TRACE", "AcDbTrace"},
    {"3DFACE", "AcDbFace"},
    {"VIEWPORT", "AcDbViewport"},
    {"ELLIPSE", "AcDbEllipse"},
    {"SPLINE", "AcDbSpline"},
    {"REGION", "AcDbRegion"},
    {"3DSOLID", "AcDb3dSolid"},
    {"BODY", "AcDbBody"},
    {"RAY", "AcDbRay"},
    {"XLINE", "AcDbXline"},
    {"OLEFRAME", "AcDbOleFrame"},
    {"OLE2FRAME", "AcDbOle2Frame"},
    {"MTEXT", "AcDbMText"},
    {"LEADER", "AcDbLeader"},
    {"TOLERANCE", "AcDbFcf"},
    {"MLINE", "AcDbMline"},
    {"LWPOLYLINE", "AcDbPolyline"},
    {"HATCH", "AcDbHatch"},
    {"ACAD_PROXY_ENTITY", "AcDbZombieEntity"},
};

// Class-based entity types, for files without a CLASSES section (written by other programs).
constexpr NamePair classBasedTypes[] = {
    {"IMAGE", "AcDbRasterImage"},
    {"WIPEOUT", "AcDbWipeout"},
    {"MESH", "AcDbSubDMesh"},
    {"ACAD_TABLE", "AcDbTable"},
    {"MULTILEADER", "AcDbMLeader"},
    {"PDFUNDERLAY", "AcDbPdfReference"},
    {"DWFUNDERLAY", "AcDbDwfReference"},
    {"DGNUNDERLAY", "AcDbDgnReference"},
    {"LIGHT", "AcDbLight"},
    {"SECTIONOBJECT", "AcDbSection"},
    {"HELIX", "AcDbHelix"},
    {"ARC_DIMENSION", "AcDbArcDimension"},
    {"LARGE_RADIAL_DIMENSION", "AcDbRadialDimensionLarge"},
    {"EXTRUDEDSURFACE", "AcDbExtrudedSurface"},
    {"LOFTEDSURFACE", "AcDbLoftedSurface"},
    {"REVOLVEDSURFACE", "AcDbRevolvedSurface"},
    {"SWEPTSURFACE", "AcDbSweptSurface"},
    {"PLANESURFACE", "AcDbPlaneSurface"},
    {"NURBSURFACE", "AcDbNurbSurface"},
};

constexpr std::string_view dimensionKinds[] = {
    "AcDbRotatedDimension", "AcDbAlignedDimension",       "AcDb2LineAngularDimension", "AcDbDiametricDimension",
    "AcDbRadialDimension",  "AcDb3PointAngularDimension", "AcDbOrdinateDimension",
};

template <std::size_t N> std::string_view lookUp(const NamePair (&table)[N], std::string_view dxfName)
{
    for (const NamePair& pair : table) {
        if (pair.dxfName == dxfName) {
            return pair.className;
        }
    }
    return {};
}

std::string_view polylineName(std::int64_t flags)
{
    if (flags & 8) {
        return "AcDb3dPolyline";
    }
    if (flags & 16) {
        return "AcDbPolygonMesh";
    }
    if (flags & 64) {
        return "AcDbPolyFaceMesh";
    }
    return "AcDb2dPolyline";
}

} // namespace

std::string_view objectName(const EntityRecord& record, const std::vector<ClassEntry>& classes)
{
    const std::string_view type = record.type;
    if (type == "POLYLINE") {
        return polylineName(record.flags);
    }
    if (type == "INSERT") {
        return record.multiple ? "AcDbMInsertBlock" : "AcDbBlockReference";
    }
    if (type == "DIMENSION") {
        const auto kind = static_cast<std::size_t>(record.flags & 7);
        return kind < std::size(dimensionKinds) ? dimensionKinds[kind] : record.marker;
    }
    if (const std::string_view fixed = lookUp(fixedTypes, type); !fixed.empty()) {
        return fixed;
    }
    for (const ClassEntry& entry : classes) {
        if (entry.dxfName == type) {
            return entry.className;
        }
    }
    if (const std::string_view known = lookUp(classBasedTypes, type); !known.empty()) {
        return known;
    }
    return record.marker;
}

} // namespace dxf
