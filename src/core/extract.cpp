#include "extract.h"

#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tovaro {

namespace {

constexpr std::string_view kEndOfHead = "</head>";

// The first CR or LF at or after `pos`, or npos. (string_view::find_first_of would call memchr
// once per byte of the text.)
size_t FindLineEnd(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return std::string_view::npos;
    const char* begin = text.data() + pos;
    const size_t n = text.size() - pos;
    const void* lf = std::memchr(begin, '\n', n);
    const size_t upto
        = lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : n;
    const void* cr = std::memchr(begin, '\r', upto);
    if (cr != nullptr)
        return pos + static_cast<size_t>(static_cast<const char*>(cr) - begin);
    return lf != nullptr ? pos + upto : std::string_view::npos;
}

// The text of piece `piece` up to its first blank.
std::string_view BeforeFirstBlank(std::string_view piece)
{
    size_t blank = piece.find(' ');
    return blank == std::string_view::npos ? piece : piece.substr(0, blank);
}

bool EqualsNoCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
        if (c != lower[i])
            return false;
    }
    return true;
}

void AssignWithoutQuotes(std::string& field, std::string_view value)
{
    field.assign(value);
    field.erase(std::remove(field.begin(), field.end(), '"'), field.end());
}

// One meta tag: the text from its "<meta" to the end of the examined line. Every "<meta " is
// removed, the text is cut before its first ">" and split at each "="; a piece "name" is
// followed by the key and then the value.
void ExamineMeta(std::string_view tagToEnd, PageFields& fields)
{
    // "<meta " holds no ">", so cutting first and removing afterwards gives the same text.
    std::string_view cut = tagToEnd.substr(0, tagToEnd.find('>'));
    std::string_view tag = cut;
    // Nearly every tag starts with "<meta "; only a text holding another needs a copy.
    if (tag.substr(0, 6) == "<meta ")
        tag.remove_prefix(6);
    std::string removed;
    if (tag.find("<meta ") != std::string_view::npos) {
        removed = ReplaceAll(tag, "<meta ", "");
        tag = removed;
    }

    // A sliding window of three consecutive pieces: j, j + 1 and j + 2.
    std::string_view pieces[3];
    size_t count = 0;
    std::string_view rest = tag;
    for (bool more = true; more;) {
        size_t eq = rest.find('=');
        std::string_view piece = rest.substr(0, eq);
        more = eq != std::string_view::npos;
        if (more)
            rest.remove_prefix(eq + 1);
        if (count < 3) {
            pieces[count++] = piece;
        } else {
            pieces[0] = pieces[1];
            pieces[1] = pieces[2];
            pieces[2] = piece;
        }
        if (count == 3 && EqualsNoCase(pieces[0], "name")) {
            std::string_view key = BeforeFirstBlank(pieces[1]);
            if (EqualsNoCase(key, "\"keywords\""))
                AssignWithoutQuotes(fields.keywords, pieces[2]);
            else if (EqualsNoCase(key, "\"description\""))
                AssignWithoutQuotes(fields.description, pieces[2]);
        }
    }
}

} // namespace

