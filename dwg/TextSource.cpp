// Where the strings of a unit (header, classes, one object) come from: the data stream up to R2004,
// the unit's separate UTF-16 string stream from R2007 on.
#include "dwg/TextSource.h"

namespace dwg {

TextSource TextSource::inData(BitReader& data)
{
    TextSource source;
    source.m_data = &data;
    return source;
}

TextSource TextSource::stringStream(std::span<const std::uint8_t> buffer, std::uint64_t endBit)
{
    TextSource source;
    BitReader reader(buffer);
    source.m_stream = reader;
    if (endBit < 1) {
        source.m_stream.fail();
        return source;
    }
    reader.setPosition(endBit - 1);
    if (!reader.readBit()) {
        return source; // no strings: all empty, nothing to read
    }
    source.m_present = true;
    // The stream's length sits in the 16 bits (or 32 for long streams) just below the flag bit.
    std::uint64_t lengthAt = endBit - 1;
    if (lengthAt < 16) {
        source.m_stream.fail();
        return source;
    }
    lengthAt -= 16;
    reader.setPosition(lengthAt);
    std::uint64_t length = static_cast<std::uint16_t>(reader.readRawShort());
    if ((length & 0x8000) != 0) {
        if (lengthAt < 16) {
            source.m_stream.fail();
            return source;
        }
        lengthAt -= 16;
        reader.setPosition(lengthAt);
        const std::uint64_t high = static_cast<std::uint16_t>(reader.readRawShort());
        length = (length & 0x7FFF) | (high << 15);
    }
    if (reader.failed() || length > lengthAt) {
        source.m_stream.fail();
        return source;
    }
    source.m_stream.setEnd(lengthAt);
    source.m_stream.setPosition(lengthAt - length);
    return source;
}

std::string TextSource::read(std::size_t maxLength)
{
    if (m_data != nullptr) {
        return m_data->readTextV(maxLength);
    }
    return m_present ? m_stream.readTextU(maxLength) : std::string();
}

void TextSource::skip(unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        if (m_data != nullptr) {
            m_data->skipTextV();
        } else if (m_present) {
            m_stream.skipTextU();
        }
    }
}

} // namespace dwg
