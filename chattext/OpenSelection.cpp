#include "chattext/OpenSelection.h"

#include "util/Utf8Text.h"

namespace {

constexpr std::string_view kLeading = "\r\n \t\"";
constexpr std::string_view kTrailing = "\r\n \t\\/\"";
constexpr std::string_view kEllipsis = "...";

}  // namespace

std::string StripSelection(std::string_view selected) {
    const std::size_t first = selected.find_first_not_of(kLeading);
    if (first == std::string_view::npos) return {};
    selected.remove_prefix(first);
    const std::size_t last = selected.find_last_not_of(kTrailing);
    return std::string(last == std::string_view::npos ? std::string_view() : selected.substr(0, last + 1));
}

bool IsOpenableSelection(std::string_view stripped) {
    return !stripped.empty() && stripped.find_first_of("\r\n") == std::string_view::npos;
}

std::string OpenItemText(std::string_view stripped, std::size_t labelLimit) {
    if (!IsOpenableSelection(stripped)) return "&Open \"\"";
    // The limit counts characters, and a cut never halves one.
    std::string label(stripped);
    if (CountUtf8Characters(label) > labelLimit && labelLimit >= kEllipsis.size()) {
        label = std::string(FirstUtf8Characters(stripped, labelLimit - kEllipsis.size()));
        label += kEllipsis;
    }
    // A menu takes "&" for the mark of its access key; "&&" shows one.
    std::string shown;
    for (const char c : label) {
        if (c == '&') shown += '&';
        shown += c;
    }
    return "&Open \"" + shown + "\"";
}

std::string OpenSelectionFailureText(std::string_view stripped) {
    return "Could not open \"" + std::string(stripped) + "\"!";
}
