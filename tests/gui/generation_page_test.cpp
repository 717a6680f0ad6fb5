#include "../core/memory_file_system.h"
#include "../core/slow_file_system.h"
#include "../core/test_util.h"
#include "core/run.h"
#include "fakes.h"
#include "selection_page/file_box.h"
#include "selection_page/file_list_box.h"
#include "wizard_shell/native_path.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tovaro;
using namespace tovaro::gui;

namespace {

std::string Page(const std::string& title, const std::string& description = "Beschreibung")
{
    return test::Page(title, "k, " + title, description);
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

QStringList Texts(const QListWidget* list)
{
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

class GeneratorTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<test::Harness> h;

    void Open() { h = std::make_unique<test::Harness>(Q(dir.At("site")), Q(dir.path())); }
    void AddAll() { test::Control<QPushButton>(h->p1(), "Command2")->click(); }
    void GoToPageThree()
    {
        test::Control<QPushButton>(h->p1(), "Command6")->click();
        test::Control<QPushButton>(h->p2(), "Command6")->click();
    }
    // A site of 240 complete pages, all added, and page 3 shown.
    void OpenTwoHundredFortyPagesOnPageThree()
    {
        for (int i = 0; i < 240; ++i)
            dir.Write("site/s" + std::to_string(i) + ".htm", Page("Seite " + std::to_string(i)));
        Open();
        AddAll();
        GoToPageThree();
    }
};

struct NoSink : RunSink { };

} // namespace

TEST_F(GeneratorTest, InitialPage)
{
    dir.Mkdir("site");
    Open();
    GoToPageThree();
    GenerationPage* p = h->p3();
    EXPECT_EQ(test::Control<QLineEdit>(p, "Text1")->text(), Q(dir.At("lookup.htm")));
    EXPECT_TRUE(test::Control<QLineEdit>(p, "Text2")->text().endsWith(QLatin1Char('/')));
    EXPECT_FALSE(test::Control<QGroupBox>(p, "Frame4")->isVisibleTo(p));
    EXPECT_FALSE(test::Control<QGroupBox>(p, "Frame5")->isVisibleTo(p));
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame1")->isVisibleTo(p));
    EXPECT_EQ(test::Control<QPushButton>(p, "Command1")->text(), QStringLiteral("Datei erzeugen"));
}

TEST_F(GeneratorTest, WholeWizardWritesWhatTheCoreWrites)
{
    dir.Write("site/a.htm", Page("Alpha"));
    dir.Write("site/b.htm", Page("Beta", ""));
    dir.Write("site/docs/c.htm", Page("Gamma"));
    Open();
    test::Control<QPushButton>(h->p1(), "Command5")->click(); // the whole tree
    ASSERT_EQ(test::Control<FileListBox>(h->p1(), "List1")->Count(), 3);
    test::Control<QPushButton>(h->p1(), "Command6")->click();
    h->dialog.answers = { MakeColour(0x12, 0x34, 0x56) };
    test::Control<QPushButton>(h->p2(), "Command1")->click();
    test::Control<QLineEdit>(h->p2(), "Text2")->setText(QStringLiteral("Suche in Gärten"));
    test::Control<QComboBox>(h->p2(), "Combo2")->setEditText(QStringLiteral("4"));
    test::Control<QPushButton>(h->p2(), "Command6")->click();
    GenerationPage* p = h->p3();
    const std::string out = dir.At("site/suche.htm");
    test::Control<QLineEdit>(p, "Text1")->setText(Q(out));
    test::Control<QLineEdit>(p, "Text2")
        ->setText(QStringLiteral("https://www.example.org/garten/"));
    test::Control<QPushButton>(p, "Command1")->click();

    ASSERT_EQ(h->messages.shown,
        QStringList { QStringLiteral("info|Suchdatei|Die Suchdatei wurde erfolgreich erstellt!") });
    RunInputs in;
    in.files = h->p1()->FileList();
    in.siteDir = dir.At("site");
    in.outputPath = dir.At("expected.htm");
    in.webRoot = "https://www.example.org/garten/";
    in.appearance.backgroundColour = "#123456";
    in.appearance.heading = "Suche in Gärten";
    in.appearance.fontSize = "4";
    NoSink sink;
    ASSERT_TRUE(tovaro::RunGeneration(test::NativeDisk(), in, sink).written);
    EXPECT_EQ(test::ReadFile(out), test::ReadFile(in.outputPath));
    EXPECT_NE(test::ReadFile(out).find("<title>Suche in Gärten</title>"), std::string::npos);
    EXPECT_EQ(Texts(test::Control<QListWidget>(p, "List1")),
        QStringList { Q("Fehlend: Description " + dir.At("site/b.htm")) });
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame4")->isVisibleTo(p));

    // tovaro-gen, given the same inputs, writes the same page.
    QStringList args;
    for (const std::string& f : in.files)
        args << Q(f);
    args << "-o" << Q(dir.At("gen.htm")) << "-s" << Q(in.siteDir) << "-w"
         << "https://www.example.org/garten/"
         << "--background-colour=#123456" << QStringLiteral("--heading=Suche in Gärten")
         << "--font-size=4";
    EXPECT_EQ(QProcess::execute(QStringLiteral(TOVARO_GEN), args), 0);
    EXPECT_EQ(test::ReadFile(dir.At("gen.htm")), test::ReadFile(out));
}

// The same selection through the wizard and through tovaro-gen: the same page, the same status
// lines. The search page lies inside the site, where "+++" finds it, and is never indexed.
TEST_F(GeneratorTest, TheWizardAndTovaroGenRunByTheSameRules)
{
    dir.Write("site/a.htm", Page("Alpha"));
    dir.Write("site/b.htm", Page("Beta", ""));
    dir.Write("site/docs/c.htm", Page("Gamma"));
    const std::string out = dir.Write("site/suche.htm", "<title>Alte Suche</title>");
    Open();
    test::Control<QPushButton>(h->p1(), "Command5")->click();
    ASSERT_EQ(test::Control<FileListBox>(h->p1(), "List1")->Count(), 4);
    GoToPageThree();
    test::Control<QLineEdit>(h->p3(), "Text1")->setText(Q(out));
    test::Control<QLineEdit>(h->p3(), "Text2")->setText(QStringLiteral("https://example.org/"));
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    test::Control<QPushButton>(h->p3(), "Command1")->click(); // the page is there now
    const std::string wizardPage = test::ReadFile(out);
    const QStringList wizardLines = Texts(test::Control<QListWidget>(h->p3(), "List1"));

    QStringList args;
    for (const std::string& f : h->p1()->FileList())
        args << Q(f);
    args << "-o" << Q(out) << "-s" << Q(dir.At("site")) << "-w"
         << "https://example.org/";
    QProcess gen;
    gen.start(QStringLiteral(TOVARO_GEN), args);
    ASSERT_TRUE(gen.waitForFinished(30000));
    QStringList genLines = QString::fromUtf8(gen.readAllStandardOutput())
                               .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(genLines.takeLast(), QStringLiteral("Die Suchdatei wurde erfolgreich erstellt!"));
    EXPECT_EQ(test::ReadFile(out), wizardPage);
    EXPECT_EQ(wizardLines, genLines + genLines); // two runs of the wizard
    EXPECT_EQ(genLines, QStringList { Q("Fehlend: Description " + dir.At("site/b.htm")) });
    EXPECT_EQ(test::Urls(wizardPage),
        (std::vector<std::string> {
            "https://example.org/a.htm", "https://example.org/docs/c.htm" }));
}

// "+++" on a folder that cannot be listed, then "Datei erzeugen": the list is empty because its
// folder failed, so nothing is written, and the message says why.
TEST_F(GeneratorTest, AListEmptyBecauseItsFolderFailedWritesNothing)
{
    class FailingSite : public ForwardingFileSystem {
    public:
        FailingSite(FileSystem& inner, std::string site)
            : ForwardingFileSystem(inner)
            , site_(std::move(site))
        {
        }
        Failure ListFolder(
            const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
        {
            if (path == site_)
                return { FailureKind::InputOutput, 5 };
            return ForwardingFileSystem::ListFolder(path, entries, id);
        }

    private:
        std::string site_;
    };
    dir.Write("site/a.htm", Page("Alpha"));
    const std::string old = dir.Write("lookup.htm", "alte Seite");
    Open();
    FailingSite failing(test::NativeDisk(), dir.At("site"));
    {
        test::Harness::UsingDisk using_(*h, failing);
        test::Control<QPushButton>(h->p1(), "Command5")->click();
    }
    ASSERT_EQ(test::Control<FileListBox>(h->p1(), "List1")->Count(), 0);
    GoToPageThree();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    const std::string reason = " (Ein-/Ausgabefehler beim Zugriff auf den Datenträger)";
    EXPECT_EQ(h->messages.shown,
        QStringList { Q("warn|Suchdatei|Keine Datei ausgewählt: Der Ordner " + dir.At("site")
            + " konnte nicht gelesen werden" + reason + ". Die Suchdatei wurde nicht geändert.") });
    EXPECT_EQ(Texts(test::Control<QListWidget>(h->p3(), "List1")),
        QStringList { Q("Ordner nicht lesbar: " + dir.At("site") + reason) });
    EXPECT_EQ(test::ReadFile(old), "alte Seite");

    // A list emptied on purpose ("--") writes the page without entries, as before.
    test::Control<QPushButton>(h->p1(), "Command3")->click();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(h->messages.shown.size(), 2);
    EXPECT_TRUE(h->messages.shown.back().startsWith(QStringLiteral("info|")));
    EXPECT_NE(test::ReadFile(old).find("for (var i = 0;i<0;i++){"), std::string::npos);
}

// The page's search takes German spelling variants for the same when the user asks for it; the
// choice is remembered, off for a new user.
TEST_F(GeneratorTest, SpellingVariantsAreAChoiceThatIsRemembered)
{
    dir.Write("site/a.htm", Page("Straße"));
    Open();
    AddAll();
    GoToPageThree();
    auto* box = test::Control<QCheckBox>(h->p3(), "Check1");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->accessibleName(), QStringLiteral("Schreibweisen gleichsetzen"));
    EXPECT_TRUE(box->accessibleDescription().contains(QStringLiteral("ß = ss")));
    EXPECT_EQ(box->text(), QStringLiteral("&Schreibweisen gleichsetzen"));
    const std::string out = dir.At("lookup.htm");
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(test::ReadFile(out).find("Falten("), std::string::npos);

    // Alt+S reaches it, and nothing else of the page.
    const QKeySequence altS(Qt::ALT | Qt::Key_S);
    EXPECT_EQ(QKeySequence::mnemonic(box->text()), altS);
    for (QAbstractButton* other : h->p3()->findChildren<QAbstractButton*>()) {
        if (other != box) {
            EXPECT_NE(QKeySequence::mnemonic(other->text()), altS)
                << other->objectName().toStdString();
        }
    }
    // Checked, the run writes a page that folds.
    box->click();
    EXPECT_TRUE(h->choices.spellingVariants);
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_NE(test::ReadFile(out).find("if (Falten(keys[i].toLowerCase()).indexOf(Wort) >= 0){"),
        std::string::npos);

    // The next start shows the choice as the user left it.
    test::Harness remembered(Q(dir.At("site")), Q(dir.path()));
    remembered.choices.spellingVariants = true;
    remembered.p1();
    EXPECT_TRUE(test::Control<QCheckBox>(remembered.p3(), "Check1")->isChecked());
}

TEST_F(GeneratorTest, TwoRunsKeepEveryStatusLineAndSelectTheLastFile)
{
    dir.Write("site/a.htm", Page("A"));
    dir.Write("site/b.htm", "<p>leer</p>");
    dir.Write("site/c.htm", Page("C"));
    Open();
    AddAll();
    GoToPageThree();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    const QString line = Q("Fehlend: Titel, Keywords, Description " + dir.At("site/b.htm"));
    EXPECT_EQ(Texts(test::Control<QListWidget>(h->p3(), "List1")), (QStringList { line, line }));
    EXPECT_EQ(test::Control<FileListBox>(h->p1(), "List1")->currentIndex().row(), 2);
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->maximum(), 2);
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->value(), 2);
    EXPECT_EQ(h->messages.shown.size(), 2);
    EXPECT_TRUE(test::FileExists(dir.At("lookup.htm")));
}

