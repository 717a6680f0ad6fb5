// The head scan: titles, meta tags, where lines and the head end, chunked reading and reading
// files.
#include "core/head_scan.h"
#include "test_util.h"
#include "whole_scan.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

PageFields Scan(const std::string& bytes)
{
    return ExtractFields(bytes);
}

} // namespace

TEST(TitleTest, HelpExampleInAnyCaseAndIndented)
{
    EXPECT_EQ(Scan("<title>Titel Ihrer Seite</title>\r\n").title, "Titel Ihrer Seite");
    EXPECT_EQ(Scan("    \t<title>Titel Ihrer Seite</title>\r\n").title, "Titel Ihrer Seite");
    EXPECT_EQ(Scan("<TITLE>Titel Ihrer Seite</TiTlE>\r\n").title, "Titel Ihrer Seite");
}

TEST(TitleTest, NotFoundWhenSplitOrReversedOrUnclosed)
{
    EXPECT_EQ(Scan("<title>Titel Ihrer\r\nSeite</title>\r\n").title, "");
    EXPECT_EQ(Scan("</title><title>x\r\n").title, "");
    EXPECT_EQ(Scan("<title>offen\r\n").title, "");
}

TEST(TitleTest, AdjacentTagsGiveEmptyTitleAndLastTitleWins)
{
    EXPECT_EQ(Scan("<title>Erster</title>\r\n<title></title>\r\n").title, "");
    EXPECT_EQ(Scan("<title>Erster</title>\r\n<title>Zweiter</title>\r\n").title, "Zweiter");
}

TEST(TitleTest, TitleTagWithAttributes)
{
    EXPECT_EQ(Scan("<title lang=\"de\">Mit Sprache</title>\r\n").title, "Mit Sprache");
    EXPECT_EQ(Scan("<titlex>kein Titel</title>\r\n").title, "");
}

TEST(MetaTest, HelpExamples)
{
    PageFields f = Scan("<meta name=\"Keywords\" content=\"Wort1,Wort2,.....\">\r\n"
                        "<meta name=\"Description\" content=\"Beschreibender Text\">\r\n");
    EXPECT_EQ(f.keywords, "Wort1,Wort2,.....");
    EXPECT_EQ(f.description, "Beschreibender Text");
}

TEST(MetaTest, AttributeCaseCountsButTagNameMustBeLowerCase)
{
    EXPECT_EQ(Scan("<meta NAME=\"KEYWORDS\" content=\"a,b\">\r\n").keywords, "a,b");
    EXPECT_EQ(Scan("<META name=\"Keywords\" content=\"a,b\">\r\n").keywords, "");
}

TEST(MetaTest, FormsThatAreNotRecognised)
{
    EXPECT_EQ(Scan("<meta content=\"a,b\" name=\"Keywords\">\r\n").keywords, "");
    EXPECT_EQ(Scan("<meta name=Keywords content=\"a,b\">\r\n").keywords, "");
    EXPECT_EQ(Scan("<meta name='Keywords' content=\"a,b\">\r\n").keywords, "");
    EXPECT_EQ(Scan("<meta http-equiv=\"x\" name=\"Keywords\" content=\"a\">\r\n").keywords, "");
}

TEST(MetaTest, ContentRunsToTheNextEqualsSign)
{
    EXPECT_EQ(Scan("<meta name=\"Description\" content=\"Beschreibender Text\" lang=\"de\">\r\n")
                  .description,
        "Beschreibender Text lang");
    EXPECT_EQ(Scan("<meta name=\"Description\" content=\"a=b\">\r\n").description, "a");
}

TEST(MetaTest, LaterEmptyValueEmptiesTheField)
{
    PageFields f = Scan("<meta name=\"keywords\" content=\"a\">\r\n"
                        "<meta name=\"keywords\" content=\"\">\r\n");
    EXPECT_EQ(f.keywords, "");
}

TEST(MetaTest, EveryMetaOnALineIsExamined)
{
    PageFields f = Scan("<meta name=\"keywords\" content=\"k\"><meta name=\"description\" "
                        "content=\"d\"><title>T</title>\r\n");
    EXPECT_EQ(f.keywords, "k");
    EXPECT_EQ(f.description, "d");
    EXPECT_EQ(f.title, "T");
}

TEST(LineTest, LoneLfAndLoneCrEndLines)
{
    PageFields lf = Scan("<html>\n<head>\n<title>T</title>\n<meta name=\"keywords\" "
                         "content=\"k\">\n</head>\n");
    EXPECT_EQ(lf.title, "T");
    EXPECT_EQ(lf.keywords, "k");
    PageFields cr = Scan("<title>T</title>\r<meta name=\"description\" content=\"d\">\r");
    EXPECT_EQ(cr.title, "T");
    EXPECT_EQ(cr.description, "d");
    EXPECT_EQ(Scan("<title>a\nb</title>\n").title, "");
}

TEST(LineTest, TextBeforeEndOfHeadOnItsLineCounts)
{
    PageFields f = Scan("<html><head><title>Mini</title><meta name=\"keywords\" content=\"m\">"
                        "</head><body><meta name=\"description\" content=\"spät\"></body>");
    EXPECT_EQ(f.title, "Mini");
    EXPECT_EQ(f.keywords, "m");
    EXPECT_EQ(f.description, "");
}

