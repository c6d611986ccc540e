// The field types of entity bodies, read through the entity's data stream and text source.
#pragma once

#include "drawing/Geometry.h"
#include "dwg/BitReader.h"
#include "dwg/TextDecoder.h"
#include "dwg/TextSource.h"
#include "dwg/Version.h"

#include <string>

namespace dwg {

class EntityFields
{
public:
    EntityFields(BitReader& data, TextSource& text, const VersionFlags& flags, TextDecoder* decoder)
        : m_data(data), m_text(text), m_f(flags), m_decoder(decoder)
    {}

    const VersionFlags& flags() const { return m_f; }
    BitReader& data() { return m_data; }
    bool failed() const { return m_data.failed() || m_text.failed(); }

    double bitDouble() { return m_data.readBitDouble(); }              // BD
    double rawDouble() { return m_data.readRawDouble(); }              // RD
    double defaulted(double d) { return m_data.readDefaultDouble(d); } // DD
    Point3 point3()                                                    // 3BD
    {
        Point3 p;
        p.x = bitDouble();
        p.y = bitDouble();
        p.z = bitDouble();
        return p;
    }
    Point3 rawPoint2(double z) // 2RD, with the z the entity keeps elsewhere
    {
        Point3 p;
        p.x = rawDouble();
        p.y = rawDouble();
        p.z = z;
        return p;
    }
    Point3 defaultedPoint3(const Point3& d) // 3DD
    {
        Point3 p;
        p.x = defaulted(d.x);
        p.y = defaulted(d.y);
        p.z = defaulted(d.z);
        return p;
    }
    void skipExtrusion() // BE
    {
        if (m_f.r2000Plus && m_data.readBit()) {
            return; // (0, 0, 1)
        }
        m_data.skipBitDoubles(3);
    }
    void skipThickness() // BT
    {
        if (m_f.r2000Plus && m_data.readBit()) {
            return; // 0.0
        }
        m_data.skipBitDoubles(1);
    }
    void skipColorValue() // CMC: index, and from R2004 on the true colour and the names that a flag byte announces
    {
        m_data.readBitShort();
        if (!m_f.r2004Plus) {
            return;
        }
        m_data.readBitLong();
        const std::uint8_t names = m_data.readByte();
        if ((names & 1) != 0) {
            text();
        }
        if ((names & 2) != 0) {
            text();
        }
    }
    void skipText() { m_text.skip(); } // T, not kept
    std::string text()                 // T: UTF-8
    {
        std::string value = m_text.read();
        return m_decoder != nullptr ? m_decoder->decode(value) : decodeUnicodeEscapes(value);
    }

private:
    BitReader& m_data;
    TextSource& m_text;
    const VersionFlags& m_f;
    TextDecoder* m_decoder;
};

} // namespace dwg
