// The drive box: the drive letters on Windows, each with its label; on Linux, which has none,
// "/" and the file systems a user would pick (the home folder, mounted media). Choosing one
// moves the directory box there, to the directory last opened on it in this run.
#pragma once

#include "platform/file_system.h"

#include <QComboBox>
#include <QLabel>
#include <QMap>
#include <functional>

namespace tovaro::gui {

/// The roots to offer, in order.
using VolumeLister = std::function<QStringList()>;

/// The label of the volume at a root, or empty.
using VolumeNamer = std::function<QString(const QString& root)>;

/// Windows: every drive letter ("C:\\"). Linux: "/", the home folder and the mounted file
/// systems that are not pseudo file systems.
QStringList SystemVolumes();

/// The volume's own name (a drive's label), where the system gives one.
QString SystemVolumeLabel(const QString& root);

class DriveBox : public QComboBox {
    Q_OBJECT
public:
    /// Each item shows its root and the volume's label ("D:\\ [Daten]"); the root is its data.
    explicit DriveBox(QWidget* parent = nullptr, VolumeLister lister = SystemVolumes,
        VolumeNamer namer = SystemVolumeLabel);

    /// The root that holds `dir` (the longest listed root that is a prefix of it).
    QString RootOf(const QString& dir) const;
    /// Shows the root of `dir` as the current drive and remembers `dir` for it.
    void FollowDirectory(const QString& dir);
    /// Where the box looks whether a drive's last folder is still there.
    void SetFileSystem(FileSystem& disk) { disk_ = &disk; }
    /// Lists the volumes anew (a medium may have come or gone).
    void Refresh();
    /// Names the box for screen readers: `name` and the drive it shows ("Laufwerk, /"), kept
    /// current. (On Linux a screen reader reads a combo box by its label and cannot read the
    /// value of one that is not editable, so the label carries both.)
    void SetSpokenName(const QString& name);

signals:
    /// The user chose another drive; `dir` is where the directory box should go.
    void DriveChosen(const QString& dir);

private:
    void ChooseDrive(int index);
    void UpdateSpokenValue();

    FileSystem* disk_ = nullptr;
    VolumeLister lister_;
    VolumeNamer namer_;
    QMap<QString, QString> lastDirectory_;
    QString spokenName_;
    QLabel* spokenLabel_ = nullptr;
};

} // namespace tovaro::gui
