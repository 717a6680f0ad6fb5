#include "file_selection_page.h"

#include "core/pattern.h"
#include "core/walk.h"
#include "dir_box.h"
#include "drive_box.h"
#include "file_box.h"
#include "file_list_box.h"
#include "wizard_shell/accessibility.h"
#include "wizard_shell/document_opener.h"
#include "wizard_shell/layout.h"
#include "wizard_shell/link_label.h"
#include "wizard_shell/native_path.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace tovaro::gui {

FileSelectionPage::FileSelectionPage(DesktopServices& desktop, const QString& startDirectory)
    : WizardPage("Form1",
        QStringLiteral("Schritt 1 - Wählen Sie alle Dateien aus die durchsucht werden sollen."),
        desktop)
{
    // clang-format off
    const PageControls controls = BuildControls(this, {
        // name, kind, caption, frame, place, tab stop
        { "Drive1", kind::Widget<DriveBox>, nullptr, nullptr, { 120, 720, 2415, 315 }, 1 },
        { "Dir1", kind::Widget<DirBox>, nullptr, nullptr, { 120, 1080, 2415, 3690 }, 2 },
        { "File1", kind::Widget<FileBox>, nullptr, nullptr, { 2640, 720, 4815, 3015 }, 3 },
        { "Label1", kind::Label, "Filter:", nullptr, { 2640, 3840, 1695, 255 }, 0 },
        { "Text1", kind::Edit, kDefaultTreeFilter, nullptr, { 6360, 3840, 1095, 285 }, 8 },
        { "Command1", kind::Button, "+", nullptr, { 2640, 4275, 615, 495 }, 4 },
        { "Command2", kind::Button, "++", nullptr, { 3240, 4275, 615, 495 }, 5 },
        { "Command5", kind::Button, "+++", nullptr, { 3840, 4275, 615, 495 }, 9 },
        { "Command4", kind::Button, "-", nullptr, { 4680, 4275, 615, 495 }, 6 },
        { "Command3", kind::Button, "--", nullptr, { 5280, 4275, 615, 495 }, 10 },
        { "List1", kind::Widget<FileListBox>, nullptr, nullptr, { 120, 4920, 7335, 1620 }, 7 },
        { "Image1", kind::Widget<LinkLabel>, nullptr, nullptr, { 6120, 4320, 1320, 465 }, 11 },
        { "Command6", kind::Button, ">> &Schritt 2", nullptr, { 6120, 6960, 1215, 375 }, 12 },
        { "Command7", kind::kFromFrame, nullptr, nullptr, {}, 13 },
    });
    // clang-format on
    driveBox_ = controls.Get<DriveBox>("Drive1");
    folderBox_ = controls.Get<DirBox>("Dir1");
    fileBox_ = controls.Get<FileBox>("File1");
    filterEdit_ = controls.Get<QLineEdit>("Text1");
    fileList_ = controls.Get<FileListBox>("List1");
    driveBox_->SetFileSystem(*desktop_.disk);
    folderBox_->SetFileSystem(*desktop_.disk);
    fileBox_->SetFileSystem(*desktop_.disk);
    auto* banner = controls.Get<LinkLabel>("Image1");
    auto button = [&controls](const char* name) { return controls.Get<QPushButton>(name); };

    // The buttons' captions are signs: their names say what they do, as their tooltips do.
    const std::pair<const char*, QString> signs[] = {
        { "Command1", QStringLiteral("Markierte Datei hinzufügen") },
        { "Command2", QStringLiteral("Alle gelisteten Einträge hinzufügen") },
        { "Command5",
            QStringLiteral(
                "Alle Dateien im gewählten Verzeichnis (inkl. Unterordner) hinzufügen") },
        { "Command4", QStringLiteral("Markierte Datei entfernen") },
        { "Command3", QStringLiteral("Alle Dateien entfernen") },
    };
    for (const auto& [name, what] : signs) {
        button(name)->setToolTip(what);
        NameControl(button(name), what);
    }
    driveBox_->SetSpokenName(QStringLiteral("Laufwerk"));
    NameControl(folderBox_, QStringLiteral("Ordner"));
    NameControl(fileBox_, QStringLiteral("Dateien im Ordner"));
    NameControl(filterEdit_, QStringLiteral("Filter"), controls.Get<QLabel>("Label1"));
    NameControl(fileList_, QStringLiteral("Ausgewählte Dateien"));
    NameControl(banner, QStringLiteral("Website von Brantwell Software"));
    banner->setPixmap(QPixmap(QStringLiteral(":/tovaro/banner.gif")));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(banner, &LinkLabel::Clicked, this,
        [this] { OpenDocument(*desktop_.opener, kMakerWebAddress); });

    connect(driveBox_, &DriveBox::DriveChosen, this, &FileSelectionPage::OpenDirectory);
    connect(folderBox_, &DirBox::PathChanged, this, [this](const QString& dir) {
        driveBox_->FollowDirectory(dir);
        fileBox_->SetDirectory(dir);
    });
    connect(filterEdit_, &QLineEdit::textChanged, fileBox_, &FileBox::SetPattern);
    filterSettled_ = new QTimer(this);
    filterSettled_->setSingleShot(true);
    filterSettled_->setInterval(kFilterPauseMs);
    connect(filterEdit_, &QLineEdit::textEdited, filterSettled_, qOverload<>(&QTimer::start));
    connect(filterSettled_, &QTimer::timeout, this, &FileSelectionPage::AnnounceMatchingFiles);
    connect(
        fileBox_, &QListWidget::itemDoubleClicked, this, &FileSelectionPage::AddFileOnDoubleClick);
    connect(button("Command1"), &QPushButton::clicked, this, &FileSelectionPage::AddSelectedFiles);
    connect(button("Command2"), &QPushButton::clicked, this, &FileSelectionPage::AddListedFiles);
    connect(button("Command5"), &QPushButton::clicked, this, &FileSelectionPage::AddDirectoryTree);
    connect(
        button("Command4"), &QPushButton::clicked, this, &FileSelectionPage::RemoveSelectedEntry);
    connect(button("Command3"), &QPushButton::clicked, this, &FileSelectionPage::RemoveAllEntries);
    connect(button("Command6"), &QPushButton::clicked, this, &FileSelectionPage::NextPageRequested);

    fileBox_->SetPattern(filterEdit_->text());
    OpenDirectory(startDirectory);
}

