#pragma once
// Looks at the first pop-up menu that opens on this thread while the probe
// lives: a thread timer fires inside the menu's own loop, reads the items
// and the menu window's place, and then closes the menu or picks an item by
// its access key. A menu that never opens leaves the probe unshown.

#include <windows.h>

#include <string>
#include <vector>

class CMenuProbe {
public:
    struct CItem {
        std::string text;
        bool greyed = false;
        bool separator = false;
    };

    // `accessKey` 0 closes the menu; a letter picks the item it marks.
    explicit CMenuProbe(char accessKey = 0) : m_accessKey(accessKey) {
        Armed() = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &CMenuProbe::OnTimer);
    }
    CMenuProbe(const CMenuProbe&) = delete;
    CMenuProbe& operator=(const CMenuProbe&) = delete;
    ~CMenuProbe() {
        ::KillTimer(nullptr, m_timer);
        if (Armed() == this) Armed() = nullptr;
    }

    bool shown = false;
    std::vector<CItem> items;
    RECT place{};

private:
    static CMenuProbe*& Armed() {
        static thread_local CMenuProbe* armed = nullptr;
        return armed;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        CMenuProbe* probe = Armed();
        if (!probe || probe->shown) return;
        const HWND window = ::FindWindowA("#32768", nullptr);
        if (!window || !::IsWindowVisible(window)) return;
        const auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
        if (!menu) return;
        probe->shown = true;
        ::GetWindowRect(window, &probe->place);
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[256] = {};
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
            info.dwTypeData = text;
            info.cch = sizeof text - 1;
            ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
            probe->items.push_back({text, (info.fState & MFS_GRAYED) != 0, (info.fType & MFT_SEPARATOR) != 0});
        }
        if (probe->m_accessKey)
            ::PostMessageA(window, WM_CHAR, static_cast<WPARAM>(probe->m_accessKey), 0);
        else
            ::EndMenu();
    }

    char m_accessKey;
    UINT_PTR m_timer = 0;
};
