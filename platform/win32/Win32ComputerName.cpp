#include "platform/win32/Win32ComputerName.h"

#include <windows.h>

#include "util/win32/WideText.h"

std::optional<std::string> QueryComputerName() {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(buffer, &size)) return std::nullopt;
    return Narrow(std::wstring_view(buffer, size));
}
