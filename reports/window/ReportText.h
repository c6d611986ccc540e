// Reading a report file and turning its bytes into text for the screen and the printer.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace darv {

// The whole file, or nothing when it cannot be read for any reason (no such file or folder, a name
// the file system rejects, a folder, a read error).
std::optional<QByteArray> readReportFile(const std::string& path);

// The report writers store the names as the file system gives them (UTF-8); reports copied from older
// installations may hold single-byte text instead, which is then shown byte for byte as Latin-1
// rather than as replacement characters.
QString decodeReportText(const QByteArray& bytes);

// The text of a report file for the view: every line of the file is one line of the text, whatever
// its line end (CR LF, LF or CR); nothing else is changed.
QString reportViewText(const QByteArray& bytes);

} // namespace darv
