#include "platform/codepage/CodePage1252.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "util/Utf8Text.h"

namespace {

// The characters of the bytes 80 to 9F; every other byte is the code point
// of its own value (Latin-1).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharacterOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

std::optional<unsigned char> ByteOf(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<unsigned char>(character);
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), character);
    if (found == kHighControls.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + std::distance(kHighControls.begin(), found));
}

}  // namespace

std::string CCodePage1252::ToUtf8(std::string_view codePageBytes) const {
    std::string utf8;
    utf8.reserve(codePageBytes.size());
    for (const char c : codePageBytes) AppendUtf8(utf8, CharacterOf(static_cast<unsigned char>(c)));
    return utf8;
}

std::optional<std::string> CCodePage1252::FromUtf8(std::string_view utf8) const {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const CUtf8Step step = ReadUtf8(utf8, at);
        if (!step.codePoint) return std::nullopt;
        const auto byte = ByteOf(*step.codePoint);
        if (!byte) return std::nullopt;
        bytes += static_cast<char>(*byte);
        at += step.length;
    }
    return bytes;
}
