// Where the strings of a unit (header, classes, one object) come from: the data stream up to R2004,
// the unit's separate UTF-16 string stream from R2007 on.
#pragma once

#include "dwg/BitReader.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

class TextSource
{
public:
    // R13-R2004: strings are TV fields inside the data stream, read through `data`.
    static TextSource inData(BitReader& data);
    // R2007+: finds the string stream that ends below bit `endBit` of `buffer` (the start of the unit's
    // handle stream, or P + bitsize for header and classes). A unit without strings gives empty strings.
    static TextSource stringStream(std::span<const std::uint8_t> buffer, std::uint64_t endBit);

    std::string read(std::size_t maxLength = SIZE_MAX); // see BitReader::readTextV
    void skip(unsigned count = 1);
    bool failed() const { return m_data != nullptr ? m_data->failed() : m_stream.failed(); }

private:
    BitReader* m_data = nullptr; // set for strings inside the data stream
    BitReader m_stream;
    bool m_present = false; // string stream present (R2007+)
};

} // namespace dwg
