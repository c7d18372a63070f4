#pragma once
// The program keeps its text in UTF-8; the system's Unicode (W) functions
// take UTF-16. These two are the one place where one becomes the other, at
// each call. Neither fails: a byte that is not UTF-8 and a lone surrogate
// both come out as U+FFFD, so text from outside never makes a call go
// without its string.

#include <cstddef>
#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The UTF-16 units of a buffer the system filled up to its first NUL (or
// its end when there is none).
std::string NarrowBuffer(const wchar_t* buffer, std::size_t size);

// The code units that the first `characters` characters of `text` take: a
// surrogate pair counts as one character and is never cut in two.
std::size_t UnitsOfCharacters(std::wstring_view text, std::size_t characters);

// The longest start of `text` of at most `units` units that does not end
// between the two halves of a surrogate pair: for fixed buffers.
std::size_t FitUnits(std::wstring_view text, std::size_t units);

// The bytes of the longest start of `utf8` that takes at most `bytes` and
// does not end inside a character.
std::size_t Utf8PrefixLength(std::string_view utf8, std::size_t bytes);
