// Title, meta keywords and meta description of one HTML file, found by a line-by-line scan of
// its head.
#pragma once

#include "platform/file_system.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tovaro {

/// The most a field keeps: a title or value that goes on beyond it is cut there, at a
/// character boundary, so that memory for one file stays bounded whatever its size.
constexpr size_t kFieldLimit = size_t { 1 } << 20;

struct PageFields {
    std::string title;
    std::string keywords;
    std::string description;
};

/// Feeds a file's bytes chunk by chunk, splits them into lines (CR LF, lone CR or lone LF) and
/// examines each line until the end of the head. The scan is a single pass: every byte is
/// looked at a bounded number of times, however many tags a line holds, and a line is never
/// kept whole, so memory is bounded by the fields found, not by the length of a line.
class HeadScanner {
public:
    /// Returns true once the head has ended; later calls do nothing.
    bool Feed(std::string_view chunk);
    /// Examines the rest of the last line at the end of the file.
    void Finish();

    bool Done() const { return done_; }
    PageFields TakeFields() { return std::move(fields_); }

private:
    size_t Scan(const char* data, size_t size, bool final);
    /// Where the next byte that can change the scan lies, from `i`; the bytes passed are kept
    /// where they belong to a title or a value.
    size_t SkipQuietBytes(const char* data, size_t i, size_t limit, bool titleText);
    /// One byte of a title's text, of a "<title ...>" tag or of a meta tag's pieces.
    void TakeByte(char c);
    void AtTag(const char* p, size_t avail);
    void GroupByte(char c);
    void EndPiece();
    void EndGroup();
    void EndLine();

    PageFields fields_;
    bool done_ = false;
    std::string carry_; // the last bytes of a chunk, whose look-ahead lies in the next one

    // The title of the current line. The first "<title>" wins over a "<title ...>" with
    // attributes; either needs the line's first "</title>" after the start of its text.
    bool titleTagSeen_ = false;
    bool closeSeen_ = false;
    enum class Capture : unsigned char { None, Waiting, Running, Done, Failed };
    Capture open_ = Capture::None; // text after "<title>"
    Capture attr_ = Capture::None; // text after "<title ...>"
    size_t openSkip_ = 0; // bytes of "<title>" still to pass before the text starts
    std::string openText_;
    std::string attrText_;

    // The meta tags of the current line: from a "<meta" to the next ">" all tags share one text,
    // which is split at every "=" into pieces. A triple of pieces "name", a key and a value
    // starts at every piece and at every tag; "<meta " is removed from the text.
    bool inGroup_ = false;
    size_t groupSkip_ = 0; // bytes of a "<meta " still to leave out
    unsigned nameMask_ = 0; // bit k: a triple start k bytes back, followed by "name"[0..k)
    bool keyPiece_ = false; // the current piece follows a piece "name"
    bool keyBlank_ = false;
    size_t keyLen_ = 0;
    char key_[14] = {};
    std::string* valueField_ = nullptr; // the current piece is the value for this field
    std::string value_;
};

enum class ReadStatus { Ok, Unreadable, Skipped };

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    PageFields fields;
    Failure failure; ///< why an Unreadable file could not be read
};

/// Opens the file, scans its head and closes it. A file that cannot be opened or read, and
/// anything that is not a regular file (a directory, a FIFO, a device), is Unreadable, with the
/// reason; such a file is never read from, so nothing blocks. The file `skip` names, if any, is
/// Skipped unread, whatever path leads to it.
ReadResult ReadPageFields(FileSystem& disk, const std::string& path, const FileId* skip = nullptr);

} // namespace tovaro
