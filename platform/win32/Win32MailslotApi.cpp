#include "platform/win32/Win32MailslotApi.h"

#include <windows.h>

#include <ctime>

namespace {

HANDLE ToHandle(PlatformHandle handle) { return reinterpret_cast<HANDLE>(handle); }
PlatformHandle FromHandle(HANDLE handle) { return reinterpret_cast<PlatformHandle>(handle); }

static_assert(sizeof(PlatformHandle) == sizeof(HANDLE));

}  // namespace

PlatformHandle CWin32MailslotApi::CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                                 std::uint32_t readTimeoutMs) {
    return FromHandle(::CreateMailslotA(path.c_str(), maxMessageSize, readTimeoutMs, nullptr));
}

bool CWin32MailslotApi::GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize,
                                        std::uint32_t* messageCount) {
    DWORD next = 0, count = 0;
    if (!::GetMailslotInfo(ToHandle(mailslot), nullptr, nextSize ? &next : nullptr,
                           messageCount ? &count : nullptr, nullptr))
        return false;
    if (nextSize) *nextSize = next;
    if (messageCount) *messageCount = count;
    return true;
}

bool CWin32MailslotApi::ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) {
    DWORD read = 0;
    const BOOL ok = ::ReadFile(ToHandle(file), buffer, toRead, &read, nullptr);
    if (bytesRead) *bytesRead = read;
    return ok != FALSE;
}

PlatformHandle CWin32MailslotApi::OpenForWrite(const std::string& path) {
    return FromHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CWin32MailslotApi::WriteFile(PlatformHandle file, const void* data, std::uint32_t size,
                                  std::uint32_t* bytesWritten) {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(ToHandle(file), data, size, &written, nullptr);
    if (bytesWritten) *bytesWritten = written;
    return ok != FALSE;
}

bool CWin32MailslotApi::CloseHandle(PlatformHandle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }
std::uint32_t CWin32MailslotApi::GetLastError() { return ::GetLastError(); }
void CWin32MailslotApi::SetLastError(std::uint32_t error) { ::SetLastError(error); }
std::uint32_t CWin32MailslotApi::GetTickCount() { return ::GetTickCount(); }
void CWin32MailslotApi::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
std::uint32_t CWin32MailslotApi::GetTime() { return static_cast<std::uint32_t>(std::time(nullptr)); }
