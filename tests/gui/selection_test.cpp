#include "../core/test_util.h"
#include "fakes.h"
#include "selection_page/dir_box.h"
#include "selection_page/drive_box.h"
#include "selection_page/file_box.h"
#include "selection_page/file_list_box.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

QStringList Texts(const QListWidget* list)
{
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

QStringList Texts(const FileListBox* list)
{
    QStringList t;
    for (int i = 0; i < list->Count(); ++i)
        t << list->Text(i);
    return t;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

class SelectionTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<test::Harness> h;
    FileSelectionPage* page = nullptr;

    void Open(const std::string& sub = "")
    {
        h = std::make_unique<test::Harness>(Q(dir.path() + sub));
        page = h->p1();
    }
    void Select(std::initializer_list<int> rows)
    {
        test::Control<FileBox>(page, "File1")->clearSelection();
        for (int r : rows)
            test::Control<FileBox>(page, "File1")->item(r)->setSelected(true);
    }
};

} // namespace

TEST_F(SelectionTest, StartingStateAndFileBoxListing)
{
    dir.Write("b.htm", "");
    dir.Write("A.HTML", "");
    dir.Write("c.txt", "");
    dir.Write(".versteckt.htm", "");
    dir.Mkdir("ordner.htm");
    Open();
    EXPECT_EQ(QDir::toNativeSeparators(test::Control<DirBox>(page, "Dir1")->Path()), Q(dir.path()));
    EXPECT_EQ(test::Control<QLineEdit>(page, "Text1")->text(), QStringLiteral("*.ht*"));
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
    // Files only, hidden ones left out, sorted by name without regard to case.
    EXPECT_EQ(Texts(test::Control<FileBox>(page, "File1")), (QStringList { "A.HTML", "b.htm" }));
    EXPECT_EQ(test::Control<QPushButton>(page, "Command5")->toolTip(),
        QStringLiteral("Alle Dateien im gewählten Verzeichnis (inkl. Unterordner) hinzufügen"));
}

TEST_F(SelectionTest, PlusAddsSelectedFilesTopToBottomAndTwice)
{
    dir.Write("a.htm", "");
    dir.Write("b.htm", "");
    dir.Write("c.htm", "");
    Open();
    test::Control<QPushButton>(page, "Command1")->click(); // nothing selected
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
    Select({ 2, 0 });
    test::Control<QPushButton>(page, "Command1")->click();
    test::Control<QPushButton>(page, "Command1")->click();
    const QString d = Q(dir.path());
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")),
        (QStringList {
            Q(dir.At("a.htm")), Q(dir.At("c.htm")), Q(dir.At("a.htm")), Q(dir.At("c.htm")) }));
}

TEST_F(SelectionTest, PlusPlusAddsEveryListedFileAndNothingFromAnEmptyBox)
{
    dir.Write("x/a.htm", "");
    dir.Write("x/b.html", "");
    dir.Write("x/c.txt", "");
    dir.Mkdir("leer");
    Open("/leer");
    test::Control<QPushButton>(page, "Command2")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
    test::Control<DirBox>(page, "Dir1")->SetPath(Q(dir.At("x")));
    test::Control<QPushButton>(page, "Command2")->click();
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")),
        (QStringList { Q(dir.At("x/a.htm")), Q(dir.At("x/b.html")) }));
}

TEST_F(SelectionTest, FilesFromTwoDirectoriesStaySideBySide)
{
    dir.Write("eins/a.htm", "");
    dir.Write("zwei/b.htm", "");
    Open("/eins");
    Select({ 0 });
    test::Control<QPushButton>(page, "Command1")->click();
    test::Control<DirBox>(page, "Dir1")->SetPath(Q(dir.At("zwei")));
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 1);
    test::Control<FileBox>(page, "File1")->setCurrentRow(0);
    page->AddFileOnDoubleClick();
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")),
        (QStringList { Q(dir.At("eins/a.htm")), Q(dir.At("zwei/b.htm")) }));
    EXPECT_EQ(page->SiteDirectory(), dir.At("zwei"));
}

