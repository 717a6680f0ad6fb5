// tovaro-gen where only Linux can set the scene: links, permissions, resource limits, pipes.
#include "../core/test_util.h"
#include "cli/options.h"
#include "cli_harness.h"
#include "platform/standard_input.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;
using test::Cli;
using test::Urls;

TEST(CliBinaryTest, ExampleSite)
{
    test::TempDir dir;
    std::string cmd = std::string("cd '") + dir.path() + "' && cp -r '" + TOVARO_EXAMPLE
        + "' site && '" + TOVARO_GEN + "' --tree site -o site/lookup.htm 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int status = ::pclose(p);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
    EXPECT_EQ(out,
        "Fehlend: Description " + dir.path() + "/site/kontakt.htm\n"
            + "Die Suchdatei wurde erfolgreich erstellt!\n");
    std::vector<std::string> urls = Urls(test::ReadFile(dir.path() + "/site/lookup.htm"));
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(urls,
        (std::vector<std::string> { "angebote.htm", "archiv.htm", "index.htm", "kraeuter/index.htm",
            "pflege.htm", "stauden.htm" }));
}

TEST(CliTest, UnlistableFolderBelowTheTreeIsReported)
{
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    dir.Write("site/a.htm", test::Page("A"));
    const std::string closed = dir.Mkdir("site/zu");
    dir.Write("site/zu/b.htm", test::Page("B"));
    ::chmod((dir.path() + "/site").c_str(), 0755);
    ::chmod(closed.c_str(), 0);
    // As an ordinary user: root lists every folder.
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        Cli cli(dir.path(), { "--tree", "site", "--strict", "-o", "lookup.htm" });
        const bool reported
            = cli.out.str().rfind("Ordner nicht lesbar: " + closed + " (Keine Berechtigung)\n", 0)
            == 0;
        ::_exit(cli.status == 3 && reported ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::chmod(closed.c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CliTest, OutOfMemoryKeepsTheOldPageAndSaysSoInGerman)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "The sanitizer reserves more address space than the limit allows";
#else
    test::TempDir dir;
    const std::string old = dir.Write("lookup.htm", "alte Seite");
    {
        std::ofstream list(dir.path() + "/liste.txt");
        for (int i = 0; i < 400000; ++i)
            list << "/ein/langer/pfad/zu/einer/datei/die/es/nicht/gibt/nummer-" << i << ".htm\n";
    }
    // In a child whose address space is too small for the list.
    pid_t pid = ::fork();
    if (pid == 0) {
        struct rlimit limit {
            48L << 20, 48L << 20
        };
        ::setrlimit(RLIMIT_AS, &limit);
        std::ostringstream out, err;
        cli::CliContext c { test::NativeDisk(), ReadStandardInput, out, err, dir.path(), false };
        const int status = cli::RunCli({ "--files-from", "liste.txt" }, c);
        const bool german = err.str().find("Nicht genügend Arbeitsspeicher") != std::string::npos;
        ::_exit(status == 1 && german ? 0 : 10 + status);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test::ReadFile(old), "alte Seite");
#endif
}

TEST(CliTest, SiteFolderMustExistAndIsComparedByItsRealLocation)
{
    test::TempDir dir;
    const std::string old = dir.Write("srv/www/lookup.htm", "alte Seite");
    const std::string a = dir.Write("srv/www/docs/a.htm", test::Page("A"));
    const std::string outside = dir.Write("anderswo/b.htm", test::Page("B"));
    ASSERT_EQ(::symlink("srv/www", (dir.path() + "/www").c_str()), 0);

    for (const std::string& site : { std::string("srv/wwww"), std::string("srv/www/docs/a.htm") }) {
        Cli typo(dir.path(), { a, "-s", site, "-o", "srv/www/lookup.htm" });
        EXPECT_EQ(typo.status, 1) << site;
        EXPECT_EQ(
            typo.err.str().rfind(
                "tovaro-gen: Das Stammverzeichnis " + site + " kann nicht verwendet werden: ", 0),
            0u)
            << typo.err.str();
    }
    EXPECT_EQ(test::ReadFile(old), "alte Seite");

    // The site folder through a link, the files through the real path, and the other way round.
    const std::vector<std::pair<std::string, std::string>> spellings
        = { { "www", a }, { "srv/www", dir.path() + "/www/docs/a.htm" } };
    for (const auto& [site, file] : spellings) {
        Cli cli(
            dir.path(), { file, "-s", site, "-o", "www/lookup.htm", "-w", "https://x.example/" });
        EXPECT_EQ(cli.status, 0) << cli.err.str();
        EXPECT_EQ(
            Urls(test::ReadFile(old)), std::vector<std::string> { "https://x.example/docs/a.htm" })
            << site;
        EXPECT_EQ(cli.err.str(), "");
    }

    // A file outside the site is reported on standard error and fails a strict build.
    Cli loose(dir.path(), { a, outside, "-s", "www", "-o", "www/lookup.htm" });
    EXPECT_EQ(loose.status, 0);
    EXPECT_EQ(loose.err.str(), "Außerhalb des Stammverzeichnisses: " + outside + "\n");
    Cli strict(dir.path(), { a, outside, "-s", "www", "-o", "www/lookup.htm", "--strict" });
    EXPECT_EQ(strict.status, 3);
    EXPECT_EQ(Urls(test::ReadFile(old)), (std::vector<std::string> { "docs/a.htm", outside }));
}

TEST(CliTest, ThePageNeverIndexesItselfByAnyPath)
{
    test::TempDir dir;
    dir.Write("www/public/a.htm", test::Page("A"));
    ASSERT_EQ(::symlink("www", (dir.path() + "/srv").c_str()), 0);
    const std::string page = dir.path() + "/srv/public/suche.htm";
    for (int run = 0; run < 2; ++run) {
        Cli cli(dir.path(), { "--tree", "www/public", "-o", "srv/public/suche.htm", "--strict" });
        EXPECT_EQ(cli.status, 0) << run << cli.out.str();
        EXPECT_EQ(Urls(test::ReadFile(page)), std::vector<std::string> { "a.htm" });
    }
    // Listed by another name: a hard link, or through the list file.
    ASSERT_EQ(::link(page.c_str(), (dir.path() + "/www/public/kopie.htm").c_str()), 0);
    dir.Write("liste.txt", "www/public/suche.htm\n");
    Cli listed(dir.path(),
        { "www/public/kopie.htm", "--files-from", "liste.txt", "www/public/a.htm", "-o",
            "srv/public/suche.htm", "--strict" });
    EXPECT_EQ(listed.status, 0) << listed.out.str();
    EXPECT_EQ(listed.out.str(), "Die Suchdatei wurde erfolgreich erstellt!\n");
}

TEST(CliBinaryTest, FileSizeLimitOnStandardOutputIsAFailedOutput)
{
    test::TempDir dir;
    dir.Write("a.htm", test::Page("A"));
    std::string list;
    for (int i = 0; i < 500; ++i)
        list += "fehlt-" + std::to_string(i) + ".htm\n";
    dir.Write("liste.txt", list + "a.htm\n");
    // 8 KiB: the page fits, the 500 status lines do not.
    const std::string cmd = "cd '" + dir.path() + "' && bash -c \"ulimit -f 8; exec '" + TOVARO_GEN
        + "' --files-from liste.txt -o neu.htm >aus.txt 2>fehler.txt\"";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << status;
    EXPECT_EQ(Urls(test::ReadFile(dir.path() + "/neu.htm")), std::vector<std::string> { "a.htm" });
}

TEST(CliBinaryTest, AReaderThatGoesAwayIsAFailedOutput)
{
    test::TempDir dir;
    dir.Write("a.htm", test::Page("A"));
    // The real program behind "| head -1": more lines than a pipe holds, then the reader goes.
    std::string list;
    for (int i = 0; i < 3000; ++i)
        list += "weg-" + std::to_string(i) + ".htm\n";
    dir.Write("liste.txt", list + "a.htm\n");
    std::string cmd = "cd '" + dir.path() + "' && bash -c \"'" + TOVARO_GEN
        + "' --files-from liste.txt -o neu.htm | head -1 >/dev/null; exit \\${PIPESTATUS[0]}\"";
    int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << status;
    EXPECT_EQ(Urls(test::ReadFile(dir.path() + "/neu.htm")), std::vector<std::string> { "a.htm" });
}

TEST(CliBinaryTest, AListFromAPipeIsReadToItsEnd)
{
    test::TempDir dir;
    dir.Write("a.htm", test::Page("A"));
    // "--files-from <(...)": a pipe has no size, and its 3,000 lines (150 kB) come in pieces.
    const std::string cmd = "cd '" + dir.path() + "' && bash -c \"'" + TOVARO_GEN
        + "' --files-from <(for i in \\$(seq 3000); do echo ./././././././././././a.htm; done)"
          " -o neu.htm --strict\" >/dev/null";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(
        Urls(test::ReadFile(dir.path() + "/neu.htm")), std::vector<std::string>(3000, "a.htm"));
}
