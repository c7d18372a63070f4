#include "util/win32/ModulePath.h"

#include <windows.h>

#include "util/Paths.h"
#include "util/win32/WideText.h"

std::optional<std::string> GetModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut: better no path than a wrong one.
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return NormalizePath(Narrow(std::wstring_view(path, length)));
}
