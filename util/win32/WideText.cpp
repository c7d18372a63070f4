#include "util/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <climits>

// Without MB_ERR_INVALID_CHARS or WC_ERR_INVALID_CHARS the conversions put
// U+FFFD in place of what does not convert, which is what a shown text
// wants; a length beyond an int is cut rather than failing the whole text.
std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX));
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(utf16.size(), INT_MAX));
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, narrow.data(), needed, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return narrow;
}

std::string NarrowBuffer(const wchar_t* buffer, std::size_t size) {
    if (!buffer) return {};
    const std::wstring_view text(buffer, size);
    return Narrow(text.substr(0, text.find(L'\0')));
}

std::size_t UnitsOfCharacters(std::wstring_view text, std::size_t characters) {
    std::size_t units = 0;
    for (std::size_t counted = 0; counted < characters && units < text.size(); ++counted) {
        const bool pair = units + 1 < text.size() && IS_HIGH_SURROGATE(text[units]) && IS_LOW_SURROGATE(text[units + 1]);
        units += pair ? 2 : 1;
    }
    return units;
}

std::size_t FitUnits(std::wstring_view text, std::size_t units) {
    if (text.size() <= units) return text.size();
    return units > 0 && IS_HIGH_SURROGATE(text[units - 1]) ? units - 1 : units;
}

std::size_t Utf8PrefixLength(std::string_view utf8, std::size_t bytes) {
    if (utf8.size() <= bytes) return utf8.size();
    std::size_t length = bytes;
    // Back over continuation bytes to the start of the character that the
    // cut would split.
    while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
    return length;
}
