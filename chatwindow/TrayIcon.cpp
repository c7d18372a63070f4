#include "chatwindow/TrayIcon.h"

#include <shellapi.h>

#include <cstring>

#include "chatwindow/ChatDlg.h"
#include "resources/ResourceIds.h"
#include "util/win32/Handles.h"

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

namespace {

NOTIFYICONDATAA IconData(UINT id, HWND window) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return data;
}

}  // namespace

CTrayIcon::CTrayIcon(UINT id, HWND window, UINT callbackMessage, HICON icon)
    : m_id(id), m_window(window), m_callbackMessage(callbackMessage), m_icon(icon) {
    m_shown = Add();
}

CTrayIcon::~CTrayIcon() {
    if (!m_shown) return;
    NOTIFYICONDATAA data = IconData(m_id, m_window);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

bool CTrayIcon::Add() {
    NOTIFYICONDATAA data = IconData(m_id, m_window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = m_callbackMessage;
    data.hIcon = m_icon;
    std::strncpy(data.szTip, "Mivlet", sizeof data.szTip - 1);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool CTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarCreatedMessage()) {
        m_shown = Add();
        return true;
    }
    if (message != m_callbackMessage || wParam != m_id) return false;
    OnTrayNotification(lParam);
    return true;
}

void CTrayIcon::OnTrayNotification(LPARAM event) {
    switch (LOWORD(event)) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SendMessageA(m_window, WM_COMMAND, ID_CHAT, 0);
        break;
    case WM_RBUTTONUP:
        ShowMenu();
        break;
    default:
        break;
    }
}

void CTrayIcon::ShowMenu() {
    const CMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.Get(), IDM_TRAY_POPUP) : nullptr;
    if (!popup) return;
    POINT point{};
    ::GetCursorPos(&point);
    // The menu closes when the user clicks elsewhere only while its owner is
    // the foreground window; that activation must not show the hidden chat
    // window, so the ready flag is off for it.
    if (CChatDlg* chat = GetChatDlg()) {
        const bool ready = chat->IsReady();
        chat->SetReady(false);
        ::SetForegroundWindow(m_window);
        chat->SetReady(ready);
    }
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, 0, m_window, nullptr);
    ::PostMessageA(m_window, WM_NULL, 0, 0);
}
