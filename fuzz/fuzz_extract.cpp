// One file's bytes through the head scan and the cleaning: the scan gives the fields of the
// plain line-by-line rules, fed whole or in chunks, and every cleaned field stands safely in a
// single-quoted script string.
#include "../tests/core/reference_extract.h"
#include "../tests/core/whole_scan.h"
#include "core/head_scan.h"
#include "core/page_writer.h"
#include "core/script_clean.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// No apostrophe, no line break, no "<", and every backslash starts "\\" or "\x3C".
bool SafeInScriptString(const std::string& s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\'' || c == '\r' || c == '\n' || c == '<')
            return false;
        if (c == '\\') {
            if (i + 1 < s.size() && s[i + 1] == '\\') {
                ++i;
            } else if (s.compare(i, 4, "\\x3C") == 0) {
                i += 3;
            } else {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tovaro::PageFields whole = tovaro::ExtractFields(bytes);
    // The reference is quadratic: large inputs (the crafted seeds) only test the time limit.
    if (size <= 16384) {
        const tovaro::PageFields expected = reference::Extract(bytes);
        if (whole.title != expected.title || whole.keywords != expected.keywords
            || whole.description != expected.description)
            std::abort();
    }

    // The same bytes in chunks whose size the first byte picks.
    const size_t chunk = size > 0 ? 1 + data[0] % 17 : 1;
    tovaro::HeadScanner scanner;
    for (size_t i = 0; i < size && !scanner.Done(); i += chunk)
        scanner.Feed(bytes.substr(i, chunk));
    scanner.Finish();
    const tovaro::PageFields parts = scanner.TakeFields();
    if (parts.title != whole.title || parts.keywords != whole.keywords
        || parts.description != whole.description)
        std::abort();

    const tovaro::PageFields clean = tovaro::CleanForScript(whole);
    if (!SafeInScriptString(clean.title) || !SafeInScriptString(clean.keywords)
        || !SafeInScriptString(clean.description))
        std::abort();

    // The entry lines: four lines, each ending in "';" and CR LF (entry 1: no script element
    // starts before it).
    std::string block;
    tovaro::AppendEntryBlock(block, 1, { "u", clean.keywords, clean.title, clean.description });
    size_t lines = 0;
    for (size_t p = block.find("\r\n"); p != std::string::npos; p = block.find("\r\n", p + 2)) {
        if (p < 2 || block.compare(p - 2, 2, "';") != 0)
            std::abort();
        ++lines;
    }
    if (lines != 4)
        std::abort();
    return 0;
}
