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
    return name.find('/') != std::string::npos || name.find('\0') != std::string::npos;
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
