#pragma once
// The seam for who has the user's attention: the window in front, bringing
// a window forward, flashing a caption, the default sound, and whether the
// user is typing into a password box of any program. The chat window's
// reactions to new messages go through it, so that tests decide what the
// system answers; Wine's foreground rules are not those of Windows.

#include <cstdint>

// An opaque top-level window; on Win32 the HWND value itself. 0 is none.
using DesktopWindow = std::uintptr_t;
inline constexpr DesktopWindow kNoDesktopWindow = 0;

class CDesktopApi {
public:
    virtual ~CDesktopApi() = default;

    // GetForegroundWindow.
    virtual DesktopWindow ForegroundWindow() = 0;
    // SetForegroundWindow: true when the system took the request.
    virtual bool SetForegroundWindow(DesktopWindow window) = 0;
    // SPI_GETFOREGROUNDLOCKTIMEOUT and SPI_SETFOREGROUNDLOCKTIMEOUT, the
    // latter for this session only (not saved to the user profile).
    virtual std::uint32_t ForegroundLockTimeout() = 0;
    virtual void SetForegroundLockTimeout(std::uint32_t milliseconds) = 0;
    // FlashWindow: the caption and taskbar button in the other state when
    // `invert`, back in the normal state otherwise.
    virtual void FlashCaption(DesktopWindow window, bool invert) = 0;
    // MessageBeep(MB_OK).
    virtual void PlayDefaultSound() = 0;
    // The keyboard focus of the program in front (of its last active
    // pop-up) is an "EDIT" box with the password style.
    virtual bool IsPasswordFieldFocused() = 0;
    // Milliseconds since the user's last key press, click or mouse move in
    // this session, any program's (GetLastInputInfo against GetTickCount).
    virtual std::uint32_t MillisecondsSinceInput() = 0;
    // A key of the keyboard is held down now, in any program
    // (GetAsyncKeyState); mouse buttons do not count.
    virtual bool IsKeyDown() = 0;
};

// Makes `window` the foreground window with the foreground lock time-out
// lifted for that one request and put back afterwards; true when `window`
// is in front then (at once when it already was).
bool BringToForeground(CDesktopApi& desktop, DesktopWindow window);
