#include "platform/win32/Win32ComputerName.h"

#include <windows.h>

std::optional<std::string> QueryComputerName() {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof buffer;
    if (!::GetComputerNameA(buffer, &size)) return std::nullopt;
    return std::string(buffer, size);
}
