#include "settings/ChatTextBackground.h"

#include <string>
#include <string_view>

#include "settings/SettingsStore.h"
#include "util/AsciiText.h"

namespace {

constexpr char kLite[] = "Lite";
constexpr char kDark[] = "Dark";

// Reads the text as atoi would: white space and one sign skipped, digits up
// to the first other character. The digits are gathered modulo 2^32, which
// keeps every number that the writer's "%u" produces and gives a defined
// result, not an overflow, for a longer one typed into the registry.
ColorRef ParseColorNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsAsciiSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
    return negative ? 0u - value : value;
}

}  // namespace

ColorRef GetChatTextBackground(const CSettingsStore& store, CSystemApi& system) {
    const std::string stored = store.Main().ReadString(kChatTextBackgroundValue, kLite);
    if (stored == kLite) return system.QuerySystemColor(ESystemColor::Window);
    if (stored == kDark) return system.QuerySystemColor(ESystemColor::ButtonFace);
    return ParseColorNumber(stored);
}

bool ChatTextBackgroundSetByPolicy(const CSettingsStore& store) {
    return store.Main().TextSetByPolicy(kChatTextBackgroundValue);
}

bool SetChatTextBackground(CSettingsStore& store, CSystemApi& system, ColorRef color) {
    std::string text;
    if (color == system.QuerySystemColor(ESystemColor::Window))
        text = kLite;
    else if (color == system.QuerySystemColor(ESystemColor::ButtonFace))
        text = kDark;
    else
        text = std::to_string(color);
    return store.Main().WriteString(kChatTextBackgroundValue, text);
}
