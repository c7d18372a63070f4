#pragma once
// The notification-area icon: the small program icon with the tip from the
// string table; a press, a double click or Enter asks for the chat window,
// a right click, the menu key or Shift+F10 opens the tray menu. It speaks
// version 4 of the shell's interface where the shell knows it, and comes
// back when the taskbar is re-created, if it was shown.

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>

#include "platform/DesktopApi.h"

// The shell's Shell_NotifyIconW; tests put a recorder in its place.
using CNotifyIconCall = std::function<bool(DWORD command, NOTIFYICONDATAW& data)>;
bool CallShellNotifyIcon(DWORD command, NOTIFYICONDATAW& data);

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
    // removes it; `tooltip` (UTF-8) replaces the tip when given. A failed call
    // leaves no icon shown.
    bool SetIcon(HICON icon, const char* tooltip);

    bool IsShown() const { return m_data.hIcon != nullptr; }
    const NOTIFYICONDATAW& Data() const { return m_data; }

    // The result when `message` was the icon's callback or the shell's
    // "TaskbarCreated" and has been handled.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    // NOTIFYICON_VERSION_4 once the shell took it; 0 for the first version.
    UINT Version() const { return m_version; }
    LRESULT OnTaskbarCreated();

private:
    void LoadTooltip();
    void SetTooltip(const char* text);
    void AskForVersion4();
    void ShowMenu(HMENU popup, POINT point);

    NOTIFYICONDATAW m_data{};
    CDesktopApi& m_desktop;
    CNotifyIconCall m_shell;
    UINT m_version = 0;
};

// "TaskbarCreated", registered once per process.
UINT TaskbarCreatedMessage();