TEST_F(SelectionTest, TreeAddIsCaseSensitiveWhereTheFileBoxIsNot)
{
    dir.Write("site/INDEX.HTM", "");
    Open("/site");
    EXPECT_EQ(Texts(test::Control<FileBox>(page, "File1")), QStringList { "INDEX.HTM" });
    test::Control<QPushButton>(page, "Command5")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
    Select({ 0 });
    test::Control<QPushButton>(page, "Command1")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 1);
}

TEST_F(SelectionTest, SeveralPatternsShowInTheBoxButTreeAddTakesThemLiterally)
{
    dir.Write("s/a.htm", "");
    dir.Write("s/b.txt", "");
    dir.Write("s/c.gif", "");
    Open("/s");
    test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*.htm;*.txt"));
    EXPECT_EQ(Texts(test::Control<FileBox>(page, "File1")), (QStringList { "a.htm", "b.txt" }));
    test::Control<QPushButton>(page, "Command5")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
}

TEST_F(SelectionTest, TreeAddFindsHiddenFilesAndHonoursEmptyAndStarFilters)
{
    dir.Write("s/.geheim.htm", "");
    dir.Write("s/.ordner/x.htm", "");
    dir.Write("s/sub/y.txt", "");
    Open("/s");
    test::Control<QPushButton>(page, "Command5")->click();
    QStringList added = Texts(test::Control<FileListBox>(page, "List1"));
    added.sort();
    EXPECT_EQ(added, (QStringList { Q(dir.At("s/.geheim.htm")), Q(dir.At("s/.ordner/x.htm")) }));
    page->RemoveAllEntries();
    test::Control<QLineEdit>(page, "Text1")->setText(QString());
    test::Control<QPushButton>(page, "Command5")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
    test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*"));
    test::Control<QPushButton>(page, "Command5")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 3);
}

TEST_F(SelectionTest, RemovingEntries)
{
    dir.Write("a.htm", "");
    dir.Write("b.htm", "");
    Open();
    test::Control<QPushButton>(page, "Command2")->click();
    test::Control<QPushButton>(page, "Command4")->click(); // nothing selected
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 2);
    test::Control<FileListBox>(page, "List1")->SetCurrentRow(0);
    test::Control<QPushButton>(page, "Command4")->click();
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")), QStringList { Q(dir.At("b.htm")) });
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->SelectedRow(), -1);
    test::Control<QPushButton>(page, "Command4")->click(); // still nothing selected
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 1);
    test::Control<QPushButton>(page, "Command2")->click();
    test::Control<QPushButton>(page, "Command3")->click();
    EXPECT_EQ(test::Control<FileListBox>(page, "List1")->Count(), 0);
}

TEST_F(SelectionTest, HomeAndEndSelectSoThatKeysAloneCanRemove)
{
    dir.Write("a.htm", "");
    dir.Write("b.htm", "");
    dir.Write("c.htm", "");
    Open();
    auto key = [](QWidget* w, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    };
    auto* list = test::Control<FileListBox>(page, "List1");
    test::Control<QPushButton>(page, "Command2")->click();
    // After a removal the list keeps a current row but selects nothing.
    list->SetCurrentRow(0);
    test::Control<QPushButton>(page, "Command4")->click();
    list->setCurrentIndex(list->model()->index(0, 0));
    list->selectionModel()->clearSelection();
    key(list, Qt::Key_Home);
    EXPECT_EQ(list->SelectedRow(), 0);
    key(list, Qt::Key_End);
    EXPECT_EQ(list->SelectedRow(), 1);
    test::Control<QPushButton>(page, "Command4")->click();
    EXPECT_EQ(Texts(list), QStringList { Q(dir.At("b.htm")) });

    auto* files = test::Control<FileBox>(page, "File1");
    files->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    files->clearSelection();
    key(files, Qt::Key_End);
    ASSERT_EQ(files->selectedItems().size(), 1);
    EXPECT_EQ(files->selectedItems()[0]->text(), QStringLiteral("c.htm"));
}

