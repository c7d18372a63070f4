#include "platform/win32/Win32ShellApi.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

static_assert(sizeof(WindowRef) == sizeof(HWND));

bool CWin32ShellApi::OpenWithShell(const std::string& target, WindowRef owner) {
    const HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", Widen(target).c_str(), nullptr,
                                             nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool CWin32ShellApi::PathExists(const std::string& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(Widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

// What WinExec does, which has no Unicode form: the program is found from
// the command line's first word, and the window shown.
bool CWin32ShellApi::RunCommandLine(const std::string& commandLine) {
    std::wstring line = Widen(commandLine);
    if (line.empty()) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    const CHandle process(started.hProcess);
    const CHandle thread(started.hThread);
    return true;
}

// Explorer from the Windows folder by its full name, never found along a
// search path; a name with a double quote could end the argument early and
// is no file name anyway.
bool CWin32ShellApi::ShowInFolder(const std::string& path) {
    if (path.empty() || path.find('"') != std::string::npos) return false;
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring explorer = std::wstring(windows, length) + L"\\explorer.exe";
    const std::wstring parameters = L"/select,\"" + Widen(path) + L"\"";
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", explorer.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string CWin32ShellApi::ProgramExtensions() {
    const DWORD size = ::GetEnvironmentVariableW(L"PATHEXT", nullptr, 0);
    if (size == 0) return {};
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"PATHEXT", buffer.data(), size);
    return length < size ? Narrow(std::wstring_view(buffer.data(), length)) : std::string();
}
