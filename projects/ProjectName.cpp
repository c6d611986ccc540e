// Rules for project names.
#include "projects/ProjectName.h"

namespace darv {

namespace {
constexpr std::size_t kLongestFileName = 255; // bytes, on the file systems a data folder lives on
// ".prj", ".cmp", ".tim", ".hnd", ".dat", ".sim", and the lock file's leading "." with ".lck"
constexpr std::size_t kExtensionLength = 5;
} // namespace

bool isUnsafeProjectName(const std::string& name)
{
    if (name == "." || name == "..")
        return true;
    // Control characters (a line end, an escape) would go into file names, the lock file's name and
    // every line that names the project.
    for (const char c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

bool isUsableProjectName(const std::string& name)
{
    return !name.empty() && !isUnsafeProjectName(name);
}

bool projectNameFitsFiles(const std::string& name)
{
    return name.size() + kExtensionLength <= kLongestFileName;
}

} // namespace darv
