// Reading a report file and turning its bytes into text for the screen and the printer.
#include "reports/window/ReportText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace darv {

std::optional<QByteArray> readReportFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString decodeReportText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

QString reportViewText(const QByteArray& bytes)
{
    QString text = decodeReportText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace darv
