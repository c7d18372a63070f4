#include "messaging/LocalComputerName.h"

#include <algorithm>
#include <cstdlib>

#include "messaging/TitleCase.h"
#include "util/AsciiText.h"

namespace {

bool CanBeInComputerName(char c) {
    constexpr std::string_view kPunctuation = "!@#$%^&')(.-_{}~";
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || kPunctuation.find(c) != std::string_view::npos;
}

std::optional<std::string> Usable(std::string_view name) {
    name = name.substr(0, kMaxComputerNameLength);
    if (name.empty()) return std::nullopt;
    return std::string{name};
}

}  // namespace

bool CanBeComputerName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxComputerNameLength &&
           std::all_of(name.begin(), name.end(), CanBeInComputerName);
}

std::string ChooseLocalComputerName(const std::optional<std::string>& reported,
                                    const char* environmentName) {
    std::optional<std::string> name;
    if (reported) name = Usable(*reported);
    if (!name && environmentName) name = Usable(environmentName);
    std::string chosen = name.value_or(std::string{kFallbackComputerName});
    std::replace_if(chosen.begin(), chosen.end(), [](char c) { return !CanBeInComputerName(c); }, '-');
    MakeTitleCase(chosen);
    return chosen;
}

std::string ChooseLocalComputerName(const std::optional<std::string>& reported) {
    return ChooseLocalComputerName(reported, std::getenv("COMPUTERNAME"));
}