namespace {

// True when `text` holds `lower` (lower-case ASCII) at `pos`, without regard to ASCII case.
bool HasAtNoCase(std::string_view text, size_t pos, std::string_view lower)
{
    if (pos + lower.size() > text.size())
        return false;
    for (size_t i = 0; i < lower.size(); ++i) {
        char c = text[pos + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
        if (c != lower[i])
            return false;
    }
    return true;
}

// Where the tags of interest first stand on a line. Every one of them starts with "<", so one
// walk over the "<" of the line finds them all.
struct TagPositions {
    static constexpr size_t npos = std::string_view::npos;
    size_t endOfHead = npos;
    size_t titleTag = npos; // "<title" with or without attributes
    size_t titleOpen = npos; // "<title>"
    size_t titleClose = npos; // "</title>"
    size_t metas[16];
    size_t metaCount = 0;
    bool moreMetas = false; // more than fit: the rest are found by a second walk
};

TagPositions FindTags(std::string_view line)
{
    TagPositions t;
    const char* base = line.data();
    const char* end = base + line.size();
    for (const char* p = static_cast<const char*>(std::memchr(base, '<', line.size()));
         p != nullptr;
         p = static_cast<const char*>(std::memchr(p + 1, '<', static_cast<size_t>(end - p - 1)))) {
        const size_t pos = static_cast<size_t>(p - base);
        if (HasAtNoCase(line, pos, "</head>")) {
            t.endOfHead = pos;
            break; // nothing after it is examined
        }
        if (t.titleTag == t.npos && HasAtNoCase(line, pos, "<title")) {
            t.titleTag = pos;
        }
        if (t.titleOpen == t.npos && HasAtNoCase(line, pos, "<title>"))
            t.titleOpen = pos;
        else if (t.titleClose == t.npos && HasAtNoCase(line, pos, "</title>"))
            t.titleClose = pos;
        else if (HasAtNoCase(line, pos, "<meta")) {
            if (t.metaCount < std::size(t.metas))
                t.metas[t.metaCount++] = pos;
            else
                t.moreMetas = true;
        }
        if (p + 1 >= end)
            break;
    }
    return t;
}

void ExamineTitle(std::string_view line, const TagPositions& t, PageFields& fields)
{
    if (t.titleTag == t.npos)
        return;
    size_t start;
    if (t.titleOpen != t.npos) {
        start = t.titleOpen + 7;
    } else {
        // A title tag with attributes, such as <title lang="de">: its text starts after the
        // tag's ">".
        const size_t after = t.titleTag + 6;
        if (after >= line.size() || (line[after] != ' ' && line[after] != '\t'))
            return;
        size_t close = line.find('>', after);
        if (close == std::string_view::npos)
            return;
        start = close + 1;
    }
    if (t.titleClose == t.npos || t.titleClose < start)
        return;
    fields.title.assign(line.substr(start, t.titleClose - start));
}

// True when "</head>" (in any case) stands in `tail` followed by `segment`, without copying
// the segment: only a match that starts in the short tail needs the two joined.
bool ContainsEndOfHead(std::string_view tail, std::string_view segment)
{
    if (!tail.empty()) {
        std::string joined(tail);
        joined.append(segment.substr(0, kEndOfHead.size() - 1));
        for (size_t i = 0; i < tail.size(); ++i) {
            if (HasAtNoCase(joined, i, kEndOfHead))
                return true;
        }
    }
    for (const void* p = std::memchr(segment.data(), '<', segment.size()); p != nullptr;) {
        const size_t at = static_cast<size_t>(static_cast<const char*>(p) - segment.data());
        if (HasAtNoCase(segment, at, kEndOfHead))
            return true;
        p = at + 1 < segment.size()
            ? std::memchr(segment.data() + at + 1, '<', segment.size() - at - 1)
            : nullptr;
    }
    return false;
}

} // namespace

bool ExamineHeadLine(std::string_view line, PageFields& fields)
{
    const TagPositions tags = FindTags(line);
    const bool end = tags.endOfHead != tags.npos;
    // Text before "</head>" on its line still counts: minified heads are one line.
    if (end)
        line = line.substr(0, tags.endOfHead);

    ExamineTitle(line, tags, fields);

    for (size_t i = 0; i < tags.metaCount; ++i)
        ExamineMeta(line.substr(tags.metas[i]), fields);
    if (tags.moreMetas) {
        for (size_t m = tags.metas[tags.metaCount - 1] + 5; m < line.size(); ++m) {
            if (line[m] == '<' && HasAtNoCase(line, m, "<meta"))
                ExamineMeta(line.substr(m), fields);
        }
    }
    return end;
}

HeadScanner::HeadScanner(size_t maxLine)
    : maxLine_(maxLine < kEndOfHead.size() ? kEndOfHead.size() : maxLine)
{
}

void HeadScanner::EndLine()
{
    if (ExamineHeadLine(line_, fields_))
        done_ = true;
    line_.clear();
}

// Inside the rest of an overlong line: looks only for "</head>" and for the line's end.
bool HeadScanner::SkipOverlongLine(std::string_view chunk, size_t& pos)
{
    while (pos < chunk.size()) {
        size_t stop = FindLineEnd(chunk, pos);
        size_t segEnd = stop == std::string_view::npos ? chunk.size() : stop;
        const std::string_view segment = chunk.substr(pos, segEnd - pos);
        if (ContainsEndOfHead(skipTail_, segment)) {
            done_ = true;
            return true;
        }
        // Keep the last bytes, so that a "</head>" split between two chunks is still found.
        const size_t keep = kEndOfHead.size() - 1;
        if (segment.size() >= keep) {
            skipTail_.assign(segment.substr(segment.size() - keep));
        } else {
            skipTail_.append(segment);
            if (skipTail_.size() > keep)
                skipTail_.erase(0, skipTail_.size() - keep);
        }
        pos = segEnd;
        if (stop == std::string_view::npos)
            return false;
        // The overlong line ends here.
        skipping_ = false;
        skipTail_.clear();
        pos = AfterLineEnd(chunk, stop);
        return false;
    }
    return false;
}

// The position after the line end at `stop`. A CR that ends the chunk may be the first half of
// CR LF: the next chunk then skips a leading LF.
size_t HeadScanner::AfterLineEnd(std::string_view chunk, size_t stop)
{
    if (chunk[stop] == '\r') {
        if (stop + 1 < chunk.size())
            return stop + (chunk[stop + 1] == '\n' ? 2 : 1);
        afterCr_ = true;
    }
    return stop + 1;
}

bool HeadScanner::Feed(std::string_view chunk)
{
    if (done_)
        return true;
    size_t pos = 0;
    if (afterCr_ && !chunk.empty()) {
        afterCr_ = false;
        if (chunk[0] == '\n')
            pos = 1;
    }
    while (pos < chunk.size() && !done_) {
        if (skipping_) {
            if (SkipOverlongLine(chunk, pos))
                return true;
            continue;
        }
        size_t stop = FindLineEnd(chunk, pos);
        size_t segEnd = stop == std::string_view::npos ? chunk.size() : stop;
        size_t room = maxLine_ - line_.size();
        if (segEnd - pos > room) {
            // The line is longer than we keep: examine what we have, skip the rest.
            line_.append(chunk.substr(pos, room));
            pos += room;
            EndLine();
            if (done_)
                return true;
            skipping_ = true;
            skipTail_.clear();
            continue;
        }
        if (stop == std::string_view::npos) {
            line_.append(chunk.substr(pos, segEnd - pos));
            break;
        }
        if (line_.empty()) {
            // The whole line lies in this chunk: examine it where it is.
            if (ExamineHeadLine(chunk.substr(pos, segEnd - pos), fields_))
                done_ = true;
        } else {
            line_.append(chunk.substr(pos, segEnd - pos));
            EndLine();
        }
        pos = AfterLineEnd(chunk, stop);
    }
    return done_;
}

void HeadScanner::Finish()
{
    if (done_ || skipping_)
        return;
    if (!line_.empty())
        EndLine();
    done_ = true;
}

PageFields ExtractFields(std::string_view bytes)
{
    HeadScanner scanner;
    scanner.Feed(bytes);
    scanner.Finish();
    return scanner.Fields();
}

ReadResult ReadPageFields(const std::string& path)
{
    ReadResult result;
    // Non-blocking, so that opening a FIFO never waits for a writer; the type check below
    // then rejects it.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.status = ReadStatus::Unreadable;
        return result;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.status = ReadStatus::Unreadable;
        return result;
    }

