// The page URL from a file path, a site directory and a web root: it can stand in the page's
// single-quoted script string and in the link's double-quoted attribute.
#include "core/page_url.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Three parts separated by NUL bytes.
    std::string parts[3];
    size_t k = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && k < 2)
            ++k;
        else
            parts[k].push_back(static_cast<char>(data[i]));
    }
    const std::string url
        = tovaro::MakePageUrl(parts[0], parts[1], parts[2], tovaro::PathStyle::Posix);
    for (char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || ch == '\'' || ch == '"' || ch == '<' || ch == '>'
            || ch == '\\')
            std::abort();
    }
    // The relative part never reaches up and out of the web root with a bare "?" or "#".
    if (parts[2].empty()
        && (url.find('?') != std::string::npos || url.find('#') != std::string::npos))
        std::abort();
    return 0;
}
