// Command line of tovaro-gen.
#pragma once

#include "core/page_writer.h"

#include <string>
#include <vector>

namespace tovaro::cli {

/// One source of files for the list, in the order of the command line.
struct FileSource {
    enum class Kind { File, FilesFrom, Tree } kind;
    std::string value;
};

struct Options {
    std::vector<FileSource> sources;
    std::string output = "lookup.htm";
    std::string siteDir; ///< empty: the folder that holds the output
    std::string webRoot;
    std::string filter = "*.ht*";
    Appearance appearance;
    bool strict = false;
    bool help = false;
    bool version = false;
};

struct ParseResult {
    bool ok = true;
    std::string error; ///< German message for a usage error
    Options options;
};

ParseResult ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;
extern const char* const kVersion;

} // namespace tovaro::cli
