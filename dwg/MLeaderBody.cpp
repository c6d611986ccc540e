// The body of a multileader: its leaders' lines, its note or block, and the arrowhead, as the drawing stores them.
#include "dwg/GeometryReaders.h"

namespace dwg {

namespace {

// Counts in one entity never exceed its bits; a larger count is damage.
bool readCount(EntityFields& fields, std::uint32_t& count, unsigned minimumBitsEach)
{
    count = static_cast<std::uint32_t>(fields.data().readBitLong());
    return !fields.failed() && plausibleCount(fields, count, minimumBitsEach);
}

bool skipBreaks(EntityFields& fields)
{
    std::uint32_t breaks = 0;
    if (!readCount(fields, breaks, 12)) {
        return false;
    }
    fields.data().skipBitDoubles(6 * breaks); // start and end of each break
    return !fields.failed();
}

bool readLeaderLine(EntityFields& fields, std::vector<Point3>& points, GeometryLinks& links)
{
    BitReader& data = fields.data();
    std::uint32_t count = 0;
    if (!readCount(fields, count, 6)) {
        return false;
    }
    for (std::uint32_t i = 0; i < count && !fields.failed(); ++i) {
        points.push_back(fields.point3());
    }
    std::uint32_t breaks = 0;
    if (!readCount(fields, breaks, 12)) {
        return false;
    }
    if (breaks > 0) {
        data.readBitLong();              // segment index
        data.skipBitDoubles(6 * breaks); // start and end of each break
    }
    data.readBitLong(); // line index
    if (fields.flags().r2010Plus) {
        data.readBitShort(); // leader type
        fields.skipColorValue();
        links.handlesBeforeArrowhead += 2; // the line's linetype and arrowhead
        data.readBitLong();                // line weight
        data.skipBitDoubles(1);            // arrowhead size
        data.readBitLong();                // flags
    }
    return !fields.failed();
}

bool readRoot(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links)
{
    BitReader& data = fields.data();
    data.skipBits(2);       // content valid, unknown
    data.skipBitDoubles(6); // connection point, direction
    if (!skipBreaks(fields)) {
        return false;
    }
    data.readBitLong();     // leader index
    data.skipBitDoubles(1); // landing distance
    std::uint32_t lines = 0;
    if (!readCount(fields, lines, 8)) {
        return false;
    }
    for (std::uint32_t i = 0; i < lines; ++i) {
        mleader.leaderLines.emplace_back();
        if (!readLeaderLine(fields, mleader.leaderLines.back(), links)) {
            return false;
        }
    }
    if (fields.flags().r2010Plus) {
        data.readBitShort(); // attachment direction
    }
    return !fields.failed();
}

bool readTextContent(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links)
{
    BitReader& data = fields.data();
    mleader.text = fields.text();
    data.skipBitDoubles(3);         // normal
    ++links.handlesBeforeArrowhead; // the text style
    mleader.textPosition = fields.point3();
    data.skipBitDoubles(3 + 4); // direction, rotation, boundary width and height, line spacing factor
    data.readBitShort();        // line spacing style
    fields.skipColorValue();
    data.readBitShort(); // alignment
    data.readBitShort(); // flow direction
    fields.skipColorValue();
    data.skipBitDoubles(1); // background scale
    data.readBitLong();     // background transparency
    data.skipBits(2);       // background on, mask fill on
    data.readBitShort();    // column type
    data.skipBits(1);       // automatic height
    data.skipBitDoubles(2); // column width, gutter
    data.skipBits(1);       // column flow reversed
    std::uint32_t columns = 0;
    if (!readCount(fields, columns, 2)) {
        return false;
    }
    data.skipBitDoubles(columns);
    data.skipBits(1); // word break
    return !fields.failed();
}

void readBlockContent(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links)
{
    BitReader& data = fields.data();
    links.blockHandle = links.handlesBeforeArrowhead++;
    data.skipBitDoubles(3); // normal
    mleader.blockPosition = fields.point3();
    data.skipBitDoubles(3 + 1); // scale, rotation
    fields.skipColorValue();
    data.skipBitDoubles(16); // transformation
}

// The annotation context: leaders first, then the note or block.
bool readContext(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links)
{
    BitReader& data = fields.data();
    std::uint32_t roots = 0;
    if (!readCount(fields, roots, 8)) {
        return false;
    }
    for (std::uint32_t i = 0; i < roots; ++i) {
        if (!readRoot(fields, mleader, links)) {
            return false;
        }
    }
    data.skipBitDoubles(1 + 3 + 3); // scale, content base point, text height, arrowhead size, landing gap
    for (int i = 0; i < 4; ++i) {
        data.readBitShort(); // left and right attachment, text alignment, attachment type
    }
    if (data.readBit() && !readTextContent(fields, mleader, links)) {
        return false;
    }
    if (data.readBit()) {
        readBlockContent(fields, mleader, links);
    }
    data.skipBitDoubles(9); // base point, base direction, base vertical
    data.skipBits(1);       // normal reversed
    if (fields.flags().r2010Plus) {
        data.readBitShort(); // text top and bottom attachment
        data.readBitShort();
    }
    return !fields.failed();
}

} // namespace

bool readMLeader(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links)
{
    BitReader& data = fields.data();
    if (fields.flags().r2010Plus) {
        data.readBitShort(); // version
    }
    if (!readContext(fields, mleader, links)) {
        return false;
    }
    links.handlesBeforeArrowhead += 2; // the style and the leaders' linetype
    data.readBitLong();                // overridden properties
    data.readBitShort();               // leader type
    fields.skipColorValue();
    data.readBitLong();     // line weight
    data.skipBits(2);       // landing, dogleg
    data.skipBitDoubles(2); // landing distance, arrowhead size
    mleader.contentType = data.readBitShort();
    return !fields.failed();
}

} // namespace dwg
