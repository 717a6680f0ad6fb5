#include "head_scan.h"

#include "text.h"

#include "platform/file_system.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tovaro {

namespace {

// Which bytes end a run of plain text: outside tags, inside a tag's text.
constexpr unsigned char kStopOutside = 1;
constexpr unsigned char kStopInTag = 2;

struct ByteTable {
    unsigned char stop[256] = {};
    ByteTable()
    {
        for (char c : { '<', '\r', '\n' })
            stop[static_cast<unsigned char>(c)] = kStopOutside | kStopInTag;
        for (char c : { '=', '>', '"' })
            stop[static_cast<unsigned char>(c)] = kStopInTag;
    }
};
const ByteTable kBytes;

// The longest tag the scan recognises, "</title>": a byte is examined only when this many
// bytes from it are at hand (or the file has ended).
constexpr size_t kLookAhead = 8;

// True when `p` (with `avail` bytes) starts with the tag `lower` in any letter case.
inline bool StartsNoCase(const char* p, size_t avail, std::string_view lower)
{
    return StartsWithIgnoringCase(std::string_view(p, avail), lower);
}

// Appends to a field's text while it is below the limit.
inline void Keep(std::string& field, const char* p, size_t n)
{
    if (field.size() < kFieldLimit)
        field.append(p, std::min(n, kFieldLimit - field.size()));
}
inline void Keep(std::string& field, char c)
{
    if (field.size() < kFieldLimit)
        field.push_back(c);
}

// A field cut at the limit may end inside a UTF-8 character: that part goes.
void CutAtCharacter(std::string& field)
{
    if (field.size() < kFieldLimit || IsValidUtf8(field))
        return;
    size_t lead = field.size();
    while (lead > 0 && field.size() - lead < 4
        && (static_cast<unsigned char>(field[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0 && IsValidUtf8(std::string_view(field).substr(0, lead - 1)))
        field.resize(lead - 1);
}

// Takes a finished text as a field.
void SetField(std::string& field, std::string& text)
{
    CutAtCharacter(text);
    field.swap(text);
}

} // namespace

// A "<" that may start a tag. Sets what the tag means for the title and the meta tags;
// `groupSkip` is set to the bytes that the meta text leaves out ("<meta ").
void HeadScanner::AtTag(const char* p, size_t avail)
{
    if (StartsNoCase(p, avail, "</title>")) {
        if (!closeSeen_) {
            closeSeen_ = true;
            if (open_ == Capture::Running)
                open_ = Capture::Done;
            if (attr_ == Capture::Running)
                attr_ = Capture::Done;
            else if (attr_ == Capture::Waiting)
                attr_ = Capture::Failed; // its text would start after this "</title>"
        }
        return;
    }
    if (StartsNoCase(p, avail, "<title")) {
        const bool plain = avail > 6 && p[6] == '>';
        if (!titleTagSeen_) {
            titleTagSeen_ = true;
            // A title tag with attributes, such as <title lang="de">: its text starts after
            // the tag's ">", and needs a "</title>" after that.
            if (avail > 6 && (p[6] == ' ' || p[6] == '\t'))
                attr_ = closeSeen_ ? Capture::Failed : Capture::Waiting;
        }
        if (plain && open_ == Capture::None) {
            if (closeSeen_) {
                open_ = Capture::Failed;
            } else {
                open_ = Capture::Running;
                openSkip_ = 7;
            }
        }
        return;
    }
    if (StartsNoCase(p, avail, "<meta")) {
        if (!inGroup_) {
            inGroup_ = true;
            nameMask_ = 0;
            keyPiece_ = false;
            valueField_ = nullptr;
        }
        nameMask_ |= 1U; // every tag starts a triple of its own
        if (avail >= 6 && std::memcmp(p, "<meta ", 6) == 0)
            groupSkip_ = 6;
    }
}

void HeadScanner::EndPiece()
{
    if (valueField_ != nullptr) {
        SetField(*valueField_, value_);
        value_.clear();
        valueField_ = nullptr;
    }
    // The key is the part of the piece before its first blank.
    if (keyPiece_ && keyLen_ <= sizeof key_) {
        const std::string_view key(key_, keyLen_);
        if (key == "\"keywords\"")
            valueField_ = &fields_.keywords;
        else if (key == "\"description\"")
            valueField_ = &fields_.description;
    }
    keyPiece_ = (nameMask_ & 0x10U) != 0;
    keyBlank_ = false;
    keyLen_ = 0;
    nameMask_ = 1U; // a new piece starts a triple
}

void HeadScanner::GroupByte(char c)
{
    if (c == '=') {
        EndPiece();
        return;
    }
    const char lower = AsciiLower(c);
    if (nameMask_ != 0) {
        // "name" has four different letters: a byte can only continue the match at one place.
        const int k = lower == 'n' ? 0
            : lower == 'a'         ? 1
            : lower == 'm'         ? 2
            : lower == 'e'         ? 3
                                   : -1;
        nameMask_ = k < 0 ? 0U : ((nameMask_ >> k) & 1U) << (k + 1);
    }
    if (keyPiece_ && !keyBlank_) {
        if (c == ' ')
            keyBlank_ = true;
        else if (keyLen_ < sizeof key_)
            key_[keyLen_++] = lower;
        else
            keyLen_ = sizeof key_ + 1; // too long for any key
    }
    if (valueField_ != nullptr && c != '"')
        Keep(value_, c);
}

void HeadScanner::EndGroup()
{
    if (valueField_ != nullptr) {
        SetField(*valueField_, value_);
        value_.clear();
        valueField_ = nullptr;
    }
    inGroup_ = false;
    keyPiece_ = false;
    nameMask_ = 0;
}

void HeadScanner::EndLine()
{
    EndGroup();
    if (open_ != Capture::None) {
        if (open_ == Capture::Done)
            SetField(fields_.title, openText_);
    } else if (attr_ == Capture::Done) {
        SetField(fields_.title, attrText_);
    }
    openText_.clear();
    attrText_.clear();
    open_ = attr_ = Capture::None;
    titleTagSeen_ = closeSeen_ = false;
    openSkip_ = 0;
}

// Examines the bytes whose look-ahead is at hand; returns how many were examined.
inline size_t HeadScanner::SkipQuietBytes(const char* data, size_t i, size_t limit, bool titleText)
{
    if (!titleText && !inGroup_) {
        // Outside every tag text only "<" and line ends matter.
        while (i < limit && (kBytes.stop[static_cast<unsigned char>(data[i])] & kStopOutside) == 0)
            ++i;
    } else if (!titleText && groupSkip_ == 0 && nameMask_ == 0
        && (!keyPiece_ || keyBlank_ || keyLen_ > sizeof key_)) {
        // Inside a tag, away from a "name" piece and its key: only the pieces' ends, the tag's
        // end and a value's bytes matter. A value takes its plain bytes in one piece.
        const size_t start = i;
        while (i < limit && (kBytes.stop[static_cast<unsigned char>(data[i])] & kStopInTag) == 0)
            ++i;
        if (valueField_ != nullptr)
            Keep(value_, data + start, i - start);
    } else if (!inGroup_ && open_ == Capture::Running && openSkip_ == 0 && attr_ != Capture::Running
        && attr_ != Capture::Waiting) {
        // The text of a title: up to the next "<" or line end in one piece.
        const size_t start = i;
        while (i < limit && (kBytes.stop[static_cast<unsigned char>(data[i])] & kStopOutside) == 0)
            ++i;
        Keep(openText_, data + start, i - start);
    }
    return i;
}

inline void HeadScanner::TakeByte(char c)
{
    if (open_ == Capture::Running) {
        if (openSkip_ > 0)
            --openSkip_;
        else
            Keep(openText_, c);
    }
    if (attr_ == Capture::Running) {
        Keep(attrText_, c);
    } else if (attr_ == Capture::Waiting && c == '>') {
        attr_ = Capture::Running;
    }
    if (inGroup_) {
        if (groupSkip_ > 0)
            --groupSkip_;
        else if (c == '>')
            EndGroup();
        else
            GroupByte(c);
    }
}

size_t HeadScanner::Scan(const char* data, size_t size, bool final)
{
    const size_t limit = final ? size : (size >= kLookAhead ? size - kLookAhead + 1 : 0);
    size_t i = 0;
    while (i < limit) {
        const bool titleText
            = open_ == Capture::Running || attr_ == Capture::Running || attr_ == Capture::Waiting;
        i = SkipQuietBytes(data, i, limit, titleText);
        if (i >= limit)
            break;
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            EndLine();
            i += (c == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        if (c == '<') {
            if (StartsNoCase(data + i, size - i, "</head>")) {
                // Text before "</head>" on its line still counts: minified heads are one line.
                EndLine();
                done_ = true;
                return i;
            }
            AtTag(data + i, size - i);
            if (groupSkip_ > 0 && !titleText) {
                // "<meta " adds nothing to the tag's text and holds nothing else to look at.
                i += groupSkip_;
                groupSkip_ = 0;
                continue;
            }
        }
        TakeByte(c);
        ++i;
    }
    return i;
}

bool HeadScanner::Feed(std::string_view chunk)
{
    if (done_)
        return true;
    if (!carry_.empty()) {
        // The carried bytes, with enough of the new chunk to look ahead from each of them.
        const size_t carried = carry_.size();
        const size_t taken = std::min(chunk.size(), kLookAhead);
        carry_.append(chunk.substr(0, taken));
        const size_t used = Scan(carry_.data(), carry_.size(), false);
        if (done_)
            return true;
        if (taken == chunk.size()) {
            carry_.erase(0, used);
            return false;
        }
        // With a whole look-ahead after them, all carried bytes have been examined.
        chunk.remove_prefix(used - carried);
        carry_.clear();
    }
    const size_t used = Scan(chunk.data(), chunk.size(), false);
    if (!done_)
        carry_.assign(chunk.substr(used));
    return done_;
}

void HeadScanner::Finish()
{
    if (done_)
        return;
    Scan(carry_.data(), carry_.size(), true);
    carry_.clear();
    if (!done_)
        EndLine();
    done_ = true;
}

ReadResult ReadPageFields(FileSystem& disk, const std::string& path, const FileId* skip)
{
    ReadResult result;
    // A name with a NUL byte (from a list file) names no file.
    if (path.find('\0') != std::string::npos) {
        result.status = ReadStatus::Unreadable;
        result.failure = { FailureKind::InvalidName, 0 };
        return result;
    }
    OrFailure<OpenedFile> opened = disk.OpenRegular(path);
    if (!opened) {
        result.status = ReadStatus::Unreadable;
        result.failure = opened.failure();
        return result;
    }
    if (skip != nullptr && *skip == opened->id) {
        result.status = ReadStatus::Skipped;
        return result;
    }
    InputFile& file = *opened->file;

    HeadScanner scanner;
    static thread_local std::vector<char> buffer(64 * 1024);
    // Most heads end within the first few kilobytes: a small first read spares copying the
    // rest of the page, larger ones follow only when the head goes on.
    size_t want = 4096;
    for (;;) {
        const OrFailure<size_t> n = file.Read(buffer.data(), want);
        want = buffer.size();
        if (!n) {
            result.status = ReadStatus::Unreadable;
            result.failure = n.failure();
            return result;
        }
        if (*n == 0) {
            scanner.Finish();
            break;
        }
        if (scanner.Feed(std::string_view(buffer.data(), *n)))
            break;
    }
    result.fields = scanner.TakeFields();
    return result;
}

} // namespace tovaro
