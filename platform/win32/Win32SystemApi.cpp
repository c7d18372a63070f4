#include "platform/win32/Win32SystemApi.h"

#include <windows.h>

#include <lmcons.h>
#include <shlobj.h>

#include <vector>

std::optional<std::string> CWin32SystemApi::QueryLoginName() {
    char buffer[UNLEN + 1] = {};
    DWORD size = sizeof buffer;
    if (!::GetUserNameA(buffer, &size)) return std::nullopt;
    return std::string(buffer);
}

std::optional<std::string> CWin32SystemApi::QueryWindowsDirectory() {
    // The call tells the room it needs when the buffer is too small; a folder
    // that does not fit MAX_PATH is still the folder, not an empty text.
    std::vector<char> buffer(MAX_PATH, '\0');
    UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length + 1, '\0');
        length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) return std::nullopt;
    return std::string(buffer.data(), length);
}

std::optional<std::string> CWin32SystemApi::QueryLocalAppDataFolder() {
    char folder[MAX_PATH] = {};
    if (::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0])
        return std::nullopt;
    return std::string(folder);
}

ColorRef CWin32SystemApi::QuerySystemColor(ESystemColor which) {
    return ::GetSysColor(which == ESystemColor::Window ? COLOR_WINDOW : COLOR_BTNFACE);
}
