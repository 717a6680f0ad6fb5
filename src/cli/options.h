// Command line of tovaro-gen.
#pragma once

#include "core/page_writer.h"
#include "core/pattern.h"

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
    std::string filter = kDefaultTreeFilter;
    Appearance appearance;
    SearchRules search;
    bool strict = false;
    bool allowEmpty = false; ///< write a page even when the inputs select no file
    bool help = false;
    bool version = false;
};

struct ParseResult {
    bool ok = true;
    std::string error; ///< German message for a usage error
    Options options;
};

ParseResult ParseOptions(const std::vector<std::string>& args);

/// The usage text, made from the same table as the parser.
const std::string& Usage();
extern const char* const kVersion;

} // namespace tovaro::cli