    HeadScanner scanner;
    static thread_local std::vector<char> buffer(64 * 1024);
    // Most heads end within the first few kilobytes: a small first read spares copying the
    // rest of the page, larger ones follow only when the head goes on.
    size_t want = 4096;
    for (;;) {
        ssize_t n = ::read(fd, buffer.data(), want);
        want = buffer.size();
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.status = ReadStatus::Unreadable;
            break;
        }
        if (n == 0) {
            scanner.Finish();
            break;
        }
        if (scanner.Feed(std::string_view(buffer.data(), static_cast<size_t>(n))))
            break;
    }
    ::close(fd);
    if (result.status == ReadStatus::Ok)
        result.fields = scanner.TakeFields();
    return result;
}

namespace {

// Apostrophes removed and backslashes doubled; then "<" written as the script escape \x3C,
// so that a field can never end the page's script element (the script sees the same text).
// Keywords are lower-cased in between. Most fields need none of it and are left as they are.
void CleanField(std::string& text, bool lowerCase)
{
    bool quotes = false;
    bool less = false;
    for (char c : text) {
        quotes = quotes || c == '\'' || c == '\\';
        less = less || c == '<';
    }
    if (quotes) {
        std::string out;
        out.reserve(text.size() + 8);
        for (char c : text) {
            if (c == '\\')
                out.append("\\\\");
            else if (c != '\'')
                out.push_back(c);
        }
        text.swap(out);
    }
    if (lowerCase)
        LowerTextInPlace(text);
    if (less)
        text = ReplaceAll(text, "<", "\\x3C");
}

} // namespace

void CleanForScriptInPlace(PageFields& fields)
{
    CleanField(fields.keywords, true);
    CleanField(fields.title, false);
    CleanField(fields.description, false);
}

PageFields CleanForScript(const PageFields& raw)
{
    PageFields out = raw;
    CleanForScriptInPlace(out);
    return out;
}

namespace {

// Which bytes a URL part must percent-encode: those below `below`, DEL and `specials`.
struct EncodeSet {
    bool encode[256] = {};
    EncodeSet(std::string_view specials, unsigned char below)
    {
        for (unsigned c = 0; c < below; ++c)
            encode[c] = true;
        encode[0x7F] = true;
        for (char c : specials)
            encode[static_cast<unsigned char>(c)] = true;
    }
};

void AppendPercentEncoded(std::string& out, std::string_view text, const EncodeSet& set)
{
    static const char* hex = "0123456789ABCDEF";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (set.encode[c]) {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0x0F]);
        } else {
            out.push_back(ch);
        }
    }
}

} // namespace

std::string MakePageUrl(
    std::string_view filePath, std::string_view siteDir, std::string_view webRoot)
{
    std::string_view rel = filePath;
    // The site directory is removed only as a leading prefix ending at a separator, so that
    // /site does not strip /site2/a.htm.
    if (!siteDir.empty() && filePath.substr(0, siteDir.size()) == siteDir
        && (siteDir.back() == '/'
            || (filePath.size() > siteDir.size() && filePath[siteDir.size()] == '/'))) {
        rel.remove_prefix(siteDir.size());
        if (!rel.empty() && rel.front() == '/')
            rel.remove_prefix(1);
    }

    std::string url;
    url.reserve(webRoot.size() + rel.size() + 8);
    if (!webRoot.empty()) {
        static const EncodeSet kWebRoot("\"'<>\\", 0x20);
        AppendPercentEncoded(url, webRoot, kWebRoot);
        if (webRoot.back() != '/')
            url.push_back('/');
    }
    static const EncodeSet kRelative("\"#%'<>?\\^`{|}", 0x21);
    AppendPercentEncoded(url, rel, kRelative);
    return url;
}

} // namespace tovaro
