#include "platform/win32/Win32FileApi.h"

#include <windows.h>

#include "util/win32/WideText.h"

namespace {

static_assert(sizeof(FileHandle) == sizeof(HANDLE));

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

FileHandle CWin32FileApi::OpenExclusive(const std::string& path, EFileOpenFailure* failure) {
    const HANDLE file =
        ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (failure) {
        const DWORD error = file == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
        *failure = file != INVALID_HANDLE_VALUE                                       ? EFileOpenFailure::None
                   : error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? EFileOpenFailure::InUse
                                                                                       : EFileOpenFailure::Refused;
    }
    return reinterpret_cast<FileHandle>(file);
}

bool CWin32FileApi::CreateFolder(const std::string& path) {
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CWin32FileApi::ReadStart(FileHandle file, void* data, std::uint32_t size, std::uint32_t* read) {
    DWORD done = 0;
    LARGE_INTEGER start{};
    const bool ok = ::SetFilePointerEx(ToHandle(file), start, nullptr, FILE_BEGIN) &&
                    ::ReadFile(ToHandle(file), data, size, &done, nullptr);
    if (read) *read = done;
    return ok;
}

bool CWin32FileApi::SeekToEnd(FileHandle file, std::uint64_t* offset) {
    LARGE_INTEGER distance{}, position{};
    if (!::SetFilePointerEx(ToHandle(file), distance, &position, FILE_END)) return false;
    if (offset) *offset = static_cast<std::uint64_t>(position.QuadPart);
    return true;
}

bool CWin32FileApi::Write(FileHandle file, const void* data, std::uint32_t size, std::uint32_t* written) {
    DWORD done = 0;
    const BOOL ok = ::WriteFile(ToHandle(file), data, size, &done, nullptr);
    if (written) *written = done;
    return ok != FALSE;
}

bool CWin32FileApi::TruncateAt(FileHandle file, std::uint64_t offset) {
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(ToHandle(file), distance, nullptr, FILE_BEGIN) && ::SetEndOfFile(ToHandle(file));
}

bool CWin32FileApi::CloseFile(FileHandle file) { return ::CloseHandle(ToHandle(file)) != FALSE; }
