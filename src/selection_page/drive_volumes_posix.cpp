// The drive box's places on Linux and other POSIX systems, which have no drive letters: "/",
// the home folder and the mounted file systems a user would pick.
#include "drive_box.h"

#include <QDir>
#include <QStorageInfo>

namespace tovaro::gui {

namespace {

// Mount points of the system itself, which a user does not pick as a site's drive.
bool IsSystemPlace(const QString& root)
{
    if (root.startsWith(QLatin1String("/run/media/")))
        return false;
    for (const char* p : { "/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/etc" }) {
        const QString place = QLatin1String(p);
        if (root == place || root.startsWith(place + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

QStringList SystemVolumes()
{
    QStringList roots { QStringLiteral("/") };
    const QString home = QDir::homePath();
    if (home != QLatin1String("/"))
        roots << home;
    static const QStringList pseudo { "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "cgroup",
        "cgroup2", "securityfs", "pstore", "debugfs", "tracefs", "configfs", "fusectl", "mqueue",
        "hugetlbfs", "bpf", "autofs", "binfmt_misc", "overlay", "squashfs", "nsfs", "efivarfs",
        "rpc_pipefs", "ramfs" };
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (!v.isValid() || !v.isReady() || roots.contains(root))
            continue;
        if (pseudo.contains(QString::fromLatin1(v.fileSystemType())))
            continue;
        if (IsSystemPlace(root))
            continue;
        roots << root;
    }
    return roots;
}

QString SystemVolumeLabel(const QString& root)
{
    (void)root; // mount points are named by their paths
    return {};
}

} // namespace tovaro::gui
