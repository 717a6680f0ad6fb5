// Page 1: the user builds the list of files to index.
#pragma once

#include "shell/wizard_page.h"

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

namespace tovaro::gui {

class LinkLabel;

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

    DriveBox* Drive1 = nullptr;
    DirBox* Dir1 = nullptr;
    FileBox* File1 = nullptr;
    QLineEdit* Text1 = nullptr; ///< the filter
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;
    FileListBox* List1 = nullptr;
    LinkLabel* Image1 = nullptr;
    QPushButton* Command6 = nullptr;
};

} // namespace tovaro::gui
