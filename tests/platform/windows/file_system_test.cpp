// The Windows file system under the core, run under Wine: what only Windows can show (drive
// letters, Unicode names through the wide API, long paths, sharing rules, text mode).
#include "core/head_scan.h"
#include "core/paths.h"
#include "core/run.h"
#include "core/walk.h"
#include "platform/windows/wide.h"
#include "test_util.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

using namespace tovaro;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

// Names in the folder, the page's temporary files included.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    EXPECT_EQ(test::NativeDisk().ListFolder(folder, entries, nullptr).kind, FailureKind::None);
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back(e.name);
    return Sorted(names);
}

class CollectingSink : public RunSink {
public:
    void StatusLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

} // namespace

TEST(WindowsFileSystemTest, FilesAreReadAsBytesAndFoldersAsWindowsNamesThem)
{
    test::TempDir dir;
    EXPECT_EQ(test::NativeDisk().Style(), PathStyle::Windows);
    EXPECT_TRUE(dir.path().size() > 3 && dir.path()[1] == ':') << dir.path();
    // A Ctrl+Z byte ends a file only in text mode; the page's title goes on after it.
    const std::string page = dir.Write("a.htm", "<title>Vor\x1A nach</title>\r\n</head>\r\n");
    ReadResult read = ReadPageFields(test::NativeDisk(), page);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.fields.title, "Vor\x1A nach");
    // Either separator, any letter case: the same file.
    std::string other = page;
    std::replace(other.begin(), other.end(), '\\', '/');
    std::transform(other.begin(), other.end(), other.begin(),
        [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), other).fields.title, "Vor\x1A nach");
    ASSERT_TRUE(test::NativeDisk().Identify(page).Ok());
    EXPECT_TRUE(*test::NativeDisk().Identify(page) == *test::NativeDisk().Identify(other));
    // A folder is never read as a page.
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), dir.path()).status, ReadStatus::Unreadable);
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), dir.path() + "\\fehlt.htm").status,
        ReadStatus::Unreadable);
    EXPECT_EQ(test::NativeDisk().Examine(dir.path()).kind, PathKind::Folder);
    EXPECT_EQ(test::NativeDisk().Examine(page).kind, PathKind::File);
    const PathStatus missing = test::NativeDisk().Examine(dir.path() + "\\fehlt");
    EXPECT_EQ(missing.kind, PathKind::Missing);
    EXPECT_EQ(missing.failure.kind, FailureKind::NotFound);
    EXPECT_EQ(test::NativeDisk().Examine("C:\\").kind, PathKind::Folder);
}

TEST(WindowsFileSystemTest, UnicodeNamesAndLongPaths)
{
    test::TempDir dir;
    const std::string umlauts = dir.Write("\xC3\x9C"
                                          "ber\\Gr\xC3\xB6\xC3\x9F"
                                          "e.htm",
        test::Page("Gr\xC3\xB6\xC3\x9F"
                   "e"));
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), umlauts).fields.title,
        "Gr\xC3\xB6\xC3\x9F"
        "e");
    EXPECT_EQ(Names(dir.path()
                  + "\\\xC3\x9C"
                    "ber"),
        std::vector<std::string> { "Gr\xC3\xB6\xC3\x9F"
                                   "e.htm" });

    // Far beyond the 260 characters of the old API, created, listed, read and replaced.
    std::string deep = dir.path();
    for (int i = 0; i < 12; ++i) {
        deep += "\\ordner-mit-einem-langen-namen-" + std::to_string(i);
        ASSERT_TRUE(::CreateDirectoryW(windows::ApiPath(deep).c_str(), nullptr)) << deep;
    }
    ASSERT_GT(deep.size(), 300u);
    const std::string page = deep + "\\seite.htm";
    EXPECT_EQ(test::NativeDisk().Replace(page, test::Page("Tief")).failure.kind, FailureKind::None);
    EXPECT_EQ(
        test::NativeDisk().Replace(page, test::Page("Tiefer")).failure.kind, FailureKind::None);
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), page).fields.title, "Tiefer");
    EXPECT_EQ(
        CollectFiles(test::NativeDisk(), dir.path() + "\\ordner-mit-einem-langen-namen-0", "*.*"),
        std::vector<std::string> { page });
    EXPECT_EQ(Names(deep), std::vector<std::string> { "seite.htm" });
}

