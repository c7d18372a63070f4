#include "chatwindow/ChatSettings.h"

#include "platform/win32/Win32SystemApi.h"

std::string CDefaultChatSettings::CurrentUserName(bool* unset) {
    if (unset) *unset = true;
    return CWin32SystemApi().QueryLoginName().value_or(std::string());
}
