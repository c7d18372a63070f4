#include "util/win32/ModulePath.h"

#include <windows.h>

#include "util/Paths.h"

std::optional<std::string> GetModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut: better no path than a wrong one.
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return NormalizePath(std::string(path, length));
}
