// Title, meta keywords and meta description of one HTML file, found by a line-by-line scan of
// its head; cleaning for a single-quoted JavaScript string; the page's URL.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tovaro {

struct PageFields {
    std::string title;
    std::string keywords;
    std::string description;
};

/// Examines one line of a head. Returns true when the line holds "</head>": the text before it
/// has been examined, and reading must end.
bool ExamineHeadLine(std::string_view line, PageFields& fields);

/// Feeds a file's bytes chunk by chunk, splits them into lines (CR LF, lone CR or lone LF) and
/// examines each line until the end of the head. Memory stays bounded: of a line longer than
/// `maxLine` bytes only the first `maxLine` are examined, the rest is only searched for
/// "</head>".
class HeadScanner {
public:
    static constexpr size_t kDefaultMaxLine = 4 * 1024 * 1024;

    explicit HeadScanner(size_t maxLine = kDefaultMaxLine);

    /// Returns true once the head has ended; later calls do nothing.
    bool Feed(std::string_view chunk);
    /// Examines the last, unterminated line at the end of the file.
    void Finish();

    bool Done() const { return done_; }
    const PageFields& Fields() const { return fields_; }
    PageFields TakeFields() { return std::move(fields_); }

private:
    void EndLine();
    bool SkipOverlongLine(std::string_view chunk, size_t& pos);
    size_t AfterLineEnd(std::string_view chunk, size_t stop);

    size_t maxLine_;
    std::string line_;
    PageFields fields_;
    bool done_ = false;
    bool afterCr_ = false; // the previous chunk ended with CR: a leading LF belongs to it
    bool skipping_ = false; // inside the unexamined rest of an overlong line
    std::string skipTail_; // last bytes of the skipped text, to find a "</head>" across chunks
};

/// Scans bytes that are wholly in memory (used by tests and the fuzzer).
PageFields ExtractFields(std::string_view bytes);

enum class ReadStatus { Ok, Unreadable };

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    PageFields fields;
};

/// Opens the file, scans its head and closes it. A file that cannot be opened or read, and
/// anything that is not a regular file (a directory, a FIFO, a device), is Unreadable; such a
/// file is never read from, so nothing blocks.
ReadResult ReadPageFields(const std::string& path);

/// Removes apostrophes, doubles backslashes, lower-cases the keywords and writes every "<" as
/// the script escape \x3C, so that each field can stand in a single-quoted script string.
PageFields CleanForScript(const PageFields& raw);
void CleanForScriptInPlace(PageFields& fields);

/// The page's URL: the path relative to the site directory (only when the path lies below it),
/// percent-encoded where a byte would break the page, after the web root URL.
std::string MakePageUrl(
    std::string_view filePath, std::string_view siteDir, std::string_view webRoot);

} // namespace tovaro
