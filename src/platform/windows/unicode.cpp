#include "platform/unicode.h"

#include "wide.h"

#include <windows.h>

namespace tovaro {

std::string ComposeNfc(std::string_view utf8)
{
    const std::wstring wide = windows::Widen(utf8);
    if (wide.empty())
        return std::string(utf8);
    const int size = static_cast<int>(wide.size());
    int room = ::NormalizeString(NormalizationC, wide.c_str(), size, nullptr, 0);
    for (int attempt = 0; room > 0 && attempt < 4; ++attempt) {
        std::wstring composed(static_cast<size_t>(room), L'\0');
        const int n = ::NormalizeString(NormalizationC, wide.c_str(), size, composed.data(), room);
        if (n > 0) {
            composed.resize(static_cast<size_t>(n));
            return windows::Narrow(composed);
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        room = -n; // the estimate the call gives back
    }
    return std::string(utf8);
}

} // namespace tovaro
