#include "path_text.h"

#include "ascii.h"

#include <algorithm>
#include <vector>

namespace tovaro {

bool IsSeparator(char c, PathStyle style)
{
    return c == '/' || (c == '\\' && style == PathStyle::Windows);
}

std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style)
{
    std::string out(dir);
    if (out.empty() || !IsSeparator(out.back(), style))
        out.push_back(style == PathStyle::Windows ? '\\' : '/');
    out.append(name);
    return out;
}

namespace {

// The parts of a path between separators, without empty parts and ".", each ".." taking away
// the part before it (none above the root).
std::vector<std::string_view> NormalParts(std::string_view rest, char separator)
{
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const size_t sep = rest.find(separator);
        const std::string_view part = rest.substr(0, sep);
        rest = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

// True when an absolute path is already in normal form: no empty, "." or ".." part and no
// closing separator (the root "/" aside).
bool IsNormalAbsolute(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    if (path.size() == 1)
        return true;
    if (path.back() == '/')
        return false;
    // From separator to separator: each test looks at the part after one.
    for (size_t i = 0; i != std::string_view::npos; i = path.find('/', i + 1)) {
        const size_t next = i + 1;
        if (next < path.size() && path[next] == '/')
            return false;
        if (next < path.size() && path[next] == '.') {
            const size_t after = next + 1;
            if (after == path.size() || path[after] == '/')
                return false; // "."
            if (path[after] == '.' && (after + 1 == path.size() || path[after + 1] == '/'))
                return false; // ".."
        }
    }
    return true;
}

} // namespace

namespace {

std::string PosixAbsolutePath(std::string_view path, std::string_view cwd)
{
    // Lists from find(1) and site builds are usually normal already.
    if (IsNormalAbsolute(path))
        return std::string(path);
    std::string full;
    if (!path.empty() && path.front() == '/') {
        full = path;
    } else {
        full = cwd;
        full += '/';
        full += path;
    }
    std::string out;
    for (std::string_view part : NormalParts(full, '/')) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of the root of a Windows path written with "\" only: "C:\" (3), "C:" (2) or
// "\\server\share\"; 0 for a path without one.
size_t WindowsRootLength(std::string_view p)
{
    if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':')
        return p.size() > 2 && p[2] == '\\' ? 3 : 2;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        const size_t server = p.find('\\', 2);
        if (server == std::string_view::npos)
            return p.size();
        const size_t share = p.find('\\', server + 1);
        return share == std::string_view::npos ? p.size() : share + 1;
    }
    return 0;
}

// The normal Windows form: the root of the path as the file system names it ("C:",
// "\\server\share"), then the parts below it, each after one "\".
std::string WindowsAbsolutePath(std::string_view path, std::string_view cwd)
{
    std::string s(path);
    for (char& c : s) {
        if (c == '/')
            c = '\\';
    }
    // "\\?\C:\..." and "\\?\UNC\server\share\..." lift the length limit; inside the program
    // paths are kept without it, and the platform layer adds it again.
    if (s.rfind("\\\\?\\", 0) == 0 || s.rfind("\\??\\", 0) == 0) {
        s.erase(0, 4);
        if (StartsWithIgnoringCase(s, "UNC\\"))
            s.replace(0, 4, "\\\\");
    }

    std::string root;
    std::string_view rest;
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        const size_t rootLength = WindowsRootLength(s);
        root = s.substr(0, rootLength);
        if (!root.empty() && root.back() == '\\')
            root.pop_back();
        rest = std::string_view(s).substr(rootLength);
    } else if (s.size() >= 2 && IsAsciiLetter(s[0]) && s[1] == ':') {
        root = { AsciiUpper(s[0]), ':' };
        rest = std::string_view(s).substr(2);
        const bool driveRelative = rest.empty() || rest.front() != '\\';
        if (driveRelative && StartsWithIgnoringCase(cwd, root)
            && !(cwd.size() > 1 && cwd[0] == '\\'))
            return WindowsAbsolutePath(std::string(cwd) + "\\" + std::string(rest), {});
    } else {
        if (cwd.empty()) {
            root.clear(); // nothing to make it absolute against: normalised as it stands
            rest = s;
        } else {
            const std::string base = WindowsAbsolutePath(cwd, {});
            if (!s.empty() && s.front() == '\\') // "\docs": below the root of the current drive
                return WindowsAbsolutePath(
                    base.substr(0, WindowsRootLength(base)) + s.substr(1), {});
            return WindowsAbsolutePath(base + "\\" + s, {});
        }
    }

    const std::vector<std::string_view> parts = NormalParts(rest, '\\');
    std::string out = root;
    for (std::string_view part : parts) {
        if (!out.empty())
            out += '\\';
        out += part;
    }
    if (parts.empty() && !root.empty())
        out += '\\';
    return out;
}

} // namespace

std::string AbsolutePath(std::string_view path, std::string_view cwd, PathStyle style)
{
    return style == PathStyle::Windows ? WindowsAbsolutePath(path, cwd)
                                       : PosixAbsolutePath(path, cwd);
}

std::string ParentDirectory(std::string_view path, PathStyle style)
{
    size_t sep = style == PathStyle::Windows ? path.find_last_of("\\/") : path.rfind('/');
    if (sep == std::string_view::npos)
        return ".";
    const size_t root = style == PathStyle::Windows ? WindowsRootLength(path) : 1;
    if (sep < root) {
        std::string out(path.substr(0, std::max(root, sep + 1)));
        if (!IsSeparator(out.back(), style))
            out.push_back(style == PathStyle::Windows ? '\\' : '/');
        return out;
    }
    return std::string(path.substr(0, sep));
}

std::optional<std::string_view> BelowFolder(
    std::string_view path, std::string_view dir, PathStyle style)
{
    if (dir.empty() || path.size() < dir.size())
        return std::nullopt;
    if (style == PathStyle::Windows ? !StartsWithIgnoringCase(path, dir)
                                    : path.substr(0, dir.size()) != dir)
        return std::nullopt;
    if (IsSeparator(dir.back(), style))
        return path.substr(dir.size());
    if (path.size() > dir.size() && IsSeparator(path[dir.size()], style))
        return path.substr(dir.size() + 1);
    return std::nullopt;
}

bool SameFolder(std::string_view a, std::string_view b, PathStyle style)
{
    return a.size() == b.size()
        && (style == PathStyle::Windows ? StartsWithIgnoringCase(a, b) : a == b);
}

} // namespace tovaro
