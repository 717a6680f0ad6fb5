#include "file_selection_page.h"

#include "core/paths.h"
#include "core/pattern.h"
#include "core/walk.h"
#include "dir_box.h"
#include "drive_box.h"
#include "file_box.h"
#include "file_list_box.h"
#include "shell/accessibility.h"
#include "shell/document_opener.h"
#include "shell/layout.h"
#include "shell/link_label.h"
#include "shell/native_path.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

namespace tovaro::gui {

FileSelectionPage::FileSelectionPage(Program& program, const QString& startDirectory)
    : WizardPage("Form1",
        QStringLiteral("Schritt 1 - Wählen Sie alle Dateien aus die durchsucht werden sollen."),
        program)
{
    Drive1 = MakeControl<DriveBox>(this, "Drive1", { 120, 720, 2415, 315 });
    Dir1 = MakeControl<DirBox>(this, "Dir1", { 120, 1080, 2415, 3690 });
    File1 = MakeControl<FileBox>(this, "File1", { 2640, 720, 4815, 3015 });
    auto* filterLabel
        = MakeControl<QLabel>(this, "Label1", { 2640, 3840, 1695, 255 }, QStringLiteral("Filter:"));
    Text1 = MakeControl<QLineEdit>(
        this, "Text1", { 6360, 3840, 1095, 285 }, QString::fromLatin1(kDefaultTreeFilter));
    Command1 = MakeButton(this, "Command1", QStringLiteral("+"), 2640, 4275, 615, 495);
    Command2 = MakeButton(this, "Command2", QStringLiteral("++"), 3240, 4275, 615, 495);
    Command5 = MakeButton(this, "Command5", QStringLiteral("+++"), 3840, 4275, 615, 495);
    Command4 = MakeButton(this, "Command4", QStringLiteral("-"), 4680, 4275, 615, 495);
    Command3 = MakeButton(this, "Command3", QStringLiteral("--"), 5280, 4275, 615, 495);
    List1 = MakeControl<FileListBox>(this, "List1", { 120, 4920, 7335, 1620 });
    Image1 = MakeControl<LinkLabel>(this, "Image1", { 6120, 4320, 1320, 465 });
    Command6 = MakeButton(this, "Command6", QStringLiteral(">> &Schritt 2"), 6120, 6960, 1215, 375);

    // The buttons' captions are signs: their names say what they do, as their tooltips do.
    const std::pair<QPushButton*, QString> buttons[] = {
        { Command1, QStringLiteral("Markierte Datei hinzufügen") },
        { Command2, QStringLiteral("Alle gelisteten Einträge hinzufügen") },
        { Command5,
            QStringLiteral(
                "Alle Dateien im gewählten Verzeichnis (inkl. Unterordner) hinzufügen") },
        { Command4, QStringLiteral("Markierte Datei entfernen") },
        { Command3, QStringLiteral("Alle Dateien entfernen") },
    };
    for (const auto& [button, what] : buttons) {
        button->setToolTip(what);
        NameControl(button, what);
    }
    LabelInvisibly(Drive1, QStringLiteral("Laufwerk"));
    NameControl(Dir1, QStringLiteral("Ordner"));
    NameControl(File1, QStringLiteral("Dateien im Ordner"));
    NameControl(Text1, QStringLiteral("Filter"), filterLabel);
    NameControl(List1, QStringLiteral("Ausgewählte Dateien"));
    NameControl(Image1, QStringLiteral("Website von Brantwell Software"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/tovaro/banner.gif")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(Image1, &LinkLabel::clicked, this,
        [this] { OpenDocument(*program_.opener, kMakerWebAddress); });

    LabelsBelowControls(this);

    // Labels and the banner take no focus.
    SetTabOrder({ Drive1, Dir1, File1, Command1, Command2, Command4, List1, Text1, Command5,
        Command3, Image1, Command6, Command7 });
    Drive1->setFocus(); // the first stop of the tab order, when the page is first shown

    connect(Drive1, &DriveBox::DriveChosen, this, &FileSelectionPage::openDirectory);
    connect(Dir1, &DirBox::PathChanged, this, [this](const QString& dir) {
        Drive1->FollowDirectory(dir);
        File1->SetDirectory(dir);
    });
    connect(Text1, &QLineEdit::textChanged, File1, &FileBox::SetPattern);
    connect(File1, &QListWidget::itemDoubleClicked, this, &FileSelectionPage::AddFileOnDoubleClick);
    connect(Command1, &QPushButton::clicked, this, &FileSelectionPage::AddSelectedFiles);
    connect(Command2, &QPushButton::clicked, this, &FileSelectionPage::AddListedFiles);
    connect(Command5, &QPushButton::clicked, this, &FileSelectionPage::AddDirectoryTree);
    connect(Command4, &QPushButton::clicked, this, &FileSelectionPage::RemoveSelectedEntry);
    connect(Command3, &QPushButton::clicked, this, &FileSelectionPage::RemoveAllEntries);
    connect(Command6, &QPushButton::clicked, this, &FileSelectionPage::NextPageRequested);

    File1->SetPattern(Text1->text());
    openDirectory(startDirectory);
}

void FileSelectionPage::openDirectory(const QString& dir)
{
    Dir1->SetPath(dir);
    // SetPath reports only a change; the file box and drive box follow in either case.
    Drive1->FollowDirectory(Dir1->Path());
    if (File1->Directory() != Dir1->Path())
        File1->SetDirectory(Dir1->Path());
}

void FileSelectionPage::AppendPaths(std::vector<std::string> paths)
{
    List1->Append(std::move(paths));
}

void FileSelectionPage::AddSelectedFiles()
{
    std::vector<std::string> paths;
    const std::string dir = File1->DirectoryBytes();
    for (int row = 0; row < File1->count(); ++row) {
        if (File1->item(row)->isSelected())
            paths.push_back(JoinPath(dir, File1->NameBytes(row)));
    }
    AppendPaths(std::move(paths));
}

void FileSelectionPage::AddListedFiles()
{
    std::vector<std::string> paths;
    const std::string dir = File1->DirectoryBytes();
    for (int row = 0; row < File1->count(); ++row)
        paths.push_back(JoinPath(dir, File1->NameBytes(row)));
    AppendPaths(std::move(paths));
}

void FileSelectionPage::AddFileOnDoubleClick()
{
    const int row = File1->currentRow();
    if (row < 0)
        return;
    AppendPaths({ JoinPath(File1->DirectoryBytes(), File1->NameBytes(row)) });
}

void FileSelectionPage::AddDirectoryTree()
{
    // The window stays usable while the search runs: the search lets the event loop run at the
    // start of each directory (at most every 10 ms, which is as responsive and far cheaper on
    // trees of many small folders). The filter is read when the search has returned.
    QElapsedTimer sinceEvents;
    auto letEventsRun = [&sinceEvents] {
        if (!sinceEvents.isValid() || sinceEvents.elapsed() >= 10) {
            QApplication::processEvents();
            sinceEvents.start();
        }
    };
    // The page stays usable, so the pointer says "busy", not "wait".
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // The page shows no messages: folders that could not be listed are passed over.
    TreeListing listing = CollectMatchingFiles(
        ToBytes(Dir1->Path()), [this] { return ToBytes(Text1->text()); }, letEventsRun);
    QApplication::restoreOverrideCursor();
    AppendPaths(std::move(listing.files));
}

void FileSelectionPage::RemoveSelectedEntry()
{
    const int row = List1->selectedRow();
    if (row < 0)
        return;
    List1->RemoveRow(row);
    List1->setCurrentRow(-1);
}

void FileSelectionPage::RemoveAllEntries()
{
    List1->clear();
}

std::vector<std::string> FileSelectionPage::FileList() const
{
    return List1->Paths();
}

std::string FileSelectionPage::SiteDirectory() const
{
    return ToBytes(Dir1->Path());
}

void FileSelectionPage::SelectEntry(int row)
{
    List1->setCurrentRow(row);
}

} // namespace tovaro::gui
