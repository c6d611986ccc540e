// Names as bytes: valid UTF-8 runs and the bytes between them.
#include "base/NameBytes.h"

#include <cstdint>

namespace darv {

namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0 when the first byte does not
// start one (stray continuation bytes, overlong forms, surrogates, values above U+10FFFF, cut ends).
std::size_t validSequenceLength(std::string_view text)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

std::vector<NamePiece> splitUtf8Runs(std::string_view name)
{
    std::vector<NamePiece> pieces;
    std::size_t runStart = 0;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t length = validSequenceLength(name.substr(pos));
        if (length > 0) {
            pos += length;
            continue;
        }
        if (pos > runStart)
            pieces.push_back({name.substr(runStart, pos - runStart), true});
        pieces.push_back({name.substr(pos, 1), false});
        runStart = ++pos;
    }
    if (pos > runStart)
        pieces.push_back({name.substr(runStart, pos - runStart), true});
    return pieces;
}

std::string upperCaseName(std::string_view name, const std::function<std::string(const std::string&)>& upperUtf8)
{
    std::string result;
    for (const NamePiece& piece : splitUtf8Runs(name))
        result += piece.validUtf8 ? upperUtf8(std::string(piece.bytes)) : std::string(piece.bytes);
    return result;
}

bool isUtf8(std::string_view name)
{
    for (const NamePiece& piece : splitUtf8Runs(name))
        if (!piece.validUtf8)
            return false;
    return true;
}

std::string base64(std::string_view bytes)
{
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t k = 0; k < bytes.size(); k += 3) {
        const std::size_t left = bytes.size() - k;
        std::uint32_t group = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << 16;
        if (left > 1)
            group |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k + 1])) << 8;
        if (left > 2)
            group |= static_cast<unsigned char>(bytes[k + 2]);
        text += alphabet[(group >> 18) & 63];
        text += alphabet[(group >> 12) & 63];
        text += left > 1 ? alphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? alphabet[group & 63] : '=';
    }
    return text;
}

} // namespace darv
