#include "platform/unicode.h"

#include <cstdlib>
#include <utf8proc.h>

namespace tovaro {

std::string ComposeNfc(std::string_view utf8)
{
    utf8proc_uint8_t* composed = nullptr;
    const utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(utf8.data()),
        static_cast<utf8proc_ssize_t>(utf8.size()), &composed,
        static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    if (n < 0)
        return std::string(utf8);
    std::string out(reinterpret_cast<const char*>(composed), static_cast<size_t>(n));
    std::free(composed);
    return out;
}

} // namespace tovaro