TEST_F(GeneratorTest, OneFileKeepsTheEarlierMaximum)
{
    dir.Write("site/a.htm", Page("A"));
    dir.Write("site/b.htm", Page("B"));
    dir.Write("site/c.htm", Page("C"));
    dir.Write("site/d.htm", Page("D"));
    Open();
    AddAll();
    GoToPageThree();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->maximum(), 3);
    test::Control<QPushButton>(h->p3(), "Command6")->click();
    test::Control<QPushButton>(h->p2(), "Command8")->click();
    test::Control<QPushButton>(h->p1(), "Command3")->click();
    test::Control<FileBox>(h->p1(), "File1")->item(0)->setSelected(true);
    test::Control<QPushButton>(h->p1(), "Command1")->click();
    test::Control<QPushButton>(h->p1(), "Command6")->click();
    test::Control<QPushButton>(h->p2(), "Command6")->click();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->maximum(), 3);
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->value(), 0);
}

TEST_F(GeneratorTest, OutputInAMissingFolderShowsTheErrorAndNoSuccess)
{
    dir.Write("site/a.htm", Page("A"));
    Open();
    AddAll();
    GoToPageThree();
    const std::string out = dir.At("fehlt/lookup.htm");
    test::Control<QLineEdit>(h->p3(), "Text1")->setText(Q(out));
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    ASSERT_EQ(h->messages.shown.size(), 1);
    EXPECT_TRUE(h->messages.shown[0].startsWith(
        Q("warn|Suchdatei|Die Suchdatei konnte nicht erstellt werden: " + out + "\n")));
    EXPECT_FALSE(test::FileExists(out));
}

