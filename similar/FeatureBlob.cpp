// The feature record: numbers are little-endian varints, hashes and coordinates their 8 bytes; the last 8 bytes
// are bytesSum of everything before them. Records of the first layout ("DFE1", without the pieces' forms) are
// not read: the features are then derived again from the stored entities.
#include "similar/FeatureBlob.h"

#include "similar/Hashing.h"

#include <cstring>

namespace darv::similar {
namespace {

constexpr std::string_view kMagic = "DFE2";

// Writes the record, or only counts its bytes (a first pass, so that the record's memory is taken once: a drawing
// of a million pieces has a record of over a hundred megabytes, which growing would take twice and more).
class Writer
{
public:
    explicit Writer(bool counting = false) : m_counting(counting) {}
    void number(std::uint64_t value)
    {
        while (value >= 0x80) {
            put(static_cast<char>((value & 0x7F) | 0x80));
            value >>= 7;
        }
        put(static_cast<char>(value));
    }
    void word(std::uint64_t value)
    {
        char raw[8];
        for (int b = 0; b < 8; ++b)
            raw[b] = static_cast<char>((value >> (8 * b)) & 0xFF);
        append(std::string_view(raw, 8));
    }
    void real(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        word(bits);
    }
    void point(const dwg::Point3& p)
    {
        real(p.x);
        real(p.y);
        real(p.z);
    }
    void text(std::string_view value)
    {
        number(value.size());
        append(value);
    }
    void append(std::string_view value)
    {
        if (m_counting)
            m_counted += value.size();
        else
            bytes += value;
    }
    std::size_t counted() const { return m_counted; }
    std::string bytes;

private:
    void put(char c)
    {
        if (m_counting)
            ++m_counted;
        else
            bytes += c;
    }
    bool m_counting = false;
    std::size_t m_counted = 0;
};

class Reader
{
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    std::uint64_t number()
    {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_at >= m_bytes.size())
                return fail();
            const auto byte = static_cast<std::uint8_t>(m_bytes[m_at++]);
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return value;
        }
        return fail();
    }
    // A count of things each at least `least` bytes long: never more than the bytes left could hold.
    std::size_t count(std::size_t least)
    {
        const std::uint64_t n = number();
        if (!m_ok || n > (m_bytes.size() - m_at) / std::max<std::size_t>(least, 1))
            return static_cast<std::size_t>(fail());
        return static_cast<std::size_t>(n);
    }
    std::uint64_t word()
    {
        if (m_bytes.size() - m_at < 8)
            return fail();
        std::uint64_t value = 0;
        for (std::size_t b = 0; b < 8; ++b)
            value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_at + b])) << (8 * b);
        m_at += 8;
        return value;
    }
    double real()
    {
        const std::uint64_t bits = word();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    dwg::Point3 point()
    {
        dwg::Point3 p;
        p.x = real();
        p.y = real();
        p.z = real();
        return p;
    }
    std::string text()
    {
        const std::size_t size = count(1);
        if (!m_ok)
            return {};
        std::string value(m_bytes.substr(m_at, size));
        m_at += size;
        return value;
    }

private:
    std::uint64_t fail()
    {
        m_ok = false;
        m_at = m_bytes.size();
        return 0;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

void writeLabelled(Writer& w, const std::vector<LabelledToken>& list)
{
    w.number(list.size());
    for (const LabelledToken& t : list) {
        w.number(static_cast<std::uint64_t>(t.kind));
        w.word(t.token);
        w.text(t.label);
        w.number(t.entities.size());
        for (const std::size_t e : t.entities)
            w.number(e);
    }
}

bool readLabelled(Reader& r, std::vector<LabelledToken>& list, std::size_t entities)
{
    list.resize(r.count(11));
    for (LabelledToken& t : list) {
        const std::uint64_t kind = r.number();
        if (kind > static_cast<std::uint64_t>(TokenKind::TemplateShape))
            return false;
        t.kind = static_cast<TokenKind>(kind);
        t.token = r.word();
        t.label = r.text();
        t.entities.resize(r.count(1));
        for (std::size_t& e : t.entities)
            if ((e = r.number()) >= entities)
                return false;
    }
    return r.ok();
}

// A piece's form, its points left out where they repeat the anchor or one another (most pieces are lines, whose
// centre is the midpoint of its ends, one of them the anchor; circles, points and blocks are their anchor).
enum FormFlags : std::uint64_t {
    CentreAtAnchor = 1,
    EndsAtCentre = 2,
    CentreMidway = 4,
    FromAtAnchor = 8,
};

bool same(const dwg::Point3& p, const dwg::Point3& q)
{
    return p.x == q.x && p.y == q.y && p.z == q.z;
}

dwg::Point3 midway(const dwg::Point3& p, const dwg::Point3& q)
{
    return {(p.x + q.x) / 2, (p.y + q.y) / 2, (p.z + q.z) / 2};
}

void writeForm(Writer& w, const GeometryItem& item)
{
    const PieceForm& f = item.form;
    std::uint64_t flags = 0;
    if (same(f.from, f.centre) && same(f.to, f.centre))
        flags |= EndsAtCentre;
    else if (same(f.centre, midway(f.from, f.to)))
        flags |= CentreMidway;
    if (same(f.centre, item.anchor) && !(flags & CentreMidway))
        flags |= CentreAtAnchor;
    if (!(flags & EndsAtCentre) && same(f.from, item.anchor))
        flags |= FromAtAnchor;
    w.number(flags);
    w.word(f.family);
    if (!(flags & (CentreAtAnchor | CentreMidway)))
        w.point(f.centre);
    if (!(flags & EndsAtCentre)) {
        if (!(flags & FromAtAnchor))
            w.point(f.from);
        w.point(f.to);
    }
    w.real(f.size);
    w.word(item.formToken);
}

void readForm(Reader& r, GeometryItem& item)
{
    PieceForm& f = item.form;
    const std::uint64_t flags = r.number();
    f.family = r.word();
    if (flags & CentreAtAnchor)
        f.centre = item.anchor;
    else if (!(flags & CentreMidway))
        f.centre = r.point();
    if (flags & EndsAtCentre) {
        f.from = f.to = f.centre;
    } else {
        f.from = flags & FromAtAnchor ? item.anchor : r.point();
        f.to = r.point();
        if (flags & CentreMidway)
            f.centre = midway(f.from, f.to);
    }
    f.size = r.real();
    item.formToken = r.word();
}

} // namespace

namespace {

void writeFeatures(Writer& w, const DrawingFeatures& f)
{
    w.append(kMagic);
    w.number(f.entities.size());
    for (const EntityFeature& e : f.entities) {
        w.number(e.handle);
        w.number((e.hasGeometry ? 1u : 0u) | (e.fromTemplate ? 2u : 0u) | (e.isText ? 4u : 0u));
        w.word(e.shape);
        w.word(e.size);
        w.point(e.anchor);
    }
    w.number(f.items.size());
    for (const GeometryItem& item : f.items) {
        w.number(item.entity);
        w.word(item.kind);
        w.word(item.shape);
        w.point(item.anchor);
        w.word(item.context);
        writeForm(w, item);
    }
    for (const auto* tokens : {&f.shapes, &f.forms}) {
        w.number(tokens->size());
        for (const std::uint64_t s : *tokens)
            w.word(s);
    }
    w.number(f.sequence.size());
    for (const std::size_t i : f.sequence)
        w.number(i);
    w.number(f.order.size());
    for (const Fingerprint& p : f.order) {
        w.word(p.hash);
        w.number(p.position);
    }
    // Handles: one per entity, most of them 0 (template entities) or not; a flag, then the token.
    for (const std::uint64_t h : f.handles) {
        w.number(h != 0 ? 1 : 0);
        if (h != 0)
            w.word(h);
    }
    writeLabelled(w, f.identity);
    writeLabelled(w, f.names);
    writeLabelled(w, f.texts);
}

} // namespace

std::string encodeFeatures(const DrawingFeatures& f)
{
    Writer count(true);
    writeFeatures(count, f);
    Writer w;
    w.bytes.reserve(count.counted() + 8);
    writeFeatures(w, f);
    w.word(bytesSum(w.bytes));
    return std::move(w.bytes);
}

std::optional<DrawingFeatures> decodeFeatures(std::string_view bytes)
{
    if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    Reader sum(bytes.substr(body.size()));
    if (sum.word() != bytesSum(body))
        return std::nullopt;
    Reader r(body.substr(kMagic.size()));
    DrawingFeatures f;
    f.entities.resize(r.count(42));
    for (EntityFeature& e : f.entities) {
        e.handle = r.number();
        const std::uint64_t flags = r.number();
        e.hasGeometry = flags & 1;
        e.fromTemplate = flags & 2;
        e.isText = flags & 4;
        e.shape = r.word();
        e.size = r.word();
        e.anchor = r.point();
    }
    const std::size_t entities = f.entities.size();
    f.items.resize(r.count(74));
    for (GeometryItem& item : f.items) {
        if ((item.entity = r.number()) >= entities)
            return std::nullopt;
        item.kind = r.word();
        item.shape = r.word();
        item.anchor = r.point();
        item.context = r.word();
        readForm(r, item);
    }
    for (auto* tokens : {&f.shapes, &f.forms}) {
        tokens->resize(r.count(8));
        for (std::uint64_t& s : *tokens)
            s = r.word();
    }
    f.sequence.resize(r.count(1));
    for (std::size_t& i : f.sequence)
        if ((i = r.number()) >= entities)
            return std::nullopt;
    f.order.resize(r.count(9));
    for (Fingerprint& p : f.order) {
        p.hash = r.word();
        p.position = r.number();
    }
    f.handles.assign(entities, 0);
    for (std::uint64_t& h : f.handles)
        if (r.number() != 0)
            h = r.word();
    if (!r.ok() || !readLabelled(r, f.identity, entities) || !readLabelled(r, f.names, entities) ||
        !readLabelled(r, f.texts, entities) || !r.atEnd())
        return std::nullopt;
    return f;
}

} // namespace darv::similar
