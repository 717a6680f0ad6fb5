// Whole buffers through the head scanner and the cleaning: how tests, the fuzzer and the
// benchmarks call them. The program itself feeds the scanner a chunk at a time and cleans the
// fields in place.
#pragma once

#include "core/head_scan.h"
#include "core/script_clean.h"

#include <string_view>

namespace tovaro {

inline PageFields ExtractFields(std::string_view bytes)
{
    HeadScanner scanner;
    scanner.Feed(bytes);
    scanner.Finish();
    return scanner.TakeFields();
}

inline PageFields CleanForScript(PageFields raw)
{
    CleanForScriptInPlace(raw);
    return raw;
}

} // namespace tovaro
