// The few header variables the reader reports: creation time, editing time, handle seed, fingerprint.
#include "dwg/HeaderVariables.h"

#include "dwg/SectionFrame.h"
#include "dwg/TextSource.h"

namespace dwg {

namespace {

// The header's fields in order. Numbers come from the data stream; from R2007 on strings come from
// the string stream and handle references (except HANDSEED) from the handle stream, which this walk
// never needs to read.
class HeaderWalk
{
public:
    HeaderWalk(BitReader& data, TextSource& text, const VersionFlags& flags) : m_data(data), m_text(text), m_f(flags) {}

    // From R2007 on, handle rows come from the handle stream; following them costs a read per row, so only a walk
    // that wants the layout handles does it.
    void followHandleStream(const BitReader& handles)
    {
        m_handles = handles;
        m_followHandles = true;
    }
    bool failed() const { return m_data.failed() || m_text.failed() || (m_followHandles && m_handles.failed()); }

    void bits(unsigned n) { m_data.skipBits(n); }
    void bitShorts(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            m_data.readBitShort();
        }
    }
    void bitLongs(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            m_data.readBitLong();
        }
    }
    void bitDoubles(unsigned n) { m_data.skipBitDoubles(n); }
    void points3(unsigned n) { m_data.skipBitDoubles(3 * n); }
    void rawPoints2(unsigned n) { m_data.skipRawDoubles(2 * n); }
    void rawChars(unsigned n) { m_data.skipBytes(n); }
    void texts(unsigned n) { m_text.skip(n); }
    void handles(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            handle();
        }
    }
    std::uint64_t handle()
    {
        if (!m_f.r2007Plus) {
            return m_data.readHandle().value;
        }
        return m_followHandles ? m_handles.readHandle().value : 0;
    }
    void colors(unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) {
            m_data.readBitShort();
            if (m_f.r2004Plus) {
                m_data.readBitLong();
                const std::uint8_t names = m_data.readByte();
                texts(((names & 1) != 0 ? 1u : 0u) + ((names & 2) != 0 ? 1u : 0u));
            }
        }
    }
    StoredTime time()
    {
        StoredTime t;
        t.day = m_data.readBitLong();
        t.ms = m_data.readBitLong();
        return t;
    }

    void toHandSeed(HeaderVariables& out);
    void toFingerprint(HeaderVariables& out);
    void toLayouts(HeaderVariables& out);

private:
    void spaceSettings(); // the paper-space and model-space blocks have the same shape
    void dimensionSettings();

    BitReader& m_data;
    TextSource& m_text;
    const VersionFlags& m_f;
    BitReader m_handles;
    bool m_followHandles = false;
};

void HeaderWalk::toHandSeed(HeaderVariables& out)
{
    if (m_f.r2013Plus) {
        m_data.readBitLongLong(); // REQUIREDVERSIONS
    }
    bitDoubles(4);
    texts(4);
    bitLongs(2);
    if (m_f.r13r14) {
        bitShorts(1);
    }
    if (!m_f.r2004Plus) {
        handles(1); // current viewport entity header
    }
    bits(2); // DIMASO, DIMSHO
    if (m_f.r13r14) {
        bits(1); // DIMSAV
    }
    bits(7); // PLINEGEN ... LIMCHECK
    if (m_f.r13r14) {
        bits(1); // BLIPMODE
    }
    if (m_f.r2004Plus) {
        bits(1);
    }
    bits(4); // USRTIMER, SKPOLY, ANGDIR, SPLFRAME
    if (m_f.r13r14) {
        bits(2); // ATTREQ, ATTDIA
    }
    bits(2); // MIRRTEXT, WORLDVIEW
    if (m_f.r13r14) {
        bits(1); // WIREFRAME
    }
    bits(3); // TILEMODE, PLIMCHECK, VISRETAIN
    if (m_f.r13r14) {
        bits(1); // DELOBJ
    }
    bits(2);      // DISPSILH, PELLIPSE
    bitShorts(1); // PROXYGRAPHICS
    if (m_f.r13r14) {
        bitShorts(1); // DRAGMODE
    }
    bitShorts(5); // TREEDEPTH, LUNITS, LUPREC, AUNITS, AUPREC
    if (m_f.r13r14) {
        bitShorts(1); // OSMODE
    }
    bitShorts(1); // ATTMODE
    if (m_f.r13r14) {
        bitShorts(1); // COORDS
    }
    bitShorts(1); // PDMODE
    if (m_f.r13r14) {
        bitShorts(1); // PICKSTYLE
    }
    if (m_f.r2004Plus) {
        bitLongs(3);
    }
    bitShorts(19);  // USERI1 ... TEXTQLTY
    bitDoubles(21); // LTSCALE ... CELTSCALE
    texts(1);       // MENUNAME
    out.created = time();
    out.updated = time();
    if (m_f.r2004Plus) {
        bitLongs(3);
    }
    out.timeInDrawing = time();
    time();    // TDUSRTIMER
    colors(1); // CECOLOR
    // HANDSEED stays in the data stream in every version.
    out.handSeed = m_data.readHandle().value;
}

