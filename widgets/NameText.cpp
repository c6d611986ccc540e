// Names and paths between bytes and the window's text, without loss.
#include "widgets/NameText.h"

#include "base/NameBytes.h"

namespace darv {

namespace {
constexpr char16_t kByteStandIn = 0xDC00; // + the byte (0x80 to 0xFF): a lone low surrogate
} // namespace

QString nameText(std::string_view bytes)
{
    QString text;
    for (const NamePiece& piece : splitUtf8Runs(bytes)) {
        if (piece.validUtf8)
            text += QString::fromUtf8(piece.bytes.data(), static_cast<qsizetype>(piece.bytes.size()));
        else
            text += QChar(static_cast<char16_t>(kByteStandIn + static_cast<unsigned char>(piece.bytes[0])));
    }
    return text;
}

std::string nameBytes(const QString& text)
{
    std::string bytes;
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            bytes += text.mid(runStart, end - runStart).toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool standIn = unit >= kByteStandIn + 0x80 && unit <= kByteStandIn + 0xFF &&
                             (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()));
        if (standIn) {
            flushRun(i);
            bytes += static_cast<char>(unit - kByteStandIn);
            runStart = i + 1;
        }
    }
    flushRun(text.size());
    return bytes;
}

} // namespace darv
