#include "chatwindow/ChatSettings.h"

#include <lmcons.h>

std::string CDefaultChatSettings::CurrentUserName(bool* unset) {
    if (unset) *unset = true;
    char name[UNLEN + 1] = {};
    DWORD size = sizeof name;
    if (!::GetUserNameA(name, &size)) return {};
    return name;
}
