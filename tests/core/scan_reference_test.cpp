// The streaming head scan against a plain line-by-line transcription of its rules, on heads
// with every kind of line end, fed whole and in two chunks split at every offset.
#include "core/head_scan.h"
#include "reference_extract.h"
#include "test_util.h"
#include "whole_scan.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tovaro;

namespace {

// Heads that exercise each rule; "\n" stands for the line end under test.
const char* const kHeads[] = {
    "<html>\n<head>\n<title>Titel Ihrer Seite</title>\n"
    "<meta name=\"Keywords\" content=\"Wort1,Wort2\">\n"
    "<meta name=\"Description\" content=\"Beschreibender Text\">\n</head>\n<body>x</body>\n",
    "  <TITLE>Gross</TITLE>\n<title>Zweiter</title>\n</head>\n",
    "<title>\nGeteilt</title>\n<title>a</title><title>b</title>\n</head>\n",
    "<head><title>Eine Zeile</title></head>\n<title>danach</title>\n",
    "<title lang=\"de\">Mit Attribut</title>\n<title >Leer davor</title >\n",
    "<meta name=\"keywords\" content=\"a=b=c\"><meta name=\"description\" content=\"\">\n",
    "<meta name=keywords content=ohne>\n<META NAME=\"keywords\" CONTENT=\"gross\">\n",
    "<meta name=\"description\" content=\"eins\"><meta name=\"keywords\" content=\"zwei\">"
    "<title>drei</title>\n</HEAD>\n",
    "<meta\nname=\"keywords\" content=\"getrennt\">\n<meta name=\"keywords\"\ncontent=\"x\">\n",
    "<title>Peter's C:\\Temp</title>\n<meta name=\"keywords\" content=\"\xC3\xA4\xE4\">\n</head>",
    "kein Kopf, nur Text\n<title>am Ende</title>",
    "<title>offen\n\n<meta name=\"description\" content=\"d\n</head>\n",
    "<meta name=\"keywords\" content=\"k\">\n<!-- </head> -->\n<title>nach dem Kommentar</title>\n",
};

std::string WithLineEnds(std::string_view head, std::string_view end)
{
    std::string out;
    for (char c : head) {
        if (c == '\n')
            out += end;
        else
            out += c;
    }
    return out;
}

std::vector<std::string> Inputs()
{
    std::vector<std::string> inputs;
    for (const char* head : kHeads) {
        for (const char* end : { "\n", "\r\n", "\r", "\r\r\n" })
            inputs.push_back(WithLineEnds(head, end));
    }
    // The seed corpus whole, and the crafted long lines cut to their first 2 KiB (the
    // reference takes quadratic time).
    for (const char* folder :
        { TOVARO_FUZZ_DIR "/corpus/extract", TOVARO_FUZZ_DIR "/crafted/extract" }) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            inputs.push_back(bytes.str().substr(0, 2048));
        }
    }
    return inputs;
}

bool Same(const PageFields& a, const PageFields& b)
{
    return a.title == b.title && a.keywords == b.keywords && a.description == b.description;
}

} // namespace

TEST(ScanReferenceTest, WholeAndSplitAtEveryOffsetTheScanFollowsTheRules)
{
    const std::vector<std::string> inputs = Inputs();
    ASSERT_GT(inputs.size(), std::size(kHeads) * 4);
    for (const std::string& input : inputs) {
        const PageFields expected = reference::Extract(input);
        ASSERT_TRUE(Same(ExtractFields(input), expected)) << "whole: " << input;
        for (size_t cut = 1; cut < input.size(); ++cut) {
            HeadScanner scanner;
            if (!scanner.Feed(std::string_view(input).substr(0, cut)))
                scanner.Feed(std::string_view(input).substr(cut));
            scanner.Finish();
            ASSERT_TRUE(Same(scanner.TakeFields(), expected)) << "cut at " << cut << ": " << input;
        }
    }
}