TEST_F(GeneratorTest, HelpPanelStacking)
{
    dir.Mkdir("site");
    Open();
    GoToPageThree();
    GenerationPage* p = h->p3();
    test::Control<QPushButton>(p, "Command1")
        ->click(); // the help button lies on the status panel, shown by a run
    auto frontOf = [p](QWidget* a, QWidget* b) {
        const QObjectList& kids = p->children();
        return kids.indexOf(a) > kids.indexOf(b);
    };
    test::Control<QPushButton>(p, "Command2")->click();
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame5")->isVisibleTo(p));
    EXPECT_TRUE(
        frontOf(test::Control<QGroupBox>(p, "Frame5"), test::Control<QGroupBox>(p, "Frame4")));
    EXPECT_TRUE(frontOf(test::Control<QGroupBox>(p, "Frame5"),
        test::Control<QGroupBox>(p, "Frame1"))); // covers the web root box
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame5")
                    ->geometry()
                    .intersects(test::Control<QLineEdit>(p, "Text2")
                                    ->geometry()
                                    .translated(test::Control<QGroupBox>(p, "Frame1")->pos())));
    // What the help covers is hidden while it is open: neither Tab nor a screen reader finds it.
    EXPECT_FALSE(test::Control<QLineEdit>(p, "Text2")->isVisibleTo(p));
    EXPECT_FALSE(test::Control<QGroupBox>(p, "Frame4")->isVisibleTo(p));
    test::Control<QPushButton>(p, "Command3")->click();
    // Closed, the help hides whole, and what it covered is back.
    EXPECT_FALSE(test::Control<QGroupBox>(p, "Frame5")->isVisibleTo(p));
    EXPECT_TRUE(test::Control<QLineEdit>(p, "Text2")->isVisibleTo(p));
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame4")->isVisibleTo(p));
    // A run started while the help is open puts the status panel in its place.
    test::Control<QPushButton>(p, "Command2")->click();
    test::Control<QPushButton>(p, "Command1")->click();
    EXPECT_FALSE(test::Control<QGroupBox>(p, "Frame5")->isVisibleTo(p));
    EXPECT_TRUE(test::Control<QGroupBox>(p, "Frame4")->isVisibleTo(p));
    EXPECT_TRUE(test::Control<QLineEdit>(p, "Text2")->isVisibleTo(p));
}

