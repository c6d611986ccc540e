// Object type numbers: which are entities, which are skipped, and the automation class name of each entity.
#include "dwg/ObjectTypes.h"

#include <array>

namespace dwg {

namespace {

struct FixedType
{
    std::uint16_t type;
    std::string_view name;
};

// Fixed entity types and their automation class names. BLOCK, ENDBLK, SEQEND, ATTRIB and VERTEX are
// entities but never listed on their own, so their names only mark them as entities.
constexpr FixedType fixedTypes[] = {
    {1, "AcDbText"},
    {2, "AcDbAttribute"},
    {3, "AcDbAttributeDefinition"},
    {4, "AcDbBlockBegin"},
    {5, "AcDbBlockEnd"},
    {6, "AcDbSequenceEnd"},
    {7, "AcDbBlockReference"},
    {8, "AcDbMInsertBlock"},
    {10, "AcDb2dVertex"},
    {11, "AcDb3dPolylineVertex"},
    {12, "AcDbPolygonMeshVertex"},
    {13, "AcDbPolyFaceMeshVertex"},
    {14, "AcDbFaceRecord"},
    {15, "AcDb2dPolyline"},
    {16, "AcDb3dPolyline"},
    {17, "AcDbArc"},
    {18, "AcDbCircle"},
    {19, "AcDbLine"},
    {20, "AcDbOrdinateDimension"},
    {21, "AcDbRotatedDimension"},
    {22, "AcDbAlignedDimension"},
    {23, "AcDb3PointAngularDimension"},
    {24, "AcDb2LineAngularDimension"},
    {25, "AcDbRadialDimension"},
    {26, "AcDbDiametricDimension"},
    {27, "AcDbPoint"},
    {28, "AcDbFace"}, // 3DFACE
    {29, "AcDbPolyFaceMesh"},
    {30, "AcDbPolygonMesh"},
    {31, "AcDbSolid"},
    {32, "AcDbTrace"},
    {33, "AcDbShape"},
    {34, "AcDbViewport"},
    {35, "AcDbEllipse"},
    {36, "AcDbSpline"},
    {37, "AcDbRegion"},
    {38, "AcDb3dSolid"},
    {39, "AcDbBody"},
    {40, "AcDbRay"},
    {41, "AcDbXline"},
    {43, "AcDbOleFrame"},
    {44, "AcDbMText"},
    {45, "AcDbLeader"},
    {46, "AcDbFcf"}, // TOLERANCE
    {47, "AcDbMline"},
    {74, "AcDbOle2Frame"},
    {77, "AcDbPolyline"}, // LWPOLYLINE
    {78, "AcDbHatch"},
};

// The same as a table indexed by type; an empty name means "not an entity".
constexpr std::array<std::string_view, 79> fixedNames = [] {
    std::array<std::string_view, 79> names{};
    for (const FixedType& fixed : fixedTypes) {
        names[fixed.type] = fixed.name;
    }
    return names;
}();

constexpr std::string_view proxyEntityName = "AcDbZombieEntity";

} // namespace

bool isEntityType(std::uint16_t type, const ClassTable& classes)
{
    if (type < fixedNames.size()) {
        return !fixedNames[type].empty();
    }
    if (type == ObjectType::ProxyEntity) {
        return true;
    }
    if (type >= ObjectType::FirstClass) {
        const ClassEntry* entry = classes.find(type);
        return entry != nullptr && entry->isEntity;
    }
    return false;
}

bool isSubEntityOrBlockMark(std::uint16_t type)
{
    return type == ObjectType::Attrib || type == ObjectType::Block || type == ObjectType::EndBlock ||
           type == ObjectType::SeqEnd || (type >= ObjectType::FirstVertex && type <= ObjectType::LastVertex);
}

std::string_view entityClassName(std::uint16_t type, const ClassTable& classes)
{
    if (type < fixedNames.size()) {
        return fixedNames[type];
    }
    if (type == ObjectType::ProxyEntity) {
        return proxyEntityName;
    }
    const ClassEntry* entry = classes.find(type);
    return entry != nullptr ? std::string_view(entry->cppName) : std::string_view();
}

} // namespace dwg