TEST(LineTest, NothingAfterEndOfHeadIsRead)
{
    PageFields f = Scan("<head>\r\n</HEAD>\r\n<title>Body</title>\r\n");
    EXPECT_EQ(f.title, "");
}

TEST(LineTest, FileWithoutEndOfHeadIsReadToTheEnd)
{
    PageFields f = Scan("<body>\r\n<p>x</p>\r\n<title>Spät</title>");
    EXPECT_EQ(f.title, "Spät");
}

TEST(ScannerTest, ChunkBoundariesDoNotChangeTheResult)
{
    const std::string text = "<head>\r\n<title>Eins</title>\r\r\n<meta name=\"keywords\" "
                             "content=\"k1\">\n\r<meta name=\"description\" content=\"d\">\r\n"
                             "</head>\r\n<title>nach</title>\r\n";
    PageFields whole = Scan(text);
    for (size_t size : { 1, 2, 3, 7, 13 }) {
        HeadScanner scanner;
        for (size_t i = 0; i < text.size() && !scanner.Done(); i += size)
            scanner.Feed(std::string_view(text).substr(i, size));
        scanner.Finish();
        const PageFields parts = scanner.TakeFields();
        EXPECT_EQ(parts.title, whole.title) << size;
        EXPECT_EQ(parts.keywords, whole.keywords) << size;
        EXPECT_EQ(parts.description, whole.description) << size;
    }
    EXPECT_EQ(whole.title, "Eins");
    EXPECT_EQ(whole.keywords, "k1");
    EXPECT_EQ(whole.description, "d");
}

TEST(ScannerTest, LongLinesAreExaminedWhole)
{
    // Fields far into one line, in a file read in chunks, and "</head>" after them.
    const std::string filler(5 * 1024 * 1024, 'x');
    const std::string text = filler + "<title>Spät</title>" + filler
        + "<meta name=\"keywords\" content=\"k\">" + filler + "</head><title>nach</title>";
    HeadScanner scanner;
    for (size_t i = 0; i < text.size() && !scanner.Done(); i += 65536)
        scanner.Feed(std::string_view(text).substr(i, 65536));
    scanner.Finish();
    const PageFields f = scanner.TakeFields();
    EXPECT_EQ(f.title, "Spät");
    EXPECT_EQ(f.keywords, "k");
}

TEST(ScannerTest, ManyTagsOnOneLineKeepTheRulesOfSingleTags)
{
    // Each "<meta" is examined up to its own first ">": tags without one share the rest of
    // the line, and the last match wins.
    std::string line;
    for (int i = 0; i < 20000; ++i)
        line += "<meta ";
    line += "name=\"description\" content=\"d1\" <meta name=\"keywords\"=k1";
    PageFields f = Scan(line);
    EXPECT_EQ(f.description, "d1 name");
    EXPECT_EQ(f.keywords, "k1");

    // The text of a tag is the rest of the line after every "<meta " was removed.
    f = Scan("<meta na<meta me=\"KEYWORDS\" x=a=b>");
    EXPECT_EQ(f.keywords, "a");
    // A value ends at the next "=", and a "name" piece may follow directly.
    f = Scan("<meta name=\"keywords\"=name=\"description\"=d>");
    EXPECT_EQ(f.keywords, "name");
    EXPECT_EQ(f.description, "d");
}

TEST(ReadPageFieldsTest, RegularFileIsRead)
{
    test::TempDir dir;
    std::string p = dir.Write("a.htm", "<title>A</title>\r\n</head>\r\n");
    ReadResult r = ReadPageFields(test::NativeDisk(), p);
    EXPECT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.fields.title, "A");
}

TEST(ReadPageFieldsTest, FieldsAreCutAtTheLimitOnACharacterBoundary)
{
    // One byte short of the limit, then "ä" (two bytes) across it: the half character goes.
    const std::string longTitle = std::string(kFieldLimit - 1, 'x') + "\xC3\xA4" + "yyy";
    PageFields f = ExtractFields("<title>" + longTitle
        + "</title><meta name=\"keywords\" content=\"" + longTitle + "\"></head>");
    EXPECT_EQ(f.title, std::string(kFieldLimit - 1, 'x'));
    EXPECT_EQ(f.keywords, f.title);
    // windows-1252 text is cut at the limit: every byte is a character there.
    const std::string latin = "\xE4" + std::string(kFieldLimit - 2, 'x') + "\xE4\xE4";
    EXPECT_EQ(ExtractFields("<title>" + latin + "</title>").title, latin.substr(0, kFieldLimit));
    EXPECT_EQ(ExtractFields("<title>kurz \xC3\xA4</title>").title, "kurz \xC3\xA4");
}

TEST(ReadPageFieldsTest, EmptyFileIsReadableWithNoFields)
{
    test::TempDir dir;
    ReadResult r = ReadPageFields(test::NativeDisk(), dir.Write("leer.htm", ""));
    EXPECT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.fields.title, "");
}
