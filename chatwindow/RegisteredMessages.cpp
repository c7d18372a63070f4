#include "chatwindow/RegisteredMessages.h"

UINT IsMivletApplicationMessage() {
    static const UINT message = ::RegisterWindowMessageA("Mivlet_IsMivletApplication");
    return message;
}

UINT ShowChatWndMessage() {
    static const UINT message = ::RegisterWindowMessageA("Mivlet_ShowChatWnd");
    return message;
}
