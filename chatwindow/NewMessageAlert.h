#pragma once
// How the chat window draws attention: its caption flashing every 500 ms
// until it (or a modal window over it) comes to the front, bringing a
// window forward, the default sound, and the check that the user is not
// typing a password somewhere. Everything the system decides goes through
// the desktop seam.

#include <windows.h>

#include "chatwindow/PopUpGuard.h"
#include "platform/DesktopApi.h"

class CNewMessageAlert {
public:
    // `flashTimer` is the id of the dialog's timer that flashing runs on.
    CNewMessageAlert(CDesktopApi& desktop, UINT_PTR flashTimer) : m_desktop(desktop), m_flashTimer(flashTimer) {}

    void Attach(HWND dialog) { m_dialog = dialog; }

    // The user looks at the chat window or at a modal window of it.
    bool IsChatInFront();
    // Nothing when the chat window is in front; else the caption flashes
    // from the next tick on, starting with the flashed state.
    void StartFlashing();
    // One tick of the flashing: the other state while the chat is not in
    // front; once it is, the normal caption and the timer stopped.
    void OnFlashTick();
    bool IsFlashing() const { return m_flashing; }

    // `window` in front, past the foreground lock; false when it is gone or
    // the system refused.
    bool BringToForeground(HWND window);
    bool IsPasswordFieldFocused() { return m_desktop.IsPasswordFieldFocused(); }
    // The password box, a key held and the time since the last input, as
    // the pop-up guard weighs them.
    CUserInput UserInput() {
        return {m_desktop.IsPasswordFieldFocused(), m_desktop.IsKeyDown(), m_desktop.MillisecondsSinceInput()};
    }
    void PlaySound() { m_desktop.PlayDefaultSound(); }

    static constexpr UINT kFlashPeriodMs = 500;

private:
    CDesktopApi& m_desktop;
    UINT_PTR m_flashTimer;
    HWND m_dialog = nullptr;
    bool m_flashing = false;
    bool m_flashPhase = false;
};
