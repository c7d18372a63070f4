#include "platform/DesktopApi.h"

bool BringToForeground(CDesktopApi& desktop, DesktopWindow window) {
    if (window == kNoDesktopWindow) return false;
    if (desktop.ForegroundWindow() == window) return true;
    // Windows refuses the foreground to a program that has not had input
    // lately while the lock time-out runs; the user asked for this window
    // (or chose to have it pop up), so the lock is lifted for this request.
    const std::uint32_t saved = desktop.ForegroundLockTimeout();
    desktop.SetForegroundLockTimeout(0);
    desktop.SetForegroundWindow(window);
    desktop.SetForegroundLockTimeout(saved);
    return desktop.ForegroundWindow() == window;
}
