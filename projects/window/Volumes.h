// The volumes a user browses: "/" first, then removable media and network mounts.
#pragma once

#include <QList>
#include <QString>

namespace darv {

struct Volume
{
    QString rootPath; // mount point
    QString label;    // what the drive list shows
};

// Mounted volumes without pseudo and system file systems; "/" is always the first.
QList<Volume> browsableVolumes();

// The volume that holds a path: the longest mount point that is a prefix of it; empty when none.
QString volumeRootFor(const QString& path, const QList<Volume>& volumes);

} // namespace darv
