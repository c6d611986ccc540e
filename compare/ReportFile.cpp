// A report file being written: quoted lines ended by CR LF, nothing escaped.
#include "compare/ReportFile.h"

#include <cstdio>

namespace darv {

ReportFile::ReportFile(const std::string& path, Mode mode)
{
    if (mode == Mode::DeleteAndCreate)
        std::remove(path.c_str()); // a missing old report is not an error
    m_out.open(path, std::ios::binary | std::ios::trunc);
}

void ReportFile::writeLine(const std::string& text)
{
    if (!m_out.is_open())
        return;
    m_out.put('"');
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    m_out.write("\"\r\n", 3);
}

void ReportFile::close()
{
    if (m_out.is_open())
        m_out.close();
}

void writeSingleLineReport(const std::string& path, const std::string& text)
{
    ReportFile file(path, ReportFile::Mode::Replace);
    file.writeLine(text);
    file.close();
}

} // namespace darv
