// The bodies of the annotation and fill entities (attributes, hatches, leaders, tolerances, multilines, rays), read
// as the drawing stores them.
#include "dwg/GeometryReaders.h"

#include <utility>

namespace dwg {

namespace {

Point3 rawPoint2(EntityFields& fields)
{
    return fields.rawPoint2(0);
}

bool readHatchSpline(EntityFields& fields, HatchEdge& edge)
{
    BitReader& data = fields.data();
    edge.degree = data.readBitLong();
    edge.rational = data.readBit();
    edge.periodic = data.readBit();
    const auto knots = static_cast<std::uint32_t>(data.readBitLong());
    const auto controls = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, knots, 2) || !plausibleCount(fields, controls, 128)) {
        return false;
    }
    for (std::uint32_t i = 0; i < knots && !fields.failed(); ++i) {
        edge.knots.push_back(fields.bitDouble());
    }
    for (std::uint32_t i = 0; i < controls && !fields.failed(); ++i) {
        edge.controlPoints.push_back(rawPoint2(fields));
        if (edge.rational) {
            edge.weights.push_back(fields.bitDouble());
        }
    }
    if (fields.flags().r2010Plus) {
        const auto fits = static_cast<std::uint32_t>(data.readBitLong());
        if (!plausibleCount(fields, fits, 128)) {
            return false;
        }
        for (std::uint32_t i = 0; i < fits && !fields.failed(); ++i) {
            edge.fitPoints.push_back(rawPoint2(fields));
        }
        if (fits > 0) {
            data.skipRawDoubles(4); // start and end tangents
        }
    }
    return !fields.failed();
}

bool readHatchEdge(EntityFields& fields, HatchEdge& edge)
{
    const std::uint8_t type = fields.data().readByte();
    switch (type) {
    case 1:
        edge.start = rawPoint2(fields);
        edge.end = rawPoint2(fields);
        break;
    case 2:
        edge.start = rawPoint2(fields);
        edge.radius = fields.bitDouble();
        edge.startAngle = fields.bitDouble();
        edge.endAngle = fields.bitDouble();
        edge.counterClockwise = fields.data().readBit();
        break;
    case 3:
        edge.start = rawPoint2(fields);
        edge.end = rawPoint2(fields);
        edge.radius = fields.bitDouble();
        edge.startAngle = fields.bitDouble();
        edge.endAngle = fields.bitDouble();
        edge.counterClockwise = fields.data().readBit();
        break;
    case 4:
        if (!readHatchSpline(fields, edge)) {
            return false;
        }
        break;
    default:
        fields.data().fail(); // no such edge: the rest of the body cannot be placed
        return false;
    }
    edge.type = static_cast<HatchEdgeType>(type);
    return !fields.failed();
}

bool readHatchLoop(EntityFields& fields, HatchLoop& loop)
{
    BitReader& data = fields.data();
    loop.flags = static_cast<std::uint32_t>(data.readBitLong());
    if ((loop.flags & 2) == 0) {
        const auto edges = static_cast<std::uint32_t>(data.readBitLong());
        if (!plausibleCount(fields, edges, 8)) {
            return false;
        }
        loop.edges.resize(edges);
        for (HatchEdge& edge : loop.edges) {
            if (!readHatchEdge(fields, edge)) {
                return false;
            }
        }
    } else {
        const bool bulges = data.readBit();
        loop.closed = data.readBit();
        const auto vertices = static_cast<std::uint32_t>(data.readBitLong());
        if (!plausibleCount(fields, vertices, 128)) {
            return false;
        }
        for (std::uint32_t i = 0; i < vertices && !fields.failed(); ++i) {
            loop.vertices.push_back(rawPoint2(fields));
            loop.bulges.push_back(bulges ? fields.bitDouble() : 0.0);
        }
    }
    data.readBitLong(); // boundary objects, whose handles follow in the handle stream
    return !fields.failed();
}

// A multi-line attribute's MTEXT: its text, frame and columns. Returns the text.
std::string readEmbeddedMText(EntityFields& fields)
{
    BitReader& data = fields.data();
    std::string text = fields.text();
    if (data.readBitShort() > 0) {  // size of the annotative data
        data.readBitShort();        // attachment
        data.skipBitDoubles(3 + 3); // insertion point, x axis direction
        data.skipBitDoubles(2);     // rectangle height and width
        const auto columns = static_cast<std::uint16_t>(data.readBitShort());
        if (columns != 0) {
            const auto heights = static_cast<std::uint16_t>(data.readBitShort());
            data.skipBitDoubles(2); // column width, gutter
            const bool autoHeight = data.readBitShort() != 0;
            data.readBit(); // flow reversed
            if (!autoHeight && columns == 2) {
                data.skipBitDoubles(heights);
            }
        }
        data.readBitShort(); // annotative
    }
    return text;
}

} // namespace

