// The file box: the files of one directory that match its pattern (name only, any letter case,
// "*" and "?", several patterns separated by ";"), sorted by name, without hidden files.
#pragma once

#include "core/pattern.h"
#include "platform/file_system.h"
#include "wizard_shell/accessibility.h"

#include <QListWidget>
#include <string>
#include <vector>

namespace tovaro::gui {

class FileBox : public FocusHonestList<QListWidget> {
    Q_OBJECT
public:
    explicit FileBox(QWidget* parent = nullptr);
    /// Where the box lists files; it lists nothing before.
    void SetFileSystem(FileSystem& disk) { disk_ = &disk; }

    QString Directory() const { return directory_; }
    void SetDirectory(const QString& dir);
    QString Pattern() const { return pattern_; }
    void SetPattern(const QString& pattern);
    void Refresh();

    /// The bytes of the name listed at `row`.
    std::string NameBytes(int row) const;
    std::string DirectoryBytes() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    FileSystem* disk_ = nullptr;
    QString directory_;
    std::vector<std::string> names_; // the bytes of each listed name, row by row
    QString pattern_ = QString::fromLatin1(kDefaultTreeFilter);
};

} // namespace tovaro::gui
