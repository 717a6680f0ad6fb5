#include "core/page_url.h"
#include "core/paths.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {
constexpr PathStyle kPosix = PathStyle::Posix;
constexpr PathStyle kWindows = PathStyle::Windows;
} // namespace

TEST(PathsTest, AbsoluteAndLexicallyNormalised)
{
    EXPECT_EQ(AbsolutePath("a.htm", "/site", kPosix), "/site/a.htm");
    EXPECT_EQ(AbsolutePath("docs/../b/./c.htm", "/site", kPosix), "/site/b/c.htm");
    EXPECT_EQ(AbsolutePath("//x//y/", "/site", kPosix), "/x/y");
    EXPECT_EQ(AbsolutePath("../../..", "/site", kPosix), "/");
    EXPECT_EQ(AbsolutePath(".", "/", kPosix), "/");
    // Absolute paths: normal ones stay as they are, others are normalised all the same.
    EXPECT_EQ(AbsolutePath("/s/.hidden/..x/a.htm", "/c", kPosix), "/s/.hidden/..x/a.htm");
    EXPECT_EQ(AbsolutePath("/s/./a/../b.htm", "/c", kPosix), "/s/b.htm");
    EXPECT_EQ(AbsolutePath("/s/a/..", "/c", kPosix), "/s");
    EXPECT_EQ(AbsolutePath("/s/a/.", "/c", kPosix), "/s/a");
    EXPECT_EQ(AbsolutePath("/s/", "/c", kPosix), "/s");
    EXPECT_EQ(AbsolutePath("/", "/c", kPosix), "/");
    // On Linux a backslash is part of a name.
    EXPECT_EQ(AbsolutePath("a\\b.htm", "/s", kPosix), "/s/a\\b.htm");
}

TEST(PathsTest, WindowsPathsAsWindowsUsersWriteThem)
{
    // Drive letters with either separator; a path on another drive is absolute, not relative
    // to the current folder.
    EXPECT_EQ(AbsolutePath("C:\\site\\index.htm", "D:\\work", kWindows), "C:\\site\\index.htm");
    EXPECT_EQ(AbsolutePath("Z:\\site", "C:\\", kWindows), "Z:\\site");
    EXPECT_EQ(AbsolutePath("c:/site/docs/../a.htm", "D:\\", kWindows), "C:\\site\\a.htm");
    EXPECT_EQ(AbsolutePath("C:\\site\\", "D:\\", kWindows), "C:\\site");
    EXPECT_EQ(
        AbsolutePath("C:\\site\\\\docs\\.\\a.htm", "D:\\", kWindows), "C:\\site\\docs\\a.htm");
    // A drive root keeps its backslash, and ".." ends there.
    EXPECT_EQ(AbsolutePath("C:\\", "D:\\", kWindows), "C:\\");
    EXPECT_EQ(AbsolutePath("C:/", "D:\\", kWindows), "C:\\");
    EXPECT_EQ(AbsolutePath("..\\..\\..", "C:\\site", kWindows), "C:\\");
    // Relative to the current folder, to the current drive's root, and to a drive's own folder.
    EXPECT_EQ(AbsolutePath("docs\\a.htm", "C:\\site", kWindows), "C:\\site\\docs\\a.htm");
    EXPECT_EQ(AbsolutePath("\\other\\b.htm", "C:\\site", kWindows), "C:\\other\\b.htm");
    EXPECT_EQ(AbsolutePath("C:docs", "C:\\site", kWindows), "C:\\site\\docs");
    EXPECT_EQ(AbsolutePath("E:docs", "C:\\site", kWindows), "E:\\docs");
    // UNC paths: the share is the root.
    EXPECT_EQ(AbsolutePath("\\\\server\\share\\site\\a.htm", "C:\\", kWindows),
        "\\\\server\\share\\site\\a.htm");
    EXPECT_EQ(AbsolutePath("//server/share/site/", "C:\\", kWindows), "\\\\server\\share\\site");
    EXPECT_EQ(AbsolutePath("\\\\server\\share\\..\\x", "C:\\", kWindows), "\\\\server\\share\\x");
    EXPECT_EQ(AbsolutePath("\\\\server\\share", "C:\\", kWindows), "\\\\server\\share\\");
    EXPECT_EQ(AbsolutePath("a.htm", "\\\\server\\share\\site", kWindows),
        "\\\\server\\share\\site\\a.htm");
    EXPECT_EQ(
        AbsolutePath("\\x.htm", "\\\\server\\share\\site", kWindows), "\\\\server\\share\\x.htm");
    // Long-path prefixes are dropped inside the program.
    EXPECT_EQ(AbsolutePath("\\\\?\\C:\\site\\a.htm", "D:\\", kWindows), "C:\\site\\a.htm");
    EXPECT_EQ(AbsolutePath("\\\\?\\UNC\\server\\share\\a.htm", "D:\\", kWindows),
        "\\\\server\\share\\a.htm");
}

