// The names of the files that the resources library holds under ":/darv/".
#pragma once

#include <QString>
#include <QStringList>

namespace darv {

// The files the installer puts into the data folder's "resources" folder, as the system names them.
QStringList dataFolderResourceNames();

// ":/darv/" + name: where the built-in copy of a resource lives.
QString builtInResourcePath(const QString& name);

} // namespace darv
