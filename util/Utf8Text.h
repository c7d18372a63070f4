#pragma once
// UTF-8, the form of every text inside the program. Text from outside
// (the network, files, standard input) may hold anything, so every reader
// here stays within the bytes given and turns what is not UTF-8 into
// U+FFFD, one per maximal ill-formed subsequence as Unicode recommends:
// the result is never more than three bytes per byte read.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;
// The byte order mark, as UTF-8.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The code point at `at`, and how many bytes it takes; an ill-formed
// sequence gives nothing and the length of its maximal subpart (at least 1).
struct CUtf8Step {
    std::optional<char32_t> codePoint;
    std::size_t length = 1;
};
CUtf8Step ReadUtf8(std::string_view text, std::size_t at);

void AppendUtf8(std::string& text, char32_t codePoint);

bool IsValidUtf8(std::string_view text);
// `text` with every ill-formed sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// The number of characters (code points; an ill-formed sequence counts as
// the one U+FFFD it reads as).
std::size_t CountUtf8Characters(std::string_view text);
// The first `characters` characters of `text`, never a character cut in two.
std::string_view FirstUtf8Characters(std::string_view text, std::size_t characters);
// The longest start of `text` within `maxBytes` that cuts no character.
std::string_view FirstUtf8Bytes(std::string_view text, std::size_t maxBytes);
