// Rules for project names, which become the base names of the project's files.
#pragma once

#include <string>

namespace darv {

// A name is unsafe when it would name a file outside the data folder's own folders:
// it holds "/" or a NUL character, or it is "." or "..".
bool isUnsafeProjectName(const std::string& name);

} // namespace darv
