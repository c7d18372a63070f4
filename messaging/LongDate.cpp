#include "messaging/LongDate.h"

#include <array>

#include "messaging/TitleCase.h"
#include "util/AsciiText.h"

namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

std::string MakeLongDate(std::string_view buildDate) {
    std::string text = LowerAscii(TrimAsciiSpace(buildDate));

    while (text.find("  ") != std::string::npos) ReplaceAll(text, "  ", " ");

    for (std::string_view month : kMonths) {
        const std::string full = LowerAscii(month);
        ReplaceAll(text, full.substr(0, 3) + " ", full + " ");
    }

    if (std::size_t space = text.rfind(' '); space != std::string::npos) text.insert(space, ",");

    MakeTitleCase(text);
    return text;
}
