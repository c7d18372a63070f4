#include "util/Paths.h"

#include "util/AsciiText.h"

std::string NormalizePath(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return LowerAscii(path);
}

std::optional<std::string> FolderOf(std::string_view path) {
    const auto slash = path.find_last_of('\\');
    if (slash == std::string_view::npos || slash == 0) return std::nullopt;
    return std::string(path.substr(0, slash));
}
