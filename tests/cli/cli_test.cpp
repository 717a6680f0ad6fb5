#include "../core/test_util.h"
#include "cli/options.h"
#include "cli_harness.h"
#include "platform/standard_input.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tovaro;

using test::Cli;
using test::Urls;

namespace {

// Why a name with a control character is no file: Windows allows no such name at all.
const std::string kNoSuchName = test::NativeDisk().Style() == PathStyle::Windows
    ? "Ungültiger Name"
    : "Der Ordner oder die Datei existiert nicht";

} // namespace

TEST(CliOptionsTest, UsageErrors)
{
    EXPECT_FALSE(cli::ParseOptions({ "--gibtsnicht" }).ok);
    EXPECT_FALSE(cli::ParseOptions({ "-o" }).ok);
    EXPECT_FALSE(cli::ParseOptions({ "--output=" }).ok);
    cli::ParseResult r = cli::ParseOptions({ "--heading=Über", "-w", "http://x/", "--", "-o" });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.options.appearance.heading, "Über");
    EXPECT_EQ(r.options.webRoot, "http://x/");
    ASSERT_EQ(r.options.sources.size(), 1u);
    EXPECT_EQ(r.options.sources[0].value, "-o");
}

TEST(CliTest, HelpAndUsageStatus)
{
    Cli help("/", { "--help" });
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.str().find("Aufruf: tovaro-gen"), std::string::npos);
    Cli bad("/", { "--farbe" });
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.str().find("Unbekannte Option: --farbe"), std::string::npos);
    EXPECT_NE(bad.err.str().find("Aufruf: tovaro-gen"), std::string::npos);
}

TEST(CliTest, FileListFollowsTheCommandLine)
{
    test::TempDir dir;
    dir.Write("site/a.htm", test::Page("A"));
    dir.Write("site/b.htm", test::Page("B"));
    dir.Write("site/sub/c.htm", test::Page("C"));
    dir.Write("site/sub/C.HTM", test::Page("C2"));
    dir.Write("site/sub/d.txt", test::Page("D"));
    dir.Write("liste.txt", "site/b.htm\r\n\r\n./site/../site/a.htm\n");
    Cli cli(dir.path(),
        { "site//b.htm", "--files-from", "liste.txt", "--tree", "site/sub", "--files-from", "-",
            "-o", "site/lookup.htm" },
        "site/a.htm\n");
    ASSERT_EQ(cli.status, 0) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "Die Suchdatei wurde erfolgreich erstellt!\n");
    // The tree's default filter *.ht* is case-sensitive and matches whole paths.
    EXPECT_EQ(Urls(test::ReadFile(dir.path() + "/site/lookup.htm")),
        (std::vector<std::string> { "b.htm", "b.htm", "a.htm", "sub/c.htm", "a.htm" }));
}

TEST(CliTest, TreeFilterAndSiteDirectory)
{
    test::TempDir dir;
    dir.Write("site/x/a.htm", test::Page("A"));
    dir.Write("site/x/b.txt", test::Page("B"));
    Cli cli(dir.path(),
        { "--tree", "site", "--filter", "*.txt", "-s", "site/", "-o", "out/lookup.htm", "-w",
            "https://www.example.org" });
    dir.Mkdir("out");
    Cli again(dir.path(),
        { "--tree", "site", "--filter", "*.txt", "-s", "site/", "-o", "out/lookup.htm", "-w",
            "https://www.example.org" });
    EXPECT_EQ(cli.status, 1); // the folder out did not exist yet
    ASSERT_EQ(again.status, 0) << again.err.str();
    EXPECT_EQ(Urls(test::ReadFile(dir.path() + "/out/lookup.htm")),
        std::vector<std::string> { "https://www.example.org/x/b.txt" });
}

TEST(CliTest, UnwritableOutputFailsWithoutSuccessMessage)
{
    test::TempDir dir;
    std::string a = dir.Write("a.htm", test::Page("A"));
    Cli cli(dir.path(), { a, "-o", "fehlt/lookup.htm", "-s", "." });
    EXPECT_EQ(cli.status, 1);
    EXPECT_EQ(cli.out.str(), "");
    EXPECT_EQ(cli.err.str(),
        "tovaro-gen: Die Suchdatei konnte nicht erstellt werden: " + dir.path() + test::kSep
            + "fehlt" + test::kSep
            + "lookup.htm\ntovaro-gen: Der Ordner oder die Datei existiert nicht.\n");
}

