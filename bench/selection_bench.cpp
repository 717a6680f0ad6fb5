// The file box listing a directory of 20,000 files, and "+++" collecting a tree of 100,000
// files, each against find(1) on the same tree in the same run (best of five).
// Run: QT_QPA_PLATFORM=offscreen build/bench/selection_bench [--tree FOLDER]
#include "../tests/gui/fakes.h"
#include "app/wizard.h"
#include "core/pattern.h"
#include "core/walk.h"
#include "gui_bench_util.h"
#include "selection_page/dir_box.h"
#include "selection_page/file_box.h"
#include "selection_page/file_list_box.h"
#include "selection_page/file_selection_page.h"
#include "wizard_shell/document_opener.h"

#include <QApplication>
#include <QListWidget>
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
using tovaro::bench::NullMessages;
using tovaro::bench::NullOpener;

namespace {

void Touch(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << "<title>x</title>\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NullOpener opener;
    NullMessages messages;
    const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    tovaro::test::MemoryChoices choices;
    tovaro::gui::DesktopServices desktop { "/", disk.get(), &opener, &messages, &choices, [] {} };

    // "+++" once on a given folder (the latency benchmark's mounted site).
    if (argc > 2 && std::string(argv[1]) == "--tree") {
        tovaro::gui::FileSelectionPage page(desktop, QString::fromUtf8(argv[2]));
        tovaro::test::Control<tovaro::gui::DirBox>(&page, "Dir1")
            ->SetPath(QString::fromUtf8(argv[2]));
        const double ms
            = BestMs([&] { tovaro::test::Control<QPushButton>(&page, "Command5")->click(); }, 1);
        std::printf("+++: %.0f ms (%d added)\n", ms,
            tovaro::test::Control<tovaro::gui::FileListBox>(&page, "List1")->Count());
        return 0;
    }

    const std::string root
        = (fs::temp_directory_path() / ("tovaro-selbench-" + std::to_string(::getpid()))).string();
    const std::string flat = root + "/flach";
    const std::string tree = root + "/baum";
    fs::create_directories(flat);
    for (int i = 0; i < 20000; ++i)
        Touch(flat + "/seite" + std::to_string(i) + (i % 2 ? ".htm" : ".html"));
    for (int d = 0; d < 100; ++d) {
        for (int e = 0; e < 10; ++e) {
            std::string dir = tree + "/d" + std::to_string(d) + "/e" + std::to_string(e);
            fs::create_directories(dir);
            for (int i = 0; i < 100; ++i)
                Touch(dir + "/seite" + std::to_string(i) + ".htm");
        }
    }

    tovaro::gui::FileSelectionPage page(desktop, QString::fromStdString(root));

    const double findFlat = BestMs(
        [&] { std::system(("find '" + flat + "' -maxdepth 1 -type f >/dev/null").c_str()); });
    const double listFlat = BestMs([&] {
        tovaro::test::Control<tovaro::gui::FileBox>(&page, "File1")
            ->SetDirectory(QString::fromStdString(flat));
        tovaro::test::Control<tovaro::gui::FileBox>(&page, "File1")
            ->SetDirectory(QString::fromStdString(root));
    });
    tovaro::test::Control<tovaro::gui::FileBox>(&page, "File1")
        ->SetDirectory(QString::fromStdString(flat));
    const int listed = tovaro::test::Control<tovaro::gui::FileBox>(&page, "File1")->count();

    const double findTree
        = BestMs([&] { std::system(("find '" + tree + "' -type f >/dev/null").c_str()); });
    tovaro::test::Control<tovaro::gui::DirBox>(&page, "Dir1")
        ->SetPath(QString::fromStdString(tree));
    const double addTree = BestMs([&] {
        tovaro::test::Control<tovaro::gui::FileListBox>(&page, "List1")->Clear();
        tovaro::test::Control<QPushButton>(&page, "Command5")->click();
    });
    const int added = tovaro::test::Control<tovaro::gui::FileListBox>(&page, "List1")->Count();
    size_t collected = 0;
    const double collectOnly
        = BestMs([&] { collected = tovaro::CollectFiles(*disk, tree, "*.*").size(); });
    tovaro::PathPattern pattern("*.ht*");
    std::vector<std::string> paths = tovaro::CollectFiles(*disk, tree, "*.*");
    size_t matched = 0;
    const double matchOnly = BestMs([&] {
        matched = 0;
        for (auto& p : paths)
            matched += pattern.Matches(p);
    });
    std::printf("(of which the core's search %.1f ms for %zu files, the pattern %.1f ms for %zu)\n",
        collectOnly, collected, matchOnly, matched);

    std::printf("file box, 20000 files: %.1f ms (%d listed); find -maxdepth 1 -type f: %.1f ms; "
                "ratio %.2f\n",
        listFlat, listed, findFlat, listFlat / findFlat);
    std::printf("+++, 100000 files: %.1f ms (%d added); find -type f: %.1f ms; ratio %.2f\n",
        addTree, added, findTree, addTree / findTree);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
