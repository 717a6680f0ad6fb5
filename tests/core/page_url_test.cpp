// The addresses of the indexed pages.
#include "core/page_url.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

std::string PosixUrl(std::string_view path, std::string_view site, std::string_view webRoot)
{
    return MakePageUrl(path, site, webRoot, PathStyle::Posix);
}

} // namespace

TEST(UrlTest, RelativeToTheSiteDirectory)
{
    EXPECT_EQ(PosixUrl("/site/docs/a.htm", "/site", ""), "docs/a.htm");
    EXPECT_EQ(PosixUrl("/site/docs/a.htm", "/", ""), "site/docs/a.htm");
    EXPECT_EQ(PosixUrl("/site/docs/a.htm", "/site/", ""), "docs/a.htm");
    EXPECT_EQ(PosixUrl("/site/docs/a.htm", "/site", "/"), "/docs/a.htm");
    EXPECT_EQ(PosixUrl("/site/a.htm", "/site", "http://www.example.org/suche/"),
        "http://www.example.org/suche/a.htm");
    EXPECT_EQ(
        PosixUrl("/site/a.htm", "/site", "http://www.example.org"), "http://www.example.org/a.htm");
}

TEST(UrlTest, OutsideTheSiteKeepsTheWholePath)
{
    EXPECT_EQ(PosixUrl("/other/b.htm", "/site", ""), "/other/b.htm");
    EXPECT_EQ(PosixUrl("/site2/a.htm", "/site", ""), "/site2/a.htm");
    EXPECT_EQ(
        PosixUrl("/site2/a.htm", "/site", "http://x.example"), "http://x.example//site2/a.htm");
    // Only a leading prefix counts, not an occurrence further in.
    EXPECT_EQ(PosixUrl("/backup/site/a.htm", "/site", ""), "/backup/site/a.htm");
}

TEST(UrlTest, BytesThatWouldBreakThePageAreEncoded)
{
    EXPECT_EQ(PosixUrl("/s/peter's.htm", "/s", ""), "peter%27s.htm");
    EXPECT_EQ(PosixUrl("/s/a b#c%d?e.htm", "/s", ""), "a%20b%23c%25d%3Fe.htm");
    EXPECT_EQ(
        PosixUrl("/s/\"<>\\^`{|}\x7f\x01.htm", "/s", ""), "%22%3C%3E%5C%5E%60%7B%7C%7D%7F%01.htm");
    EXPECT_EQ(PosixUrl("/s/grüße/ä.htm", "/s", ""), "grüße/ä.htm");
    // A browser follows a link as UTF-8: other bytes are encoded, valid UTF-8 stays.
    EXPECT_EQ(PosixUrl("/s/\xE4rger.htm", "/s", ""), "%E4rger.htm");
    EXPECT_EQ(PosixUrl("/s/\xC0\xAF\xED\xA0\x80\xC3.htm", "/s", "http://x.example/\xFC/"),
        "http://x.example/%FC/%C0%AF%ED%A0%80%C3.htm");
    // No file name can make the link's first part a scheme.
    EXPECT_EQ(PosixUrl("/s/Kapitel:1.htm", "/s", ""), "Kapitel%3A1.htm");
    // "&copy" in a link would be the character reference for "©".
    EXPECT_EQ(PosixUrl("/s/a&copy.htm", "/s", "http://x.example/?a=1&b=2/"),
        "http://x.example/?a=1&b=2/a%26copy.htm");
    EXPECT_EQ(PosixUrl("/s/javascript:alert(1)", "/s", ""), "javascript%3Aalert(1)");
    EXPECT_EQ(
        PosixUrl("/s/a.htm", "/s", "https://x.example:8080/"), "https://x.example:8080/a.htm");
    EXPECT_EQ(PosixUrl("/s/a.htm", "/s", "http://x.example/it's a <b>\\\"/"),
        "http://x.example/it%27s a %3Cb%3E%5C%22/a.htm");
    EXPECT_EQ(
        PosixUrl("/s/a.htm", "/s", "http://x.example/?q=1#f/"), "http://x.example/?q=1#f/a.htm");
}
