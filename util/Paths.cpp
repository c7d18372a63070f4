#include "util/Paths.h"

#include "util/AsciiText.h"

std::string NormalizePath(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return LowerAscii(path);
}
