#include "wide.h"

#include "base/path_text.h"

#include <windows.h>

namespace tovaro::windows {

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n
        = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::string ProcessCurrentDirectory()
{
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring buf(n, L'\0');
    const DWORD got = ::GetCurrentDirectoryW(n, buf.data());
    if (got == 0 || got >= n)
        return "C:\\";
    buf.resize(got);
    return AbsolutePath(Narrow(buf), {}, PathStyle::Windows);
}

std::wstring ApiPath(const std::string& path)
{
    const std::string full = AbsolutePath(path, ProcessCurrentDirectory(), PathStyle::Windows);
    if (full.size() >= 2 && full[0] == '\\' && full[1] == '\\')
        return L"\\\\?\\UNC\\" + Widen(std::string_view(full).substr(2));
    if (full.size() >= 2 && full[1] == ':')
        return L"\\\\?\\" + Widen(full);
    return Widen(full); // nothing to make it absolute against: as it stands
}

} // namespace tovaro::windows