TEST(CliTest, StrictReportsIncompleteFilesButStillWrites)
{
    test::TempDir dir;
    std::string a = dir.Write("a.htm", test::Page("A"));
    std::string b = dir.Write("b.htm", "<title>B</title>\r\n");
    Cli normal(dir.path(), { a, b, "weg.htm" });
    EXPECT_EQ(normal.status, 0);
    EXPECT_EQ(normal.out.str(),
        "Fehlend: Keywords, Description " + b + "\nNicht lesbar: " + dir.path() + test::kSep
            + "weg.htm (Der Ordner oder die Datei existiert nicht)\n"
              "Die Suchdatei wurde erfolgreich erstellt!\n");
    std::remove((dir.path() + "/lookup.htm").c_str());
    Cli strict(dir.path(), { "--strict", a, b });
    EXPECT_EQ(strict.status, 3);
    EXPECT_TRUE(test::FileExists(dir.path() + "/lookup.htm"));
    Cli strictOk(dir.path(), { "--strict", a });
    EXPECT_EQ(strictOk.status, 0);
}

TEST(CliTest, ProgressGoesToAterminalOnly)
{
    test::TempDir dir;
    std::string a = dir.Write("a.htm", test::Page("A"));
    std::string b = dir.Write("b.htm", test::Page("B"));
    std::ostringstream out, err;
    cli::CliContext terminal { test::NativeDisk(), tovaro::ReadStandardInput, out, err, dir.path(),
        true };
    ASSERT_EQ(cli::RunCli({ a, b }, terminal), 0);
    EXPECT_NE(err.str().find("[2/2] " + b), std::string::npos);
    EXPECT_EQ(out.str(), "Die Suchdatei wurde erfolgreich erstellt!\n");

    Cli piped(dir.path(), { a, b });
    EXPECT_EQ(piped.err.str(), "");
}

TEST(CliTest, TreeAndFilterMistakesFailLoudlyAndKeepTheOldPage)
{
    test::TempDir dir;
    const std::string old = dir.Write("lookup.htm", "alte Seite");
    const std::string file = dir.Write("a.htm", test::Page("A"));
    for (const std::string& tree : { std::string("fehlt"), std::string("a.htm") }) {
        Cli cli(dir.path(), { "--tree", tree });
        EXPECT_EQ(cli.status, 1) << tree;
        EXPECT_EQ(cli.err.str().rfind("tovaro-gen: Der Ordner " + tree + " kann nicht", 0), 0u)
            << cli.err.str();
    }
    for (const char* filter : { "*[abc", "*[z-a]*" }) {
        Cli cli(dir.path(), { "--tree", ".", "--filter", filter });
        EXPECT_EQ(cli.status, 2) << filter;
    }
    EXPECT_EQ(test::ReadFile(old), "alte Seite");

    // The search page itself is no page of the site: a second run finds the same files.
    Cli first(dir.path(), { "--tree", ".", "--strict" });
    ASSERT_EQ(first.status, 0) << first.out.str();
    Cli second(dir.path(), { "--tree", ".", "--strict" });
    EXPECT_EQ(second.status, 0) << second.out.str();
    EXPECT_EQ(Urls(test::ReadFile(old)), std::vector<std::string> { "a.htm" });
}

TEST(CliTest, ListLinesAndStandardInputThatNameNoFile)
{
    test::TempDir dir;
    const std::string old = dir.Write("lookup.htm", "alte Seite");
    const std::string a = dir.Write("a.htm", test::Page("A"));
    // Standard input that cannot be read to its end (closed, a folder, a failing disk): no
    // list, no new page, and the reason said.
    Cli failing(test::NativeDisk(), dir.path(), { "--files-from", "-", "--strict" },
        [&a](std::string& content) {
            content = a + "\n"; // what came before the failure
            return Failure { FailureKind::InputOutput, 5 };
        });
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(failing.err.str(),
        "tovaro-gen: Die Dateiliste - konnte nicht gelesen werden.\n"
        "tovaro-gen: Ein-/Ausgabefehler beim Zugriff auf den Datenträger.\n");
    EXPECT_EQ(failing.out.str(), "");
    EXPECT_EQ(test::ReadFile(old), "alte Seite");

    // A NUL byte: the line names no file; a control character is shown escaped.
    Cli cli(dir.path(), { "--files-from", "-" },
        std::string("a.htm\0x.htm\n", 12) + "a\x1B[2J.htm\n" + a + "\n");
    EXPECT_EQ(cli.status, 0);
    EXPECT_EQ(cli.out.str(),
        "Nicht lesbar: a.htm\\x00x.htm (Ungültiger Name)\nNicht lesbar: " + dir.path() + test::kSep
            + "a\\x1B[2J.htm (" + kNoSuchName
            + ")\n"
              "Die Suchdatei wurde erfolgreich erstellt!\n");
    EXPECT_EQ(Urls(test::ReadFile(old)), std::vector<std::string> { "a.htm" });
}