TEST_F(GeneratorTest, TabCycleEndsWithTheWebRoot)
{
    dir.Mkdir("site");
    Open();
    GoToPageThree();
    GenerationPage* p = h->p3();
    QStringList order;
    QWidget* w = test::Control<QPushButton>(p, "Command6");
    for (int i = 0; i < 40 && order.size() < 8; ++i) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(order,
        (QStringList { "Command6", "Command7", "Text1", "Command1", "List1", "Command2", "Command3",
            "Text2" }));
}

TEST_F(GeneratorTest, RunOverTwentyThousandFilesShowsEveryLine)
{
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        dir.Write("site/d" + std::to_string(i % 50) + "/s" + std::to_string(i) + ".htm",
            i % 4 == 0 ? "<title>ohne Meta</title>" : Page("Seite " + std::to_string(i)));
    Open();
    test::Control<QPushButton>(h->p1(), "Command5")->click();
    ASSERT_EQ(test::Control<FileListBox>(h->p1(), "List1")->Count(), n);
    GoToPageThree();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    ASSERT_EQ(h->messages.shown.size(), 1);
    EXPECT_TRUE(h->messages.shown[0].startsWith(QStringLiteral("info|")));
    EXPECT_EQ(test::Control<QListWidget>(h->p3(), "List1")->count(), n / 4);
    EXPECT_TRUE(test::Control<QListWidget>(h->p3(), "List1")
                    ->item(0)
                    ->text()
                    .startsWith(QStringLiteral("Fehlend: Keywords, Description ")));
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->maximum(), n - 1);
    EXPECT_EQ(test::Control<QProgressBar>(h->p3(), "Stat")->value(), n - 1);
    EXPECT_EQ(test::Control<FileListBox>(h->p1(), "List1")->currentIndex().row(), n - 1);
    const std::string page = test::ReadFile(dir.At("lookup.htm"));
    EXPECT_NE(
        page.find("for (var i = 0;i<" + std::to_string(n - n / 4) + ";i++){"), std::string::npos);
}

