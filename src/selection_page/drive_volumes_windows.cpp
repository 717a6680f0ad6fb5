// The drive box's places on Windows: every drive letter in use, with its label.
#include "drive_box.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tovaro::gui {

QStringList SystemVolumes()
{
    // Fixed, removable and network drives alike.
    QStringList drives;
    for (const QFileInfo& drive : QDir::drives())
        drives << QDir::toNativeSeparators(drive.absoluteFilePath());
    return drives;
}

QString SystemVolumeLabel(const QString& root)
{
    return QStorageInfo(root).name();
}

} // namespace tovaro::gui
