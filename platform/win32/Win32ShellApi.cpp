#include "platform/win32/Win32ShellApi.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>


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

// Explorer from the Windows folder by its full name, never found along a
// search path; a name with a double quote could end the argument early and
// is no file name anyway.
bool CWin32ShellApi::ShowInFolder(const std::string& path) {
    if (path.empty() || path.find('"') != std::string::npos) return false;
    char windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::string explorer = std::string(windows) + "\\explorer.exe";
    const std::string parameters = "/select,\"" + path + "\"";
    const HINSTANCE result =
        ::ShellExecuteA(nullptr, "open", explorer.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string CWin32ShellApi::ProgramExtensions() {
    const DWORD size = ::GetEnvironmentVariableA("PATHEXT", nullptr, 0);
    if (size == 0) return {};
    std::vector<char> buffer(size, '\0');
    const DWORD length = ::GetEnvironmentVariableA("PATHEXT", buffer.data(), size);
    return length < size ? std::string(buffer.data(), length) : std::string();
}