TEST_F(GeneratorTest, TheWindowAnswersDuringALongRun)
{
    // A site on a slow share: every file takes 20 ms to open, the run a good part of a second.
    OpenTwoHundredFortyPagesOnPageThree();
    test::SlowFileSystem share(test::NativeDisk(), std::chrono::milliseconds(20), false);
    test::Harness::UsingDisk using_(*h, share);
    // Events other than clicks and keys are handled while the run goes on: a timer fires, and
    // it sees the run half done.
    int progressSeen = -1;
    QTimer::singleShot(0, [&] {
        if (h->messages.shown.empty())
            progressSeen = test::Control<QProgressBar>(h->p3(), "Stat")->value();
    });
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    ASSERT_EQ(h->messages.shown.size(), 1);
    EXPECT_TRUE(h->messages.shown[0].startsWith(QStringLiteral("info|")));
    EXPECT_GE(progressSeen, 0);
    EXPECT_LT(progressSeen, 239);
    EXPECT_EQ(test::Urls(test::ReadFile(dir.At("lookup.htm"))).size(), 240u);
}

TEST_F(GeneratorTest, NothingElseStartsDuringARunAndItEndsOnce)
{
    OpenTwoHundredFortyPagesOnPageThree();
    test::SlowFileSystem share(test::NativeDisk(), std::chrono::milliseconds(20), false);
    test::Harness::UsingDisk using_(*h, share);
    auto* generate = test::Control<QPushButton>(h->p3(), "Command1");
    // Pressed again, by click and through the accessibility bus, while the run repaints; the
    // way back to page 2 and page 1's "--" are refused too.
    bool refused = false;
    QTimer::singleShot(0, [&] {
        refused = h->messages.shown.empty() && !generate->isEnabled()
            && !test::Control<QPushButton>(h->p3(), "Command6")->isEnabled()
            && !test::Control<QPushButton>(h->p1(), "Command3")->isEnabled();
        generate->click();
        QAccessible::queryAccessibleInterface(generate)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        test::Control<QPushButton>(h->p3(), "Command6")->click();
        test::Control<QPushButton>(h->p1(), "Command3")->click();
    });
    generate->click();
    EXPECT_TRUE(refused);
    EXPECT_EQ(h->messages.shown.size(), 1);
    EXPECT_TRUE(h->p3()->isVisible());
    EXPECT_EQ(test::Control<FileListBox>(h->p1(), "List1")->Count(), 240);
    EXPECT_TRUE(generate->isEnabled());
}

