#include "drive_box.h"

#include "shell/accessibility.h"

#include <QDir>
#include <QFileInfo>
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
#ifdef Q_OS_WIN
    // Every drive letter in use: fixed, removable and network drives alike.
    QStringList drives;
    for (const QFileInfo& drive : QDir::drives())
        drives << QDir::toNativeSeparators(drive.absoluteFilePath());
    return drives;
#endif
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
#ifdef Q_OS_WIN
    return QStorageInfo(root).name();
#else
    (void)root; // mount points are named by their paths
    return {};
#endif
}

DriveBox::DriveBox(QWidget* parent, VolumeLister lister, VolumeNamer namer)
    : QComboBox(parent)
    , lister_(std::move(lister))
    , namer_(std::move(namer))
{
    Refresh();
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &DriveBox::onActivated);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        UpdateSpokenValue();
        // The arrow keys choose a drive without opening the list: say which.
        if (hasFocus() && spokenLabel_ != nullptr)
            Announce(this, spokenLabel_->text());
    });
}

void DriveBox::SetSpokenName(const QString& name)
{
    spokenName_ = name;
    if (spokenLabel_ == nullptr)
        spokenLabel_ = LabelInvisibly(this, name);
    UpdateSpokenValue();
}

void DriveBox::UpdateSpokenValue()
{
    if (spokenLabel_ == nullptr)
        return;
    const QString value = currentText();
    spokenLabel_->setText(
        value.isEmpty() ? spokenName_ : spokenName_ + QStringLiteral(", ") + value);
}

void DriveBox::Refresh()
{
    const QString current = currentData().toString();
    blockSignals(true);
    clear();
    for (const QString& root : lister_()) {
        const QString label = namer_ ? namer_(root) : QString();
        addItem(
            label.isEmpty() ? root : root + QStringLiteral(" [") + label + QLatin1Char(']'), root);
    }
    int i = findData(current);
    if (i >= 0)
        setCurrentIndex(i);
    blockSignals(false);
    UpdateSpokenValue();
}

QString DriveBox::RootOf(const QString& dir) const
{
    // The roots are written as the system writes them ("C:\\" on Windows); `dir` has "/".
    QString best = QStringLiteral("/");
    QString bestItem = best;
    for (int i = 0; i < count(); ++i) {
        const QString root = QDir::fromNativeSeparators(itemData(i).toString());
        const bool holds = dir == root
            || dir.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > best.size()) {
            best = root;
            bestItem = itemData(i).toString();
        }
    }
    return bestItem;
}

void DriveBox::FollowDirectory(const QString& dir)
{
    const QString root = RootOf(dir);
    lastDirectory_[root] = dir;
    int i = findData(root);
    if (i >= 0 && i != currentIndex()) {
        blockSignals(true);
        setCurrentIndex(i);
        blockSignals(false);
        UpdateSpokenValue();
    }
}

void DriveBox::onActivated(int index)
{
    const QString root = itemData(index).toString();
    QString target = lastDirectory_.value(root, root);
    if (!QFileInfo(target).isDir())
        target = root;
    emit DriveChosen(target);
}

} // namespace tovaro::gui