void HeaderWalk::spaceSettings()
{
    points3(3);    // INSBASE, EXTMIN, EXTMAX
    rawPoints2(2); // LIMMIN, LIMMAX
    bitDoubles(1); // ELEVATION
    points3(3);    // UCSORG, UCSXDIR, UCSYDIR
    handles(1);    // UCSNAME
    if (m_f.r2000Plus) {
        handles(1);   // UCSORTHOREF
        bitShorts(1); // UCSORTHOVIEW
        handles(1);   // UCSBASE
        points3(6);   // UCSORG TOP ... BACK
    }
}

void HeaderWalk::dimensionSettings()
{
    if (m_f.r13r14) {
        bits(11);
        rawChars(2);
        bits(2);
        rawChars(3);
        bits(1);
        rawChars(4);
        bitShorts(6);
        handles(1); // DIMTXSTY
    }
    bitDoubles(9); // DIMSCALE ... DIMTM
    if (m_f.r2007Plus) {
        bitDoubles(2); // DIMFXL, DIMJOGANG
        bitShorts(1);  // DIMTFILL
        colors(1);     // DIMTFILLCLR
    }
    if (m_f.r2000Plus) {
        bits(6);      // DIMTOL ... DIMSE2
        bitShorts(3); // DIMTAD, DIMZIN, DIMAZIN
    }
    if (m_f.r2007Plus) {
        bitShorts(1); // DIMARCSYM
    }
    bitDoubles(8); // DIMTXT ... DIMGAP
    if (m_f.r13r14) {
        texts(5); // DIMPOST, DIMAPOST, DIMBLK, DIMBLK1, DIMBLK2
    }
    if (m_f.r2000Plus) {
        bitDoubles(1); // DIMALTRND
        bits(1);       // DIMALT
        bitShorts(1);  // DIMALTD
        bits(4);       // DIMTOFL, DIMSAH, DIMTIX, DIMSOXD
    }
    colors(3); // DIMCLRD, DIMCLRE, DIMCLRT
    if (m_f.r2000Plus) {
        bitShorts(11); // DIMADEC ... DIMJUST
        bits(2);       // DIMSD1, DIMSD2
        bitShorts(4);  // DIMTOLJ, DIMTZIN, DIMALTZ, DIMALTTZ
        bits(1);       // DIMUPT
        bitShorts(1);  // DIMATFIT
    }
    if (m_f.r2007Plus) {
        bits(1); // DIMFXLON
    }
    if (m_f.r2010Plus) {
        bits(1);       // DIMTXTDIRECTION
        bitDoubles(1); // DIMALTMZF
        texts(1);      // DIMALTMZS
        bitDoubles(1); // DIMMZF
        texts(1);      // DIMMZS
    }
    if (m_f.r2000Plus) {
        handles(5); // DIMTXSTY, DIMLDRBLK, DIMBLK, DIMBLK1, DIMBLK2
    }
    if (m_f.r2007Plus) {
        handles(3); // DIMLTYPE, DIMLTEX1, DIMLTEX2
    }
    if (m_f.r2000Plus) {
        bitShorts(2); // DIMLWD, DIMLWE
    }
}