TEST_F(SelectionTest, FilterEditsChangeTheBoxAtOnceButNotTheList)
{
    dir.Write("a.htm", "");
    dir.Write("b.txt", "");
    Open();
    test::Control<QPushButton>(page, "Command2")->click();
    test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*.t"));
    EXPECT_EQ(test::Control<FileBox>(page, "File1")->count(), 0);
    test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*.tx"));
    EXPECT_EQ(test::Control<FileBox>(page, "File1")->count(), 0);
    test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*.txt"));
    EXPECT_EQ(Texts(test::Control<FileBox>(page, "File1")), QStringList { "b.txt" });
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")), QStringList { Q(dir.At("a.htm")) });
}

TEST_F(SelectionTest, NothingElseStartsWhileTheTreeIsSearched)
{
    dir.Write("a/sub/eins.htm", "");
    dir.Write("b/zwei.htm", "");
    Open("/a");
    auto* search = test::Control<QPushButton>(page, "Command5");
    search->setFocus();
    // Runs while the search lets the event loop run: every action of the page is refused, by
    // click and by the accessibility action alike.
    QStringList enabledDuring;
    bool filterReadOnly = false;
    QTimer::singleShot(0, page, [&] {
        for (const char* name : { "Command1", "Command2", "Command3", "Command4", "Command5",
                 "Command6", "Text1", "List1", "Dir1" }) {
            if (test::Control<QWidget>(page, name)->isEnabled())
                enabledDuring << QLatin1String(name);
        }
        test::Control<DirBox>(page, "Dir1")->SetPath(Q(dir.At("b")));
        // A screen reader's text actions on the greyed-out filter are refused.
        QAccessibleInterface* filter
            = QAccessible::queryAccessibleInterface(test::Control<QLineEdit>(page, "Text1"));
        filterReadOnly = filter->state().readOnly;
        filter->editableTextInterface()->replaceText(0, 5, QStringLiteral("*.none"));
        filter->editableTextInterface()->insertText(0, QStringLiteral("x"));
        filter->editableTextInterface()->deleteText(0, 2);
        filter->setText(QAccessible::Value, QStringLiteral("*.none"));
        search->click();
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(search);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        test::Control<QPushButton>(page, "Command3")->click();
    });
    search->click();
    EXPECT_EQ(enabledDuring, QStringList());
    EXPECT_TRUE(filterReadOnly);
    EXPECT_EQ(test::Control<QLineEdit>(page, "Text1")->text(), QStringLiteral("*.ht*"));
    EXPECT_EQ(Texts(test::Control<FileListBox>(page, "List1")),
        QStringList { Q(dir.At("a/sub/eins.htm")) });
    // Afterwards the page is usable again, with the focus where it was.
    EXPECT_TRUE(search->isEnabled());
    EXPECT_TRUE(test::Control<QPushButton>(page, "Command6")->isEnabled());
    EXPECT_EQ(page->focusWidget(), search);
    // And the filter takes a screen reader's text again.
    QAccessible::queryAccessibleInterface(test::Control<QLineEdit>(page, "Text1"))
        ->editableTextInterface()
        ->replaceText(0, 5, QStringLiteral("*.txt"));
    EXPECT_EQ(test::Control<QLineEdit>(page, "Text1")->text(), QStringLiteral("*.txt"));
}

