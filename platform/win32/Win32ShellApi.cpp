#include "platform/win32/Win32ShellApi.h"

#include <windows.h>

#include <shellapi.h>

static_assert(sizeof(WindowRef) == sizeof(HWND));

bool CWin32ShellApi::OpenWithShell(const std::string& target, WindowRef owner) {
    const HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(owner), "open", target.c_str(), nullptr,
                                             nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool CWin32ShellApi::PathExists(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

bool CWin32ShellApi::RunCommandLine(const std::string& commandLine) {
    return ::WinExec(commandLine.c_str(), SW_SHOW) > 31;
}