void FileSelectionPage::OpenDirectory(const QString& dir)
{
    folderBox_->SetPath(dir);
    // SetPath reports only a change; the file box and drive box follow in either case.
    driveBox_->FollowDirectory(folderBox_->Path());
    if (fileBox_->Directory() != folderBox_->Path())
        fileBox_->SetDirectory(folderBox_->Path());
}

namespace {

QString FilesCount(qsizetype count)
{
    return CountOf(count, "Datei", "Dateien");
}

} // namespace

void FileSelectionPage::AppendPaths(std::vector<std::string> paths, const QString& extra)
{
    const qsizetype added = static_cast<qsizetype>(paths.size());
    fileList_->Append(std::move(paths));
    QString spoken = (added == 0 ? QStringLiteral("Keine Datei") : FilesCount(added))
        + QStringLiteral(" hinzugefügt, ") + QString::number(fileList_->Count())
        + QStringLiteral(" ausgewählt");
    if (!extra.isEmpty())
        spoken += QStringLiteral(", ") + extra;
    Announce(this, spoken);
}

void FileSelectionPage::AnnounceMatchingFiles()
{
    Announce(this,
        fileBox_->count() == 0 ? QStringLiteral("Keine Datei passt zum Filter")
                               : CountOf(fileBox_->count(), "Datei passt", "Dateien passen")
                + QStringLiteral(" zum Filter"));
}

