#include "messaging/LocalComputerName.h"

#include <cstdlib>

#include "messaging/TitleCase.h"

namespace {

std::optional<std::string> Usable(std::string_view name) {
    name = name.substr(0, kMaxComputerNameLength);
    if (name.empty()) return std::nullopt;
    return std::string{name};
}

}  // namespace

bool CanBeComputerName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (c == '*' || c == '\\' || c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

std::string ChooseLocalComputerName(const std::optional<std::string>& reported,
                                    const char* environmentName) {
    std::optional<std::string> name;
    if (reported) name = Usable(*reported);
    if (!name && environmentName) name = Usable(environmentName);
    std::string chosen = name.value_or(std::string{kFallbackComputerName});
    MakeTitleCase(chosen);
    return chosen;
}

std::string ChooseLocalComputerName(const std::optional<std::string>& reported) {
    return ChooseLocalComputerName(reported, std::getenv("COMPUTERNAME"));
}
