// Rules for project names, which become the base names of the project's files.
#pragma once

#include <string>

namespace darv {

// A name is unsafe when it would name a file outside the data folder's own folders:
// it holds "/" or a control character (NUL, a line end, an escape...), or it is "." or "..".
bool isUnsafeProjectName(const std::string& name);

// A name the runs and the per-project files can work with: not empty and not unsafe. With no project
// selected the name is empty, and no file whose name is only an extension may ever be written.
bool isUsableProjectName(const std::string& name);

// Whether every per-project file name (the name with its extension such as ".prj", or the lock file
// ".NAME.lck") fits the 255 bytes a file name may have.
bool projectNameFitsFiles(const std::string& name);

} // namespace darv
