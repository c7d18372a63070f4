#include "messaging/LongDate.h"

#include <array>

#include "messaging/TitleCase.h"
#include "util/AsciiText.h"

namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

std::string MakeLongDate(std::string_view buildDate) {
    std::string text;
    for (char c : buildDate) text += AsciiToLower(c);

    std::size_t first = 0, last = text.size();
    while (first < last && IsSpace(text[first])) ++first;
    while (last > first && IsSpace(text[last - 1])) --last;
    text = text.substr(first, last - first);

    while (text.find("  ") != std::string::npos) ReplaceAll(text, "  ", " ");

    for (std::string_view month : kMonths) {
        std::string full;
        for (char c : month) full += AsciiToLower(c);
        ReplaceAll(text, full.substr(0, 3) + " ", full + " ");
    }

    if (std::size_t space = text.rfind(' '); space != std::string::npos) text.insert(space, ",");

    MakeTitleCase(text);
    return text;
}