TEST_F(SelectionTest, DirectoryBoxOpensOnActivationOnly)
{
    dir.Mkdir("oben/unten");
    Open("/oben");
    QListWidget* box = test::Control<DirBox>(page, "Dir1");
    const QList<QListWidgetItem*> hits = box->findItems(QStringLiteral("unten"), Qt::MatchEndsWith);
    ASSERT_EQ(hits.size(), 1);
    box->setCurrentItem(hits.first()); // highlighted only
    EXPECT_EQ(
        QDir::toNativeSeparators(test::Control<DirBox>(page, "Dir1")->Path()), Q(dir.At("oben")));
    emit box->itemActivated(hits.first());
    EXPECT_EQ(QDir::toNativeSeparators(test::Control<DirBox>(page, "Dir1")->Path()),
        Q(dir.At("oben/unten")));
    EXPECT_EQ(QDir::toNativeSeparators(test::Control<FileBox>(page, "File1")->Directory()),
        Q(dir.At("oben/unten")));
    // The chain from the root (the drive, on Windows) is listed first.
    EXPECT_EQ(box->item(0)->text(), QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(SelectionTest, VanishedDirectoryFallsBackToItsParent)
{
    dir.Mkdir("bleibt/weg");
    Open("/bleibt/weg");
    ::rmdir((dir.At("bleibt/weg")).c_str());
    test::Control<DirBox>(page, "Dir1")
        ->SetPath(test::Control<DirBox>(page, "Dir1")->Path()); // listed again
    EXPECT_EQ(
        QDir::toNativeSeparators(test::Control<DirBox>(page, "Dir1")->Path()), Q(dir.At("bleibt")));
}

TEST(DriveBoxTest, RemembersTheLastDirectoryOfEachDrive)
{
    DriveBox box(
        nullptr,
        [] {
            return QStringList { "/", "/media/stick" };
        },
        [](const QString&) { return QString(); });
    box.SetFileSystem(test::NativeDisk());
    EXPECT_EQ(box.RootOf(QStringLiteral("/media/stick/site")), QStringLiteral("/media/stick"));
    EXPECT_EQ(box.RootOf(QStringLiteral("/media/sticker")), QStringLiteral("/"));
    box.FollowDirectory(QStringLiteral("/tmp"));
    EXPECT_EQ(box.currentText(), QStringLiteral("/"));
    QString chosen;
    QObject::connect(&box, &DriveBox::DriveChosen, [&](const QString& d) { chosen = d; });
    emit box.activated(0);
    EXPECT_EQ(chosen, QStringLiteral("/tmp"));
    emit box.activated(1); // never opened, and not there: its root
    EXPECT_EQ(chosen, QStringLiteral("/media/stick"));
}

TEST(DriveBoxTest, ShowsEachDrivesLabelAndKeepsItsRoot)
{
    // Roots as the system writes them ("D:\\" on Windows).
    const QString c = QDir::toNativeSeparators(QStringLiteral("C:/"));
    const QString d = QDir::toNativeSeparators(QStringLiteral("D:/"));
    DriveBox box(
        nullptr,
        [&] {
            return QStringList { c, d };
        },
        [&](const QString& root) { return root == d ? QStringLiteral("Daten") : QString(); });
    EXPECT_EQ(box.itemText(0), c);
    EXPECT_EQ(box.itemText(1), d + QStringLiteral(" [Daten]"));
    EXPECT_EQ(box.RootOf(QStringLiteral("D:/site/docs")), d);
    box.FollowDirectory(QStringLiteral("D:/site"));
    EXPECT_EQ(box.currentText(), d + QStringLiteral(" [Daten]"));
    QString chosen;
    QObject::connect(&box, &DriveBox::DriveChosen, [&](const QString& dir) { chosen = dir; });
    emit box.activated(1); // D:/site is not there: the root, not the label's text
    EXPECT_EQ(chosen, d);
}

namespace {

// Runs the event loop until `log` has something to say or a second has passed (the filter is
// spoken once typing pauses).
QStringList WaitToHear(test::SpokenLog& log)
{
    QElapsedTimer waited;
    waited.start();
    QStringList said;
    while (said.isEmpty() && waited.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        said = log.Take();
    }
    return said;
}

} // namespace

TEST_F(SelectionTest, EachActionIsSpokenOnceWithWhatItLeavesChosen)
{
    dir.Write("a.htm", "");
    dir.Write("b.htm", "");
    dir.Write("c.htm", "");
    dir.Write("sub/d.htm", "");
    Open();
    test::SpokenLog spoken { page };
    auto click = [this](const char* button) {
        return [this, button] { test::Control<QPushButton>(page, button)->click(); };
    };
    const struct {
        const char* action;
        std::function<void()> act;
        QStringList said;
    } steps[] = {
        { "+ with nothing marked", click("Command1"), { "Keine Datei markiert" } },
        { "+ with two marked",
            [&] {
                Select({ 0, 2 }), click("Command1")();
            },
            { "2 Dateien hinzugefügt, 2 ausgewählt" } },
        { "++", click("Command2"), { "3 Dateien hinzugefügt, 5 ausgewählt" } },
        { "+++", click("Command5"), { "4 Dateien hinzugefügt, 9 ausgewählt" } },
        { "- with nothing marked", click("Command4"), { "Keine Datei markiert" } },
        { "- with one marked", [&] { page->SelectEntry(3), click("Command4")(); },
            { "1 Datei entfernt, 8 ausgewählt" } },
        { "double click",
            [&] {
                test::Control<FileBox>(page, "File1")->setCurrentRow(1);
                page->AddFileOnDoubleClick();
            },
            { "1 Datei hinzugefügt, 9 ausgewählt" } },
        { "--", click("Command3"), { "Alle Dateien entfernt" } },
        { "+++ in a folder without matches",
            [&] {
                test::Control<DirBox>(page, "Dir1")->SetPath(Q(dir.At("sub")));
                test::Control<QLineEdit>(page, "Text1")->setText(QStringLiteral("*.txt"));
                click("Command5")();
            },
            { "Keine Datei hinzugefügt, 0 ausgewählt" } },
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(spoken.Take(), step.said) << step.action;
    }
}

TEST_F(SelectionTest, TypingAFilterIsSpokenOnceTypingPauses)
{
    dir.Write("a.htm", "");
    dir.Write("b.html", "");
    dir.Write("c.txt", "");
    Open();
    test::SpokenLog spoken { page };
    auto* filter = test::Control<QLineEdit>(page, "Text1");
    filter->selectAll();
    for (const char* keys : { "*", ".", "h", "t", "m" }) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(keys));
        QApplication::sendEvent(filter, &press);
    }
    ASSERT_EQ(filter->text(), QStringLiteral("*.htm"));
    EXPECT_EQ(WaitToHear(spoken), QStringList { "1 Datei passt zum Filter" });
    // Set by the program, not typed: nothing to say.
    filter->setText(QStringLiteral("*.txt"));
    EXPECT_EQ(WaitToHear(spoken), QStringList());
}

TEST(DriveBoxTest, ItsLabelSaysWhichDriveItShows)
{
    QWidget page;
    auto* box = new DriveBox(
        &page,
        [] {
            return QStringList { "/", "/media/stick" };
        },
        [](const QString&) { return QString(); });
    box->setObjectName(QStringLiteral("Drive1"));
    box->SetSpokenName(QStringLiteral("Laufwerk"));
    auto* label = page.findChild<QLabel*>(QStringLiteral("Drive1Label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), box);
    EXPECT_EQ(label->text(), QStringLiteral("Laufwerk, /"));
    box->FollowDirectory(QStringLiteral("/media/stick/site")); // the directory box moved
    EXPECT_EQ(label->text(), QStringLiteral("Laufwerk, /media/stick"));
    box->setCurrentIndex(0); // the arrow keys
    EXPECT_EQ(label->text(), QStringLiteral("Laufwerk, /"));
}
