// A report file being written: quoted lines ended by CR LF, nothing escaped.
#pragma once

#include <fstream>
#include <string>

namespace darv {

class ReportFile
{
public:
    enum class Mode {
        Replace,        // open over the old content
        DeleteAndCreate // delete the old file first, then create it anew
    };

    // A file that cannot be created leaves the report unwritten; the check goes on all the same.
    ReportFile(const std::string& path, Mode mode);

    bool isOpen() const { return m_out.is_open(); }
    void writeLine(const std::string& text);
    void close();

private:
    std::ofstream m_out;
};

// Writes a whole report of one line (the line of a check whose option is off).
void writeSingleLineReport(const std::string& path, const std::string& text);

} // namespace darv
