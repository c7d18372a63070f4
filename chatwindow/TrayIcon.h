#pragma once
// The notification-area icon: the small icon with the tip "Mivlet"; a click
// asks for the chat window and a right click opens the tray menu. It comes
// back when the taskbar is re-created.

#include <windows.h>

class CTrayIcon {
public:
    CTrayIcon(UINT id, HWND window, UINT callbackMessage, HICON icon);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon();  // removes the icon

    bool IsShown() const { return m_shown; }
    // True when `message` was the icon's and has been handled.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Add();
    void OnTrayNotification(LPARAM event);
    void ShowMenu();

    UINT m_id;
    HWND m_window;
    UINT m_callbackMessage;
    HICON m_icon;
    bool m_shown = false;
};

// "TaskbarCreated", registered once per process.
UINT TaskbarCreatedMessage();