TEST(WindowsFileSystemTest, EveryFolderOfATreeIsListedOnce)
{
    // Every folder has its own identity: none is taken for one already visited.
    test::TempDir dir;
    std::vector<std::string> expected;
    for (const char* name : { "a.htm", "b\\c.htm", "b\\d\\e.htm", "b\\d\\f\\g.htm", "h\\i.htm",
             "h\\j\\k.htm", "l\\m\\n.htm", "l\\o.htm" })
        expected.push_back(dir.Write(name, test::Page(name)));
    EXPECT_EQ(Sorted(CollectFiles(test::NativeDisk(), dir.path(), "*.htm")), Sorted(expected));
    const auto b = test::NativeDisk().Identify(dir.path() + "\\b");
    const auto h = test::NativeDisk().Identify(dir.path() + "\\h");
    ASSERT_TRUE(b && h);
    EXPECT_FALSE(*b == *h);
    EXPECT_TRUE(*b == *test::NativeDisk().Identify(dir.path() + "\\h\\..\\B\\."));
    // The real location is spelled as the file system spells it.
    EXPECT_EQ(*test::NativeDisk().RealPath(dir.path() + "\\B\\D"), dir.path() + "\\b\\d");
}

TEST(WindowsFileSystemTest, HiddenAndSystemItemsAreLeftOut)
{
    test::TempDir dir;
    const std::string shown = dir.Write("sichtbar.htm", "");
    const std::string inside = dir.Write("normal\\y.htm", "");
    struct Item {
        const char* name;
        DWORD attributes;
    };
    for (const Item& item : { Item { "versteckt.htm", FILE_ATTRIBUTE_HIDDEN },
             Item { "System Volume Information\\x.htm", 0 }, Item { "$Recycle.Bin\\z.htm", 0 },
             Item { "system.htm", FILE_ATTRIBUTE_SYSTEM } })
        dir.Write(item.name, "");
    for (const Item& item : { Item { "versteckt.htm", FILE_ATTRIBUTE_HIDDEN },
             Item { "System Volume Information", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM },
             Item { "$Recycle.Bin", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM },
             Item { "system.htm", FILE_ATTRIBUTE_SYSTEM } }) {
        const std::wstring path = windows::Widen(dir.path() + "\\" + item.name);
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(),
            item.attributes | (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)))
            << item.name;
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string> { "normal", "sichtbar.htm" }));
    EXPECT_EQ(
        Sorted(CollectFiles(test::NativeDisk(), dir.path(), "*.htm")), Sorted({ shown, inside }));
}

TEST(WindowsFileSystemTest, ReplacingThePage)
{
    test::TempDir dir;
    const std::string page = dir.path() + "\\lookup.htm";
    EXPECT_EQ(test::NativeDisk().Replace(page, "eins").failure.kind, FailureKind::None);
    EXPECT_EQ(test::NativeDisk().Replace(page, "zwei").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(page), "zwei");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string> { "lookup.htm" });

    // Open in another program that lets nobody remove it: the run fails loudly, the old page
    // stays and no temporary file is left beside it.
    HANDLE held = ::CreateFileW(windows::ApiPath(page).c_str(), GENERIC_READ, FILE_SHARE_READ,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(
        test::NativeDisk().Replace(page, "drei").failure.kind, FailureKind::UsedByOtherProgram);
    ::CloseHandle(held);
    EXPECT_EQ(test::ReadFile(page), "zwei");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string> { "lookup.htm" });
    EXPECT_EQ(test::NativeDisk().Replace(page, "vier").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(page), "vier");

    // A read-only page is not replaced; a folder or a missing folder is no page.
    ::SetFileAttributesW(windows::ApiPath(page).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(test::NativeDisk().Replace(page, "fünf").failure.kind, FailureKind::NoPermission);
    ::SetFileAttributesW(windows::ApiPath(page).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(test::ReadFile(page), "vier");
    EXPECT_EQ(
        test::NativeDisk().Replace(dir.Mkdir("ordner"), "x").failure.kind, FailureKind::IsFolder);
    EXPECT_EQ(test::NativeDisk().Replace(dir.path() + "\\fehlt\\lookup.htm", "x").failure.kind,
        FailureKind::NotFound);
    EXPECT_EQ(test::NativeDisk().Replace(dir.path() + "\\neu\\", "x").failure.kind,
        FailureKind::FolderName);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string> { "lookup.htm", "ordner" }));
}

TEST(WindowsFileSystemTest, TheRunSkipsItsOwnPageByAnySpelling)
{
    test::TempDir dir;
    RunInputs in;
    in.siteDir = dir.path();
    in.outputPath = dir.Write("lookup.htm", test::Page("Alte Suche"));
    in.files = { dir.Write("docs\\a.htm", test::Page("A")), dir.path() + "/LOOKUP.HTM",
        dir.path() + "\\fehlt.htm" };
    in.webRoot = "https://www.example.org/";
    CollectingSink sink;
    RunResult result = RunGeneration(test::NativeDisk(), in, sink);
    EXPECT_TRUE(result.written) << result.failure.code;
    EXPECT_EQ(result.entries, 1u);
    EXPECT_EQ(sink.lines,
        std::vector<std::string> { "Nicht lesbar: " + dir.path()
            + "\\fehlt.htm (Der Ordner oder die Datei existiert nicht)" });
    const std::string page = test::ReadFile(in.outputPath);
    EXPECT_NE(page.find("urls[0]='https://www.example.org/docs/a.htm';\r\n"), std::string::npos);
}
