// The names of the files that the resources library holds under ":/darv/".
#pragma once

#include <string>
#include <vector>

namespace darv {

// The files the installer puts into the data folder's "resources" folder, as the system names them.
std::vector<std::string> dataFolderResourceNames();

// ":/darv/" + name: where the built-in copy of a resource lives.
std::string builtInResourcePath(const std::string& name);

} // namespace darv