void FileSelectionPage::AddSelectedFiles()
{
    std::vector<std::string> paths;
    const std::string dir = fileBox_->DirectoryBytes();
    for (int row = 0; row < fileBox_->count(); ++row) {
        if (fileBox_->item(row)->isSelected())
            paths.push_back(JoinPath(dir, fileBox_->NameBytes(row), desktop_.disk->Style()));
    }
    if (paths.empty()) {
        Announce(this, QStringLiteral("Keine Datei markiert"));
        return;
    }
    AppendPaths(std::move(paths));
}

void FileSelectionPage::AddListedFiles()
{
    std::vector<std::string> paths;
    const std::string dir = fileBox_->DirectoryBytes();
    for (int row = 0; row < fileBox_->count(); ++row)
        paths.push_back(JoinPath(dir, fileBox_->NameBytes(row), desktop_.disk->Style()));
    AppendPaths(std::move(paths));
}

void FileSelectionPage::AddFileOnDoubleClick()
{
    const int row = fileBox_->currentRow();
    if (row < 0)
        return;
    AppendPaths(
        { JoinPath(fileBox_->DirectoryBytes(), fileBox_->NameBytes(row), desktop_.disk->Style()) });
}

void FileSelectionPage::AddDirectoryTree()
{
    // The window stays responsive while the search runs: the search lets the event loop run at
    // the start of each directory (at most every 10 ms, which is as responsive and far cheaper on
    // trees of many small folders). Folder and filter are read once, now: nothing that happens
    // meanwhile changes what this search adds.
    QElapsedTimer sinceEvents;
    auto letEventsRun = [&sinceEvents] {
        if (!sinceEvents.isValid() || sinceEvents.elapsed() >= 10) {
            QApplication::processEvents();
            sinceEvents.start();
        }
    };
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const std::string start = ToBytes(folderBox_->Path());
    const std::string pattern = ToBytes(filterEdit_->text());
    TreeListing listing;
    {
        // The window repaints and can be closed, but nothing else starts meanwhile: no run
        // reads a list that is still being filled.
        const ActionsBlocked blocked;
        listing = CollectMatchingFiles(*desktop_.disk, start, pattern, letEventsRun);
    }
    QApplication::restoreOverrideCursor();
    // The page shows no messages; folders that could not be listed (to their end) go into the
    // run's status list, since their files may be missing from the page.
    const size_t before = unlistedFolders_.size();
    if (listing.startFailure)
        unlistedFolders_.push_back({ start, listing.startFailure });
    for (FolderProblem& folder : listing.unlisted)
        unlistedFolders_.push_back(std::move(folder));
    const qsizetype unlisted = static_cast<qsizetype>(unlistedFolders_.size() - before);
    AppendPaths(std::move(listing.files),
        unlisted == 0 ? QString()
                      : CountOf(unlisted, "Ordner", "Ordner") + QStringLiteral(" nicht lesbar"));
}

void FileSelectionPage::RemoveSelectedEntry()
{
    const int row = fileList_->SelectedRow();
    if (row < 0) {
        Announce(this, QStringLiteral("Keine Datei markiert"));
        return;
    }
    fileList_->RemoveRow(row);
    fileList_->SetCurrentRow(-1);
    Announce(this,
        QStringLiteral("1 Datei entfernt, ") + QString::number(fileList_->Count())
            + QStringLiteral(" ausgewählt"));
}

void FileSelectionPage::RemoveAllEntries()
{
    fileList_->Clear();
    unlistedFolders_.clear();
    Announce(this, QStringLiteral("Alle Dateien entfernt"));
}

const std::vector<FolderProblem>& FileSelectionPage::UnlistedFolders() const
{
    return unlistedFolders_;
}

std::vector<std::string> FileSelectionPage::FileList() const
{
    return fileList_->Paths();
}

std::string FileSelectionPage::SiteDirectory() const
{
    return ToBytes(folderBox_->Path());
}

void FileSelectionPage::SelectEntry(int row)
{
    fileList_->SetCurrentRow(row);
}

} // namespace tovaro::gui
