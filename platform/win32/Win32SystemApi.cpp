#include "platform/win32/Win32SystemApi.h"

#include <windows.h>

#include <lmcons.h>
#include <shlobj.h>

#include <vector>

#include "util/win32/WideText.h"

std::optional<std::string> CWin32SystemApi::QueryLoginName() {
    wchar_t buffer[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!::GetUserNameW(buffer, &size)) return std::nullopt;
    return NarrowBuffer(buffer, UNLEN + 1);
}

std::optional<std::string> CWin32SystemApi::QueryWindowsDirectory() {
    // The call tells the room it needs when the buffer is too small; a folder
    // that does not fit MAX_PATH is still the folder, not an empty text.
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    UINT length = ::GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = ::GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) return std::nullopt;
    return Narrow(std::wstring_view(buffer.data(), length));
}

std::optional<std::string> CWin32SystemApi::QueryLocalAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0])
        return std::nullopt;
    return NarrowBuffer(folder, MAX_PATH);
}

ColorRef CWin32SystemApi::QuerySystemColor(ESystemColor which) {
    return ::GetSysColor(which == ESystemColor::Window ? COLOR_WINDOW : COLOR_BTNFACE);
}