bool readAttribute(EntityFields& fields, bool definition, AttributeContents& attribute)
{
    BitReader& data = fields.data();
    const VersionFlags& f = fields.flags();
    if (!f.r2000Plus) {
        const double elevation = fields.bitDouble();
        attribute.position = fields.rawPoint2(elevation);
        data.skipRawDoubles(2); // alignment point
        data.skipBitDoubles(3); // extrusion
        data.skipBitDoubles(3); // thickness, oblique angle, rotation
        attribute.height = fields.bitDouble();
        data.skipBitDoubles(1); // width factor
        attribute.text = fields.text();
        for (int i = 0; i < 3; ++i) {
            data.readBitShort(); // generation, horizontal and vertical alignment
        }
    } else {
        // Fields that hold their default are left out; a bit of the data flags says which.
        const std::uint8_t flags = data.readByte();
        const double elevation = (flags & 0x01) == 0 ? fields.rawDouble() : 0.0;
        attribute.position = fields.rawPoint2(elevation);
        if ((flags & 0x02) == 0) {
            fields.defaulted(attribute.position.x); // alignment point
            fields.defaulted(attribute.position.y);
        }
        fields.skipExtrusion();
        fields.skipThickness();
        if ((flags & 0x04) == 0) {
            fields.rawDouble(); // oblique angle
        }
        if ((flags & 0x08) == 0) {
            fields.rawDouble(); // rotation
        }
        attribute.height = fields.rawDouble();
        if ((flags & 0x10) == 0) {
            fields.rawDouble(); // width factor
        }
        attribute.text = fields.text();
        for (unsigned bit = 0x20; bit <= 0x80; bit <<= 1) {
            if ((flags & bit) == 0) {
                data.readBitShort(); // generation, horizontal and vertical alignment
            }
        }
    }
    if (f.r2010Plus) {
        data.readByte(); // version of the attribute's data
    }
    if (f.r2018Plus && data.readByte() > 1) {
        attribute.text = readEmbeddedMText(fields); // a multi-line attribute
    }
    attribute.tag = fields.text();
    data.readBitShort(); // field length
    data.readByte();     // flags
    if (f.r2007Plus) {
        data.readBit(); // lock position
    }
    if (definition) {
        if (f.r2010Plus) {
            data.readByte(); // version of the definition's data
        }
        attribute.prompt = fields.text();
    }
    return !fields.failed();
}

bool readHatch(EntityFields& fields, HatchContents& hatch)
{
    BitReader& data = fields.data();
    if (fields.flags().r2004Plus) {
        data.readBitLong();     // gradient fill
        data.readBitLong();     // reserved
        data.skipBitDoubles(2); // gradient angle and shift
        data.readBitLong();     // single colour gradient
        data.skipBitDoubles(1); // tint
        const auto colors = static_cast<std::uint32_t>(data.readBitLong());
        if (!plausibleCount(fields, colors, 8)) {
            return false;
        }
        for (std::uint32_t i = 0; i < colors && !fields.failed(); ++i) {
            data.skipBitDoubles(1);
            fields.skipColorValue();
        }
        fields.text(); // gradient name
    }
    hatch.elevation = fields.bitDouble();
    data.skipBitDoubles(3); // extrusion
    hatch.patternName = fields.text();
    hatch.solidFill = data.readBit();
    hatch.associative = data.readBit();
    const auto loops = static_cast<std::uint32_t>(data.readBitLong());
    if (fields.failed() || !plausibleCount(fields, loops, 8)) {
        return false;
    }
    hatch.loops.resize(loops);
    bool derived = false;
    for (HatchLoop& loop : hatch.loops) {
        if (!readHatchLoop(fields, loop)) {
            return false;
        }
        derived = derived || (loop.flags & 4) != 0;
    }
    data.readBitShort(); // style
    data.readBitShort(); // pattern type
    if (!hatch.solidFill) {
        hatch.patternAngle = fields.bitDouble();
        hatch.patternScale = fields.bitDouble();
        data.readBit(); // double
        const auto lines = static_cast<std::uint16_t>(data.readBitShort());
        for (std::uint16_t i = 0; i < lines && !fields.failed(); ++i) {
            data.skipBitDoubles(5); // angle, base point, offset
            const auto dashes = static_cast<std::uint16_t>(data.readBitShort());
            data.skipBitDoubles(dashes);
        }
    }
    if (derived) {
        data.skipBitDoubles(1); // pixel size
    }
    const auto seeds = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, seeds, 128)) {
        return false;
    }
    for (std::uint32_t i = 0; i < seeds && !fields.failed(); ++i) {
        hatch.seedPoints.push_back(rawPoint2(fields));
    }
    return !fields.failed();
}

bool readLeader(EntityFields& fields, LeaderContents& leader)
{
    BitReader& data = fields.data();
    const VersionFlags& f = fields.flags();
    data.readBit();      // unknown
    data.readBitShort(); // annotation type
    data.readBitShort(); // path type
    const auto count = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, count, 6)) {
        return false;
    }
    for (std::uint32_t i = 0; i < count && !fields.failed(); ++i) {
        leader.vertices.push_back(fields.point3());
    }
    data.skipBitDoubles(3 * 4); // origin, extrusion, x direction, offset to the block's insertion point
    if (f.version >= Version::R14) {
        data.skipBitDoubles(3); // end point projection
    }
    if (f.r13r14) {
        data.skipBitDoubles(1); // gap
    }
    if (!f.r2010Plus) {
        data.skipBitDoubles(2); // box height and width (R2010 and later keep them with the annotation only)
    }
    data.readBit(); // hook line on the x direction's side
    leader.arrowhead = data.readBit();
    // Arrowhead and colour details: R13/R14 keep more of them. (R2010+ keep a few bits here that nothing needs.)
    if (f.r13r14) {
        data.readBitShort();
        data.skipBitDoubles(1);
        data.skipBits(2);
        data.readBitShort();
        data.readBitShort();
        data.skipBits(2);
    } else if (!f.r2010Plus) {
        data.readBitShort();
        data.skipBits(2);
    }
    return !fields.failed();
}

