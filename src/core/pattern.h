// The two pattern languages of the file selection: the recursive add's own
// pattern (whole path, case-sensitive) and the file box's file-name wildcards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovaro {

/// The filter that the file selection and tovaro-gen's --tree start with.
inline constexpr const char* kDefaultTreeFilter = "*.ht*";

/// A pattern compiled into items, matched against the bytes of a text a character at a time.
class PatternItems {
public:
    /// From the pattern's characters; false when it is not valid. With `wildcardsOnly` only "*"
    /// and "?" are special.
    bool Compile(const std::vector<uint32_t>& pattern, bool wildcardsOnly);
    bool Match(std::string_view text, bool utf8) const;

private:
    enum class ItemKind { Literal, Any, Digit, List };
    struct Item {
        ItemKind kind = ItemKind::Literal;
        uint32_t ch = 0;
        bool negate = false;
        bool star = false;
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
    };
    static bool MatchOne(const Item& it, uint32_t c);
    std::vector<Item> items;
};

/// The recursive add's pattern, compiled once for many paths (see MatchesPattern).
class PathPattern {
public:
    explicit PathPattern(std::string_view pattern);
    /// False for an unclosed "[" or a range written high-low; such a pattern matches nothing.
    bool IsValid() const { return valid_; }
    bool Matches(std::string_view text) const;

private:
    bool MatchesLiteralSegments(std::string_view text) const;

    bool patternUtf8_;
    bool patternAscii_ = true;
    bool literalOnly_ = false;
    std::vector<std::string> segments_; // with literalOnly_: the texts between the stars
    bool valid_ = false;
    PatternItems items_;
};

/// The file box's patterns, compiled once for a whole listing (see MatchesFileNamePattern).
class FileNamePattern {
public:
    explicit FileNamePattern(std::string_view patterns);
    bool Matches(std::string_view name) const;

private:
    bool matchAll_ = false;
    std::vector<PatternItems> alternatives_;
};

/// True when the whole text matches the whole pattern: "?" one character, "*" any run, "#" one
/// digit, "[abc]", "[a-z]", "[!0-9]" one character of (or not of) a list; anything else only
/// itself, case-sensitive. A pattern that is not valid (an unclosed "[", a range written
/// high-low) matches nothing. Pattern and text are each read as characters: UTF-8 where they
/// are valid UTF-8, otherwise one byte a character.
bool MatchesPattern(std::string_view text, std::string_view pattern);

/// The file box's rule: the file name against one or more patterns separated by ";", with "*"
/// and "?" as wildcards, without regard to letter case; "*.*" matches every name.
bool MatchesFileNamePattern(std::string_view name, std::string_view patterns);

} // namespace tovaro