TEST(CliTest, VersionAndAFailedStandardOutput)
{
    Cli version("/", { "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.str(), "tovaro-gen (Tovaro Wizard) 1.0.0\n");

    test::TempDir dir;
    const std::string a = dir.Write("a.htm", test::Page("A"));
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    cli::CliContext broken { test::NativeDisk(), tovaro::ReadStandardInput, out, err, dir.path(),
        false };
    EXPECT_EQ(cli::RunCli({ a, "weg.htm" }, broken), 4);
    EXPECT_NE(err.str().find("Standardausgabe"), std::string::npos);
    EXPECT_EQ(
        Urls(test::ReadFile(dir.path() + "/lookup.htm")), std::vector<std::string> { "a.htm" });
}

TEST(CliTest, NoInputOrNoFileSelectedKeepsThePage)
{
    test::TempDir dir;
    const std::string old = dir.Write("site/lookup.htm", test::Page("Alt"));
    dir.Write("site/a.html", test::Page("A"));
    dir.Write("leer.txt", "\n\n");
    // Run in the site folder without arguments.
    Cli none(dir.path() + "/site", { "--strict" });
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err.str().rfind("tovaro-gen: Keine Eingabe", 0), 0u) << none.err.str();
    // Patterns that match nothing (a missing star, the wrong case, an unset variable), an
    // empty list, and a tree that holds only the search page itself.
    const std::vector<std::vector<std::string>> nothing
        = { { "--tree", "site", "--filter", ".html" }, { "--tree", "site", "--filter", "*.HTML" },
              { "--tree", "site", "--filter", "" }, { "--files-from", "leer.txt" },
              { "--tree", "site", "--filter", "*lookup*" } };
    for (std::vector<std::string> args : nothing) {
        args.insert(args.end(), { "-o", "site/lookup.htm", "--strict" });
        Cli cli(dir.path(), args);
        EXPECT_EQ(cli.status, 1) << args[3];
        EXPECT_EQ(cli.err.str().rfind("tovaro-gen: Keine Datei ausgewählt", 0), 0u)
            << cli.err.str();
        EXPECT_EQ(cli.out.str(), "");
    }
    EXPECT_EQ(test::ReadFile(old), test::Page("Alt"));

    Cli allowed(dir.path(),
        { "--tree", "site", "--filter", ".html", "-o", "site/lookup.htm", "--allow-empty",
            "--strict" });
    EXPECT_EQ(allowed.status, 0) << allowed.err.str();
    EXPECT_NE(test::ReadFile(old).find("for (var i = 0;i<0;i++){"), std::string::npos);
}

TEST(CliTest, ListsFromWindowsEditorsAndNamesThatCannotForgeLines)
{
    test::TempDir dir;
    const std::string a = dir.Write("a.htm", test::Page("A"));
    dir.Write("b.htm", test::Page("B"));
    // A byte-order mark, then lines ended by a lone CR (old Mac editors) and CR LF.
    dir.Write("liste.txt",
        "\xEF\xBB\xBF"
        "a.htm\rb.htm\r\n\ra.htm");
    Cli cli(dir.path(), { "--files-from", "liste.txt" });
    EXPECT_EQ(cli.status, 0) << cli.out.str();
    EXPECT_EQ(Urls(test::ReadFile(dir.path() + "/lookup.htm")),
        (std::vector<std::string> { "a.htm", "b.htm", "a.htm" }));

    // A newline or a C1 control (U+0085, U+009B) in a name is shown escaped, never obeyed.
    const std::string forged = "x.htm\nDie Suchdatei wurde erfolgreich erstellt!\xC2\x85\xC2\x9B"
                               "2J\x9B.htm";
    Cli names(dir.path(), { forged, a });
    EXPECT_EQ(names.out.str(),
        "Nicht lesbar: " + dir.path() + test::kSep
            + "x.htm\\x0ADie Suchdatei wurde erfolgreich erstellt!\\x85\\x9B2J\\x9B.htm ("
            + kNoSuchName
            + ")\n"
              "Die Suchdatei wurde erfolgreich erstellt!\n");
}
