#include "util/Paths.h"

#include "platform/SystemApi.h"
#include "util/AsciiText.h"

std::string NormalizePath(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    std::string normal(path);
    for (char& c : normal) c = AsciiToLower(c);
    return normal;
}

std::string GetWindowsDir(CSystemApi& system) {
    const auto folder = system.QueryWindowsDirectory();
    return folder ? NormalizePath(*folder) : std::string();
}
