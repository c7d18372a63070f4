#pragma once
// Byte-wise text rules that know only ASCII. Comparisons fold only the
// letters A-Z and a-z; white space is only the six characters of the C
// locale. Every other byte, including those of multi-byte characters, is
// left as it is and must match exactly.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = AsciiToLower(c);
    return lowered;
}
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

inline bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
    return true;
}

// Hash and equality of keys that ignore ASCII letter case, for maps that
// are searched with text straight from a datagram: no lower-cased copy of
// the key is made for a look-up.
struct CNoCaseAsciiHash {
    std::size_t operator()(std::string_view text) const {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        for (const char c : text) hash = (hash ^ static_cast<unsigned char>(AsciiToLower(c))) * 1099511628211ull;
        return static_cast<std::size_t>(hash);
    }
};
struct CNoCaseAsciiEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCaseAscii(a, b); }
};

inline bool StartsWithNoCaseAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCaseAscii(text.substr(0, prefix.size()), prefix);
}

// Space, tab, LF, VT, FF and CR.
inline bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline std::string_view TrimAsciiSpace(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
    return text;
}

// One space for each tab, so that lengths and positions stay as they were;
// true when there was any.
inline bool ReplaceTabsWithSpaces(std::string& text) {
    if (text.find('\t') == std::string::npos) return false;
    std::replace(text.begin(), text.end(), '\t', ' ');
    return true;
}
