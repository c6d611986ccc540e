// Rules for project names.
#include "projects/ProjectName.h"

namespace darv {

bool isUnsafeProjectName(const std::string& name)
{
    if (name == "." || name == "..")
        return true;
    return name.find('/') != std::string::npos || name.find('\0') != std::string::npos;
}

} // namespace darv
