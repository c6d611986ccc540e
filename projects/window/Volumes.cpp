// The volumes a user browses.
#include "projects/window/Volumes.h"

#include <QSet>
#include <QStorageInfo>

namespace darv {
namespace {

bool isSystemVolume(const QStorageInfo& info)
{
    static const QSet<QByteArray> pseudo = {
        "proc",      "sysfs",    "tmpfs",      "devtmpfs",        "overlay",     "cgroup",   "cgroup2",
        "devpts",    "mqueue",   "debugfs",    "securityfs",      "pstore",      "bpf",      "tracefs",
        "hugetlbfs", "fusectl",  "configfs",   "autofs",          "binfmt_misc", "ramfs",    "squashfs",
        "nsfs",      "efivarfs", "rpc_pipefs", "fuse.gvfsd-fuse", "fuse.portal", "selinuxfs"};
    if (pseudo.contains(info.fileSystemType()))
        return true;
    const QString root = info.rootPath();
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/etc", "/usr", "/var", "/tmp"}) {
        const QString p = QString::fromLatin1(prefix);
        if (root == p || root.startsWith(p + QLatin1Char('/')))
            return !root.startsWith(QStringLiteral("/run/media/"));
    }
    return false;
}

} // namespace

QList<Volume> browsableVolumes()
{
    QList<Volume> volumes;
    volumes.append({QStringLiteral("/"), QStringLiteral("/")});
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        const QString root = info.rootPath();
        if (root == QStringLiteral("/") || isSystemVolume(info))
            continue;
        const QString name = info.displayName() != root ? info.displayName() : info.name();
        volumes.append(
            {root, name.isEmpty() || name == root ? root : root + QStringLiteral(" [") + name + QLatin1Char(']')});
    }
    return volumes;
}

QString volumeRootFor(const QString& path, const QList<Volume>& volumes)
{
    QString best;
    for (const Volume& volume : volumes) {
        const QString& root = volume.rootPath;
        const bool holds = path == root || (root == QStringLiteral("/") ? path.startsWith(root)
                                                                        : path.startsWith(root + QLatin1Char('/')));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

} // namespace darv
