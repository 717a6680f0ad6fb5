// The wizard's "Datei erzeugen" against tovaro-gen on the same list: 20,000 pages of 6.5 kB,
// every second one with LF line ends, best of five each, in the same run.
// Run: QT_QPA_PLATFORM=offscreen build/bench/wizard_run_bench [TOVARO-GEN [SITE-FOLDER]]
// With a site folder (the latency benchmark's mounted site), its pages are used instead.
#include "../tests/gui/fakes.h"
#include "app/wizard.h"
#include "core/walk.h"
#include "generation_page/generation_page.h"
#include "gui_bench_util.h"
#include "selection_page/dir_box.h"
#include "selection_page/file_box.h"
#include "selection_page/file_list_box.h"
#include "selection_page/file_selection_page.h"
#include "wizard_shell/document_opener.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;
using tovaro::bench::BestMs;
using tovaro::bench::NoDialog;
using tovaro::bench::NullMessages;
using tovaro::bench::NullOpener;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string gen = argc > 1 ? argv[1] : "build/tovaro-gen";
    const std::string root
        = (fs::temp_directory_path() / ("tovaro-runbench-" + std::to_string(::getpid()))).string();
    const bool given = argc > 2;
    const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    const std::string site = given ? std::string(argv[2]) : root + "/site";
    fs::create_directories(given ? root : site);
    std::string body = "<p>";
    for (int i = 0; i < 150; ++i)
        body += "Lorem ipsum dolor sit amet. ";
    body += "</p>";
    std::ofstream list(root + "/liste.txt");
    for (const std::string& path :
        given ? tovaro::CollectFiles(*disk, site, "*.*") : std::vector<std::string>())
        list << path << "\n";
    for (int i = 0; i < (given ? 0 : 20000); ++i) {
        const char* end = i % 2 ? "\n" : "\r\n";
        const std::string path = site + "/seite" + std::to_string(100000 + i) + ".htm";
        std::ofstream(path, std::ios::binary)
            << "<!DOCTYPE html>" << end << "<html lang=\"de\">" << end << "<head>" << end
            << "<title>Seite " << i << " über Gärten</title>" << end
            << "<meta name=\"keywords\" content=\"garten, pflanzen, nummer" << i << "\">" << end
            << "<meta name=\"description\" content=\"Beschreibung der Seite " << i << ".\">" << end
            << "</head>" << end << "<body>" << body << "</body>" << end << "</html>" << end;
        list << path << "\n";
    }
    list.close();

    NullOpener opener;
    NullMessages messages;
    NoDialog dialog;
    tovaro::test::MemoryChoices choices;
    tovaro::gui::DesktopServices desktop { QString::fromStdString(root), disk.get(), &opener,
        &messages, &choices, [] {} };
    tovaro::gui::Wizard wizard(desktop, dialog, {}, QString::fromStdString(site));
    tovaro::gui::FileSelectionPage* page1 = wizard.Page1();
    tovaro::test::Control<tovaro::gui::DirBox>(page1, "Dir1")
        ->SetPath(QString::fromStdString(site));
    // "++": every listed file, in the file box's order; in a given site of nested folders "+++".
    tovaro::test::Control<QPushButton>(page1, given ? "Command5" : "Command2")->click();
    tovaro::gui::GenerationPage* page3 = wizard.Page3();
    tovaro::test::Control<QLineEdit>(page3, "Text1")
        ->setText(QString::fromStdString(root + "/lookup.htm"));

    const double wizardMs
        = BestMs([&] { tovaro::test::Control<QPushButton>(page3, "Command1")->click(); });
    const double genMs = BestMs([&] {
        std::system(("'" + gen + "' --files-from '" + root + "/liste.txt' -o '" + root
            + "/lookup-gen.htm' >/dev/null 2>&1")
                        .c_str());
    });
    std::printf(
        "wizard run, %d files: %.1f ms; tovaro-gen on the same files: %.1f ms; ratio %.2f\n",
        tovaro::test::Control<tovaro::gui::FileListBox>(page1, "List1")->Count(), wizardMs, genMs,
        wizardMs / genMs);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
