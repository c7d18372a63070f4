#pragma once
// Runs a check while a pop-up menu of this thread is open: a thread timer
// fires inside the menu's own loop, finds the open menu window and hands it
// to the check, which closes the menu with a key or EndMenu.

#include <windows.h>

#include <functional>

class CMenuWatch {
public:
    // `inside` is called once, with the open menu's window.
    explicit CMenuWatch(std::function<void(HWND menu)> inside) : m_inside(std::move(inside)) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 30, &OnTimer);
    }
    CMenuWatch(const CMenuWatch&) = delete;
    CMenuWatch& operator=(const CMenuWatch&) = delete;
    ~CMenuWatch() {
        if (m_timer) ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool Seen() const { return m_seen; }

    // Chooses the item with mnemonic `key` of the open menu.
    static void Choose(HWND menu, char key) { ::PostMessageA(menu, WM_KEYDOWN, static_cast<WPARAM>(key), 0); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        CMenuWatch* watch = s_current;
        if (!watch || watch->m_seen) return;
        const HWND menu = ::FindWindowA("#32768", nullptr);
        if (!menu || !::IsWindowVisible(menu)) return;
        watch->m_seen = true;
        watch->m_inside(menu);
    }

    static inline CMenuWatch* s_current = nullptr;
    std::function<void(HWND)> m_inside;
    UINT_PTR m_timer = 0;
    bool m_seen = false;
};