TEST(PathsTest, ParentAndJoinKeepOneSeparatorAndTheRoot)
{
    EXPECT_EQ(ParentDirectory("/lookup.htm", kPosix), "/");
    EXPECT_EQ(ParentDirectory("/site/lookup.htm", kPosix), "/site");
    EXPECT_EQ(JoinPath("/", "a.htm", kPosix), "/a.htm");
    EXPECT_EQ(JoinPath("/site", "a.htm", kPosix), "/site/a.htm");
    EXPECT_EQ(JoinPath("/site/", "a.htm", kPosix), "/site/a.htm");

    EXPECT_EQ(ParentDirectory("C:\\lookup.htm", kWindows), "C:\\");
    EXPECT_EQ(ParentDirectory("C:\\site\\lookup.htm", kWindows), "C:\\site");
    EXPECT_EQ(ParentDirectory("\\\\srv\\share\\lookup.htm", kWindows), "\\\\srv\\share\\");
    EXPECT_EQ(JoinPath("C:\\", "a.htm", kWindows), "C:\\a.htm");
    EXPECT_EQ(JoinPath("C:\\site", "a.htm", kWindows), "C:\\site\\a.htm");
    EXPECT_EQ(JoinPath("C:\\site\\", "a.htm", kWindows), "C:\\site\\a.htm");
}

TEST(PathsTest, BelowFolderOnlyAsAWholePart)
{
    EXPECT_EQ(BelowFolder("/site/a.htm", "/site", kPosix).value_or("-"), "a.htm");
    EXPECT_EQ(BelowFolder("/site2/a.htm", "/site", kPosix).value_or("-"), "-");
    EXPECT_EQ(BelowFolder("/Site/a.htm", "/site", kPosix).value_or("-"), "-");
    EXPECT_EQ(BelowFolder("/a.htm", "/", kPosix).value_or("-"), "a.htm");
    // Windows compares names without regard to case, as its file systems do.
    EXPECT_EQ(BelowFolder("C:\\Site\\a.htm", "c:\\site", kWindows).value_or("-"), "a.htm");
    EXPECT_EQ(BelowFolder("C:\\site2\\a.htm", "C:\\site", kWindows).value_or("-"), "-");
    EXPECT_EQ(BelowFolder("C:\\a.htm", "C:\\", kWindows).value_or("-"), "a.htm");
    EXPECT_EQ(BelowFolder("D:\\site\\a.htm", "C:\\site", kWindows).value_or("-"), "-");
}

TEST(PathsTest, WindowsUrlsUseSlashes)
{
    // The examples of the site-directory rule, with drive letters and backslashes.
    EXPECT_EQ(MakePageUrl("C:\\site\\docs\\a.htm", "C:\\site", "", kWindows), "docs/a.htm");
    EXPECT_EQ(MakePageUrl("C:\\site\\docs\\a.htm", "C:\\", "", kWindows), "site/docs/a.htm");
    EXPECT_EQ(MakePageUrl("C:\\site\\docs\\a.htm", "C:\\site", "/", kWindows), "/docs/a.htm");
    EXPECT_EQ(MakePageUrl(
                  "\\\\srv\\www\\site\\a.htm", "\\\\srv\\www\\site", "http://x.example", kWindows),
        "http://x.example/a.htm");
    // Outside the site the whole path stays, with "/" and the drive's colon encoded, so that
    // "D:" is never read as a URL scheme.
    EXPECT_EQ(MakePageUrl("D:\\other\\b.htm", "C:\\site", "", kWindows), "D%3A/other/b.htm");
    // Names are UTF-8 inside the program, as on Linux.
    EXPECT_EQ(MakePageUrl("C:\\site\\\xC3\x9C"
                          "ber uns.htm",
                  "C:\\site", "", kWindows),
        "\xC3\x9C"
        "ber%20uns.htm");
}
