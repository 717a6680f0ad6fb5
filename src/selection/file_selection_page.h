// Page 1: the user builds the list of files to index.
#pragma once

#include "core/walk.h"
#include "shell/wizard_page.h"

#include <string>
#include <vector>

class QLineEdit;

namespace tovaro::gui {

class DirBox;
class DriveBox;
class FileBox;
class FileListBox;

class FileSelectionPage : public WizardPage {
    Q_OBJECT
public:
    FileSelectionPage(Program& program, const QString& startDirectory);

    /// The list of files as the run reads it, each path's bytes.
    std::vector<std::string> FileList() const;
    /// The directory box's current directory.
    std::string SiteDirectory() const;
    /// Selects entry `row` of the list (-1: none), as the run moves along the files.
    void SelectEntry(int row);
    /// The folders that "+++" could not list to their end since the list was last emptied.
    const std::vector<FolderProblem>& UnlistedFolders() const;

signals:
    void NextPageRequested();

public slots:
    void AddSelectedFiles();
    void AddListedFiles();
    void AddFileOnDoubleClick();
    void AddDirectoryTree();
    void RemoveSelectedEntry();
    void RemoveAllEntries();

private:
    void AppendPaths(std::vector<std::string> paths);
    void openDirectory(const QString& dir);

    DriveBox* driveBox_ = nullptr;
    DirBox* folderBox_ = nullptr;
    FileBox* fileBox_ = nullptr; ///< the files of the folder that match the filter
    QLineEdit* filterEdit_ = nullptr;
    FileListBox* fileList_ = nullptr; ///< the files to index
    std::vector<FolderProblem> unlistedFolders_;
};

} // namespace tovaro::gui
