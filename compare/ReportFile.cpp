// A report being written through a temporary file.
#include "compare/ReportFile.h"

namespace darv {

ReportFile::ReportFile(const std::string& path) : m_file(path) {}

void ReportFile::writeLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size() + 4);
    line += '"';
    line += text;
    line += "\"\r\n";
    m_file.write(line);
}

bool ReportFile::finish()
{
    return m_file.sync();
}

bool ReportFile::commit()
{
    return m_file.commit();
}

} // namespace darv
