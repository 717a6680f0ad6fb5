// The directory box: the path from the root down to the current directory, then that
// directory's subdirectories. Opening an entry (double-click or Enter) makes it current; a
// highlighted entry is not current.
#pragma once

#include "platform/file_system.h"
#include "wizard_shell/accessibility.h"

#include <QListWidget>

namespace tovaro::gui {

class DirBox : public FocusHonestList<QListWidget> {
    Q_OBJECT
public:
    explicit DirBox(QWidget* parent = nullptr);
    /// Where the box lists folders; it opens none before.
    void SetFileSystem(FileSystem& disk) { disk_ = &disk; }

    /// The opened directory: "/" at the root, otherwise without a closing separator.
    QString Path() const { return path_; }
    /// Opens `dir`; a directory that has vanished opens its nearest existing parent.
    void SetPath(const QString& dir);

signals:
    void PathChanged(const QString& dir);

private:
    void OpenItem(QListWidgetItem* item);
    bool IsFolder(const QString& dir) const;

    FileSystem* disk_ = nullptr;
    QString path_;
};

} // namespace tovaro::gui