ToleranceContents readTolerance(EntityFields& fields)
{
    ToleranceContents tolerance;
    if (fields.flags().r13r14) {
        fields.data().readBitShort();
        fields.data().skipBitDoubles(2); // height, gap
    }
    tolerance.position = fields.point3();
    tolerance.direction = fields.point3();
    fields.data().skipBitDoubles(3); // extrusion
    tolerance.text = fields.text();
    return tolerance;
}

bool readMLine(EntityFields& fields, MLineContents& mline)
{
    BitReader& data = fields.data();
    mline.scale = fields.bitDouble();
    mline.justification = data.readByte();
    data.skipBitDoubles(3 + 3); // base point, extrusion
    mline.closed = (data.readBitShort() & 2) != 0;
    const std::uint8_t lines = data.readByte();
    const auto vertices = static_cast<std::uint16_t>(data.readBitShort());
    if (!plausibleCount(fields, vertices, 18)) {
        return false;
    }
    for (std::uint16_t i = 0; i < vertices && !fields.failed(); ++i) {
        mline.vertices.push_back(fields.point3());
        data.skipBitDoubles(3 + 3); // direction, miter
        for (std::uint8_t line = 0; line < lines && !fields.failed(); ++line) {
            for (int kind = 0; kind < 2; ++kind) { // segment parameters, area fill parameters
                const auto count = static_cast<std::uint16_t>(data.readBitShort());
                data.skipBitDoubles(count);
            }
        }
    }
    return !fields.failed();
}

ViewportContents readViewport(EntityFields& fields, GeometryLinks& links)
{
    BitReader& data = fields.data();
    ViewportContents viewport;
    viewport.center = fields.point3();
    viewport.width = fields.bitDouble();
    viewport.height = fields.bitDouble();
    data.skipBitDoubles(3 + 3 + 1); // view target, view direction, twist
    viewport.viewHeight = fields.bitDouble();
    data.skipBitDoubles(4); // lens length, front and back clip, snap angle
    viewport.viewCenter = fields.rawPoint2(0);
    data.skipRawDoubles(6); // snap base, snap spacing, grid spacing
    data.readBitShort();    // circle zoom
    if (fields.flags().r2007Plus) {
        data.readBitShort(); // major grid lines
    }
    links.ownedCount = static_cast<std::uint32_t>(data.readBitLong());
    return viewport;
}

LightContents readLight(EntityFields& fields)
{
    BitReader& data = fields.data();
    LightContents light;
    data.readBitLong(); // version of the light's data
    light.name = fields.text();
    light.type = data.readBitLong();
    data.skipBits(1); // on
    fields.skipColorValue();
    data.skipBits(1); // plot glyph
    light.intensity = fields.bitDouble();
    light.position = fields.point3();
    light.target = fields.point3();
    return light;
}

bool readUnderlay(EntityFields& fields, UnderlayContents& underlay)
{
    BitReader& data = fields.data();
    data.skipBitDoubles(3); // extrusion
    underlay.position = fields.point3();
    underlay.rotation = fields.bitDouble();
    underlay.scale = fields.point3();
    data.skipBytes(3); // flags, contrast, fade
    const auto corners = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, corners, 128)) {
        return false;
    }
    for (std::uint32_t i = 0; i < corners && !fields.failed(); ++i) {
        underlay.clipBoundary.push_back(fields.rawPoint2(0));
    }
    return !fields.failed();
}

bool readImage(EntityFields& fields, ImageContents& image)
{
    BitReader& data = fields.data();
    data.readBitLong(); // version of the image's data
    image.position = fields.point3();
    image.uVector = fields.point3();
    image.vVector = fields.point3();
    image.width = fields.rawDouble();
    image.height = fields.rawDouble();
    data.readBitShort(); // display properties
    data.skipBits(1);    // clipping on
    data.skipBytes(3);   // brightness, contrast, fade
    if (fields.flags().r2010Plus) {
        data.skipBits(1); // clipping inverted
    }
    std::uint32_t corners = 2; // a rectangle (type 1) by two corners
    if (data.readBitShort() != 1) {
        corners = static_cast<std::uint32_t>(data.readBitLong());
        if (!plausibleCount(fields, corners, 128)) {
            return false;
        }
    }
    for (std::uint32_t i = 0; i < corners && !fields.failed(); ++i) {
        image.clipBoundary.push_back(fields.rawPoint2(0));
    }
    return !fields.failed();
}

} // namespace dwg
