// A report being written: quoted lines ended by CR LF, nothing escaped. The lines go to a temporary
// file beside the report; only commit() puts it in the report's place, so a run that fails or is
// stopped leaves the old report whole.
#pragma once

#include "base/AtomicFile.h"

#include <string>

namespace darv {

class ReportFile
{
public:
    explicit ReportFile(const std::string& path);

    void writeLine(const std::string& text);
    // Everything written so far is on the disk (in the temporary file); false when anything failed.
    bool finish();
    // Replaces the old report; false when that failed.
    bool commit();

    bool ok() const { return m_file.ok(); }
    const std::string& error() const { return m_file.error(); } // "PATH: reason"

private:
    AtomicFile m_file;
};

} // namespace darv
