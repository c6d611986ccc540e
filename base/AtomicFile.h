// Whole-file writes that never leave a half-written file: the new content goes to a temporary file in
// the same folder, is flushed to the disk, and then renamed over the old file. Every failure is
// reported with the file and the system's reason.
#pragma once

#include "base/FileResult.h"

#include <string>
#include <string_view>

namespace darv {

class AtomicFile
{
public:
    // Opens the temporary file at once; ok() tells whether that worked.
    explicit AtomicFile(std::string path);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile(); // an uncommitted file is discarded: the old file stays as it was

    bool ok() const { return m_error.empty(); }
    // After a failure: "PATH: reason", e.g. "/data/compares/A.cmp: No space left on device".
    const std::string& error() const { return m_error; }

    bool write(std::string_view bytes);
    // Puts everything written so far on the disk (in the temporary file), so that a full disk shows now.
    bool sync();
    // Flushes, syncs and renames over the target (replacing a symbolic link, never writing through it).
    bool commit();
    void discard();

private:
    bool flushBuffer();
    void fail(const std::string& reason);

    std::string m_path;
    std::string m_temporary;
    std::string m_buffer;
    std::string m_error;
    int m_fd = -1;
    bool m_done = false;
};

// Removes the temporary files that runs which have ended without finishing (killed, crashed) left in
// a folder: ".darv-PID-..." whose process is gone. Those of running processes stay.
void removeDeadRunsTemporaries(const std::string& folder);

// The whole content in one call; the error when anything failed (the old file then stays).
FileWrite writeFileAtomically(const std::string& path, std::string_view content);

// Appends bytes to a file (created when missing) all or nothing: a write that fails part-way is cut off
// again, so the file never ends in half a line.
FileWrite appendWholly(const std::string& path, std::string_view bytes);

} // namespace darv
