// Reading a report file and turning its bytes into text for the screen and the printer.
#include "reports/window/ReportText.h"

#include "base/RegularFile.h"

#include <QStringDecoder>

namespace darv {

std::optional<QByteArray> readReportFile(const std::string& path)
{
    // Only a regular file, opened without blocking: a FIFO put in a report's place must not freeze the window.
    const FileResult<std::string> file = readRegularFile(path);
    if (!file)
        return std::nullopt;
    return QByteArray::fromStdString(*file);
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
