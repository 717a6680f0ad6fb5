// Page 1: the user builds the list of files to index.
#pragma once

#include "core/walk.h"
#include "wizard_shell/wizard_page.h"

#include <string>
#include <vector>

class QLineEdit;
class QTimer;

namespace tovaro::gui {

class DirBox;
class DriveBox;
class FileBox;
class FileListBox;

class FileSelectionPage : public WizardPage {
    Q_OBJECT
public:
    FileSelectionPage(DesktopServices& desktop, const QString& startDirectory);

    /// The list of files as the run reads it, each path's bytes.
    std::vector<std::string> FileList() const;
    /// The directory box's current directory.
    std::string SiteDirectory() const;
    /// Selects entry `row` of the list (-1: none), as the run moves along the files.
    void SelectEntry(int row);
    /// The folders that "+++" could not list to their end since the list was last emptied.
    const std::vector<FolderProblem>& UnlistedFolders() const;

public slots:
    void AddSelectedFiles();
    void AddListedFiles();
    void AddFileOnDoubleClick();
    void AddDirectoryTree();
    void RemoveSelectedEntry();
    void RemoveAllEntries();

private:
    static constexpr int kFilterPauseMs = 700;

    /// Appends the paths and tells a screen reader how many were added and how many are
    /// chosen now; `extra` follows ("1 Ordner nicht lesbar").
    void AppendPaths(std::vector<std::string> paths, const QString& extra = {});
    void OpenDirectory(const QString& dir);
    void AnnounceMatchingFiles();

    DriveBox* driveBox_ = nullptr;
    DirBox* folderBox_ = nullptr;
    FileBox* fileBox_ = nullptr; ///< the files of the folder that match the filter
    QLineEdit* filterEdit_ = nullptr;
    FileListBox* fileList_ = nullptr; ///< the files to index
    std::vector<FolderProblem> unlistedFolders_;
    QTimer* filterSettled_ = nullptr; ///< the filter is announced once typing pauses
};

} // namespace tovaro::gui