TEST_F(GeneratorTest, TheFieldsTakeNoTextDuringARun)
{
    OpenTwoHundredFortyPagesOnPageThree();
    test::SlowFileSystem share(test::NativeDisk(), std::chrono::milliseconds(5), false);
    test::Harness::UsingDisk using_(*h, share);
    auto* output = test::Control<QLineEdit>(h->p3(), "Text1");
    const QString before = output->text();
    // While the run repaints, a screen reader writes into the greyed-out fields.
    bool readOnly = false;
    QTimer::singleShot(0, [&] {
        for (const char* name : { "Text1", "Text2" }) {
            QAccessibleInterface* field
                = QAccessible::queryAccessibleInterface(test::Control<QLineEdit>(h->p3(), name));
            readOnly = field->state().readOnly;
            const int length = field->textInterface()->characterCount();
            field->editableTextInterface()->replaceText(0, length, QStringLiteral("/anders.htm"));
            field->editableTextInterface()->insertText(0, QStringLiteral("x"));
            field->editableTextInterface()->deleteText(0, length);
            field->setText(QAccessible::Value, QStringLiteral("/anders.htm"));
        }
    });
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_TRUE(readOnly);
    // What the field shows is what was written.
    EXPECT_EQ(output->text(), before);
    EXPECT_EQ(test::Urls(test::ReadFile(ToBytes(before))).size(), 240u);
    EXPECT_EQ(test::Control<QLineEdit>(h->p3(), "Text2")->text().toStdString().find("anders"),
        std::string::npos);
}

TEST_F(GeneratorTest, FoldersTheTreeCouldNotListAreReportedByTheRun)
{
    dir.Write("site/a.htm", Page("Alpha"));
    dir.Write("site/zu/b.htm", Page("Beta"));
    test::MemoryFileSystem disk(test::NativeDisk().Style(), dir.path());
    disk.AddFile(dir.At("site/a.htm"), Page("Alpha"));
    disk.AddFile(dir.At("site/zu/b.htm"), Page("Beta"));
    disk.MakeUnlistable(dir.At("site/zu"));
    Open();
    {
        test::Harness::UsingDisk using_(*h, disk);
        test::Control<QPushButton>(h->p1(), "Command5")->click();
    }
    GoToPageThree();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(Texts(test::Control<QListWidget>(h->p3(), "List1")),
        QStringList { Q("Ordner nicht lesbar: " + dir.At("site/zu") + " (Keine Berechtigung)") });
    // "--" empties the selection, and with it what was said about it: the next run (whose
    // lines follow the earlier ones) adds no line.
    test::Control<QPushButton>(h->p1(), "Command3")->click();
    test::Control<QPushButton>(h->p3(), "Command1")->click();
    EXPECT_EQ(test::Control<QListWidget>(h->p3(), "List1")->count(), 1);
}

TEST_F(GeneratorTest, HowTheRunEndedIsSpokenBeforeTheMessageBoxAndStaysInThePanel)
{
    dir.Write("site/a.htm", Page("A"));
    dir.Write("site/b.htm", Page("B"));
    dir.Write("site/c.htm", Page("C", ""));
    Open();
    AddAll();
    GoToPageThree();
    GenerationPage* p = h->p3();
    auto* state = test::Control<QLabel>(p, "Label6");
    const QString wait = state->text();
    test::SpokenLog spoken { p };
    QStringList heardBeforeTheBox;
    h->messages.showing = [&] { heardBeforeTheBox = spoken.Take(); };
    const struct {
        const char* output;
        QString said; // and shown in the panel, with a full stop
    } runs[] = {
        { "site/lookup.htm", "Fertig: 2 Seiten im Index, 1 Meldung" },
        // The second run's line comes under the first's; only it counts.
        { "fehlt/lookup.htm", "Die Suchdatei wurde nicht geschrieben, 1 Meldung" },
    };
    for (const auto& run : runs) {
        test::Control<QLineEdit>(p, "Text1")->setText(Q(dir.At(run.output)));
        test::Control<QPushButton>(p, "Command1")->click();
        EXPECT_EQ(heardBeforeTheBox, QStringList { run.said }) << run.output;
        EXPECT_EQ(state->text(), run.said + QLatin1Char('.')) << run.output;
        EXPECT_NE(state->text(), wait);
    }
}
