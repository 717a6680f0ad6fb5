#include "extract.h"

#include "text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tovaro {

namespace {

constexpr std::string_view kEndOfHead = "</head>";

// The text of piece `piece` up to its first blank.
std::string_view BeforeFirstBlank(std::string_view piece)
{
    size_t blank = piece.find(' ');
    return blank == std::string_view::npos ? piece : piece.substr(0, blank);
}

void ExamineTitle(std::string_view line, std::string_view lower, PageFields& fields)
{
    if (lower.find("<title") == std::string_view::npos)
        return;
    size_t start;
    size_t p = lower.find("<title>");
    if (p != std::string_view::npos) {
        start = p + 7;
    } else {
        // A title tag with attributes, such as <title lang="de">: its text starts after the
        // tag's ">".
        size_t t = lower.find("<title");
        if (t + 6 >= lower.size() || (lower[t + 6] != ' ' && lower[t + 6] != '\t'))
            return;
        size_t close = lower.find('>', t);
        if (close == std::string_view::npos)
            return;
        start = close + 1;
    }
    size_t q = lower.find("</title>");
    if (q == std::string_view::npos || q < start)
        return;
    fields.title.assign(line.substr(start, q - start));
}

void ExamineMeta(std::string_view tagToEnd, PageFields& fields)
{
    std::string tag = ReplaceAll(tagToEnd, "<meta ", "");
    size_t gt = tag.find('>');
    if (gt != std::string::npos)
        tag.resize(gt);

    std::vector<std::string_view> pieces;
    std::string_view rest(tag);
    for (;;) {
        size_t eq = rest.find('=');
        if (eq == std::string_view::npos) {
            pieces.push_back(rest);
            break;
        }
        pieces.push_back(rest.substr(0, eq));
        rest.remove_prefix(eq + 1);
    }

    for (size_t j = 0; j < pieces.size(); ++j) {
        if (j + 1 >= pieces.size() || LowerAscii(pieces[j]) != "name")
            continue;
        std::string key = LowerAscii(BeforeFirstBlank(pieces[j + 1]));
        if (j + 2 >= pieces.size())
            continue;
        if (key == "\"keywords\"")
            fields.keywords = RemoveChar(pieces[j + 2], '"');
        else if (key == "\"description\"")
            fields.description = RemoveChar(pieces[j + 2], '"');
    }
}

} // namespace

bool ExamineHeadLine(std::string_view line, PageFields& fields)
{
    std::string lowerLine = LowerAscii(line);
    std::string_view lower(lowerLine);
    bool end = false;
    size_t head = lower.find(kEndOfHead);
    if (head != std::string_view::npos) {
        // Text before "</head>" on its line still counts: minified heads are one line.
        line = line.substr(0, head);
        lower = lower.substr(0, head);
        end = true;
    }

    ExamineTitle(line, lower, fields);

    for (size_t m = lower.find("<meta"); m != std::string_view::npos;
         m = lower.find("<meta", m + 5)) {
        ExamineMeta(line.substr(m), fields);
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
        size_t stop = chunk.find_first_of("\r\n", pos);
        size_t segEnd = stop == std::string_view::npos ? chunk.size() : stop;
        std::string window = skipTail_;
        window.append(chunk.substr(pos, segEnd - pos));
        if (LowerAscii(window).find(kEndOfHead) != std::string::npos) {
            done_ = true;
            return true;
        }
        size_t keep = kEndOfHead.size() - 1;
        skipTail_ = window.size() > keep ? window.substr(window.size() - keep) : window;
        pos = segEnd;
        if (stop == std::string_view::npos)
            return false;
        // The overlong line ends here.
        skipping_ = false;
        skipTail_.clear();
        if (chunk[stop] == '\r') {
            if (stop + 1 < chunk.size()) {
                pos = stop + (chunk[stop + 1] == '\n' ? 2 : 1);
            } else {
                afterCr_ = true;
                pos = stop + 1;
            }
        } else {
            pos = stop + 1;
        }
        return false;
    }
    return false;
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
        size_t stop = chunk.find_first_of("\r\n", pos);
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
        line_.append(chunk.substr(pos, segEnd - pos));
        if (stop == std::string_view::npos)
            break;
        EndLine();
        if (chunk[stop] == '\r') {
            if (stop + 1 < chunk.size()) {
                pos = stop + (chunk[stop + 1] == '\n' ? 2 : 1);
            } else {
                afterCr_ = true;
                pos = stop + 1;
            }
        } else {
            pos = stop + 1;
        }
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
    for (;;) {
        ssize_t n = ::read(fd, buffer.data(), buffer.size());
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
        result.fields = scanner.Fields();
    return result;
}

PageFields CleanForScript(const PageFields& raw)
{
    PageFields out;
    out.keywords = RemoveChar(raw.keywords, '\'');
    out.title = RemoveChar(raw.title, '\'');
    out.description = RemoveChar(raw.description, '\'');
    out.keywords = LowerText(ReplaceAll(out.keywords, "\\", "\\\\"));
    out.title = ReplaceAll(out.title, "\\", "\\\\");
    out.description = ReplaceAll(out.description, "\\", "\\\\");
    // A "<" could end the page's script element ("</script>"); the escape keeps its value.
    out.keywords = ReplaceAll(out.keywords, "<", "\\x3C");
    out.title = ReplaceAll(out.title, "<", "\\x3C");
    out.description = ReplaceAll(out.description, "<", "\\x3C");
    return out;
}

namespace {

void AppendPercentEncoded(
    std::string& out, std::string_view text, std::string_view specials, unsigned char below)
{
    static const char* hex = "0123456789ABCDEF";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < below || c == 0x7F || specials.find(ch) != std::string_view::npos) {
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
        AppendPercentEncoded(url, webRoot, "\"'<>\\", 0x20);
        if (webRoot.back() != '/')
            url.push_back('/');
    }
    AppendPercentEncoded(url, rel, "\"#%'<>?\\^`{|}", 0x21);
    return url;
}

} // namespace tovaro
