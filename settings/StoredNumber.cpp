#include "settings/StoredNumber.h"

#include <charconv>

#include "util/AsciiText.h"

std::optional<std::int32_t> ParseStoredNumber(std::string_view text) {
    text = TrimAsciiSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars takes no sign of its own here, so "--1" and "0x-1" fail.
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative ? magnitude > 0x80000000u : magnitude > 0xFFFFFFFFu) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}
