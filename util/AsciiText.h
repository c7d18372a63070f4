#pragma once
// Comparisons that fold only the ASCII letters A-Z and a-z; every other byte,
// including those of multi-byte characters, must match exactly.

#include <cstddef>
#include <string_view>

inline char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

inline bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
    return true;
}

inline bool StartsWithNoCaseAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCaseAscii(text.substr(0, prefix.size()), prefix);
}
