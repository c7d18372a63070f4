#include "platform/win32/Win32DesktopApi.h"

#include <windows.h>

namespace {

HWND ToHwnd(DesktopWindow window) { return reinterpret_cast<HWND>(window); }
DesktopWindow FromHwnd(HWND window) { return reinterpret_cast<DesktopWindow>(window); }

// Last active pop-ups normally end after one or two steps; the bound keeps
// a chain that comes back on itself from holding the thread.
constexpr int kMaxPopupSteps = 16;

}  // namespace

DesktopWindow CWin32DesktopApi::ForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

bool CWin32DesktopApi::SetForegroundWindow(DesktopWindow window) {
    return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

std::uint32_t CWin32DesktopApi::ForegroundLockTimeout() {
    DWORD timeout = 0;
    if (!::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0)) return 0;
    return timeout;
}

// The setting takes its value in the pointer argument itself, not behind it.
void CWin32DesktopApi::SetForegroundLockTimeout(std::uint32_t milliseconds) {
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                            reinterpret_cast<PVOID>(static_cast<UINT_PTR>(milliseconds)), 0);
}

void CWin32DesktopApi::FlashCaption(DesktopWindow window, bool invert) {
    ::FlashWindow(ToHwnd(window), invert ? TRUE : FALSE);
}

void CWin32DesktopApi::PlayDefaultSound() { ::MessageBeep(MB_OK); }

bool CWin32DesktopApi::IsPasswordFieldFocused() {
    HWND window = ::GetForegroundWindow();
    if (!window) return false;
    for (int step = 0; step < kMaxPopupSteps; ++step) {
        const HWND popup = ::GetLastActivePopup(window);
        if (!popup || popup == window) break;
        window = popup;
    }
    // GetFocus answers only for this thread's input state; joined to the
    // other program's thread for the one call, it answers for that one.
    const DWORD self = ::GetCurrentThreadId();
    const DWORD owner = ::GetWindowThreadProcessId(window, nullptr);
    const bool attached = owner != 0 && owner != self && ::AttachThreadInput(self, owner, TRUE);
    const HWND focus = ::GetFocus();
    if (attached) ::AttachThreadInput(self, owner, FALSE);
    if (!focus || (::GetWindowLongW(focus, GWL_STYLE) & ES_PASSWORD) == 0) return false;
    wchar_t className[80] = {};
    ::GetClassNameW(focus, className, 80);
    return ::lstrcmpiW(className, L"EDIT") == 0;
}

// Both clocks are the same 32-bit tick count: the difference is right
// across its wrap.
std::uint32_t CWin32DesktopApi::MillisecondsSinceInput() {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    if (!::GetLastInputInfo(&input)) return 0;  // unknown: as if just typed
    return static_cast<std::uint32_t>(::GetTickCount() - input.dwTime);
}

// From VK_BACK on: the codes below it are the mouse buttons and VK_CANCEL.
bool CWin32DesktopApi::IsKeyDown() {
    for (int key = VK_BACK; key <= 0xFE; ++key)
        if (::GetAsyncKeyState(key) & 0x8000) return true;
    return false;
}
