#pragma once
// The notification-area icon: the small program icon with the tip from the
// string table; a press or double click asks for the chat window, a right
// click opens the tray menu. It comes back when the taskbar is re-created,
// if it was shown.

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>

#include "platform/DesktopApi.h"

// The shell's Shell_NotifyIconA; tests put a recorder in its place.
using CNotifyIconCall = std::function<bool(DWORD command, NOTIFYICONDATAA& data)>;
bool CallShellNotifyIcon(DWORD command, NOTIFYICONDATAA& data);

class CTrayIcon {
public:
    // Icon `id`, which is also the string that holds its tip and the menu
    // resource of its menu. Nothing shows yet.
    CTrayIcon(UINT id, CDesktopApi& desktop, CNotifyIconCall shell = &CallShellNotifyIcon);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon();  // removes the icon

    // The window that hears of clicks, through `message`.
    void SetNotificationWnd(HWND window, UINT message);
    // Shows icon resource `resourceId` with the tip read afresh; 0 removes
    // the icon.
    bool SetIcon(UINT resourceId);
    // Shows `icon` (adding it, or changing the one shown) or, with none,
    // removes it; `tooltip` replaces the tip when given. A failed call
    // leaves no icon shown.
    bool SetIcon(HICON icon, const char* tooltip);

    bool IsShown() const { return m_data.hIcon != nullptr; }
    const NOTIFYICONDATAA& Data() const { return m_data; }

    // The result when `message` was the icon's callback or the shell's
    // "TaskbarCreated" and has been handled.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotification(WPARAM id, LPARAM event);
    LRESULT OnTaskbarCreated();

private:
    void LoadTooltip();
    void SetTooltip(const char* text);
    void ShowMenu(HMENU popup);

    NOTIFYICONDATAA m_data{};
    CDesktopApi& m_desktop;
    CNotifyIconCall m_shell;
};

// "TaskbarCreated", registered once per process.
UINT TaskbarCreatedMessage();