void HeaderWalk::toFingerprint(HeaderVariables& out)
{
    handles(3); // CLAYER, TEXTSTYLE, CELTYPE
    if (m_f.r2007Plus) {
        handles(1); // CMATERIAL
    }
    handles(2); // DIMSTYLE, CMLSTYLE
    if (m_f.r2000Plus) {
        bitDoubles(1); // PSVPSCALE
    }
    spaceSettings(); // paper space
    spaceSettings(); // model space
    if (m_f.r2000Plus) {
        texts(2); // DIMPOST, DIMAPOST
    }
    dimensionSettings();
    handles(9); // table controls
    if (!m_f.r2004Plus) {
        handles(1); // viewport entity header control
    }
    handles(3); // ACAD_GROUP, ACAD_MLINESTYLE, named objects
    if (!m_f.r2000Plus) {
        return;
    }
    bitShorts(2); // TSTACKALIGN, TSTACKSIZE
    std::string hyperlinkBase = m_text.read();
    texts(1);   // STYLESHEET
    handles(3); // LAYOUT, PLOTSETTINGS, PLOTSTYLES dictionaries
    if (m_f.r2004Plus) {
        handles(2); // MATERIALS, COLORS
    }
    if (m_f.r2007Plus) {
        handles(1); // VISUALSTYLE
    }
    if (m_f.r2013Plus) {
        handles(1);
    }
    bitLongs(1);  // flags
    bitShorts(1); // INSUNITS
    const std::int16_t plotStyleType = m_data.readBitShort();
    if (plotStyleType == 3) {
        handles(1); // CPSNID
    }
    std::string guid = m_text.read();
    if (!m_data.failed() && !m_text.failed()) {
        out.fingerprintGuid = std::move(guid);
        out.hyperlinkBase = std::move(hyperlinkBase);
    }
}

void HeaderWalk::toLayouts(HeaderVariables& out)
{
    if (m_f.r2000Plus) {
        std::string guid = m_text.read(); // VERSIONGUID
        if (!failed()) {
            out.versionGuid = std::move(guid);
        }
    }
    if (m_f.r2004Plus) {
        rawChars(6);  // SORTENTS, INDEXCTL, HIDETEXT, XCLIPFRAME, DIMASSOC, HALOGAP
        bitShorts(2); // OBSCOLOR, INTERSECTIONCOLOR
        rawChars(2);  // OBSLTYPE, INTERSECTIONDISPLAY
        texts(1);     // PROJECTNAME
    }
    const std::uint64_t paperSpace = handle();
    const std::uint64_t modelSpace = handle();
    if (!failed()) {
        out.paperSpaceBlock = paperSpace;
        out.modelSpaceBlock = modelSpace;
    }
}

} // namespace

Expected<HeaderVariables> readHeaderVariables(std::span<const std::uint8_t> section, const VersionFlags& flags,
                                              bool toLayouts)
{
    auto frame = openSection(section, headerSentinel, flags, "header section");
    if (!frame) {
        return frame.fault();
    }
    BitReader& data = frame->data;
    TextSource text = flags.r2007Plus ? TextSource::stringStream(section, frame->stringsEnd) : TextSource::inData(data);
    HeaderWalk walk(data, text, flags);
    if (toLayouts && flags.r2007Plus) {
        BitReader handles(section);
        handles.setPosition(frame->stringsEnd);
        walk.followHandleStream(handles);
    }
    HeaderVariables variables;
    walk.toHandSeed(variables);
    if (data.failed()) {
        return Fault{ErrorCode::Corrupt, data.failPosition() / 8, "header section"};
    }
    // Optional from here on: a failure only leaves the later values empty.
    if (flags.r2000Plus || toLayouts) {
        walk.toFingerprint(variables);
    }
    if (toLayouts && !walk.failed()) {
        walk.toLayouts(variables);
    }
    return variables;
}

} // namespace dwg
