#include "chatwindow/RegisteredMessages.h"

UINT IsMivletApplicationMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Mivlet_IsMivletApplication");
    return message;
}

UINT ShowChatWndMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Mivlet_ShowChatWnd");
    return message;
}

HWND FindRunningChatWindow() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            DWORD_PTR answer = 0;
            if (::SendMessageTimeoutW(window, IsMivletApplicationMessage(), kIsMivletQuery, 0, kRunningCopyFlags,
                                      kRunningCopyTimeoutMs, &answer) &&
                static_cast<LRESULT>(answer) == kIsMivletReply) {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}
