#include "platform/MailslotPath.h"

#include "util/AsciiText.h"

std::optional<CMailslotPath> ParseMailslotPath(std::string_view path) {
    if (path.substr(0, 2) != "\\\\") return std::nullopt;
    path.remove_prefix(2);
    const std::size_t hostEnd = path.find('\\');
    if (hostEnd == std::string_view::npos || hostEnd == 0) return std::nullopt;
    std::string_view rest = path.substr(hostEnd + 1);
    constexpr std::string_view kMailslot = "mailslot\\";
    if (!StartsWithNoCaseAscii(rest, kMailslot) || rest.size() == kMailslot.size()) return std::nullopt;
    return CMailslotPath{std::string(path.substr(0, hostEnd)), LowerAscii(rest.substr(kMailslot.size()))};
}
