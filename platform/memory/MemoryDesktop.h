#pragma once
// The desktop as the test decides it: which window is in front, whether the
// system grants the foreground, and whether a password box has the focus;
// flashes, sounds and lock time-out changes are recorded.

#include <cstdint>
#include <vector>

#include "platform/DesktopApi.h"

class CMemoryDesktop final : public CDesktopApi {
public:
    struct CFlash {
        DesktopWindow window;
        bool invert;
        bool operator==(const CFlash& other) const { return window == other.window && invert == other.invert; }
    };
    struct CForegroundRequest {
        DesktopWindow window;
        std::uint32_t lockTimeout;  // the time-out in force at the request
    };

    DesktopWindow foreground = kNoDesktopWindow;
    // Whether SetForegroundWindow moves the foreground (Windows' lock may
    // refuse it).
    bool grantForeground = true;
    bool passwordFocused = false;
    // The virtual clock of input: now and the last input, in milliseconds
    // of the tick count; a key held.
    std::uint32_t now = 100000;
    std::uint32_t lastInput = 0;
    bool keyDown = false;
    std::uint32_t lockTimeout = 200000;
    std::vector<CFlash> flashes;
    std::vector<CForegroundRequest> foregroundRequests;
    int sounds = 0;

    DesktopWindow ForegroundWindow() override { return foreground; }
    bool SetForegroundWindow(DesktopWindow window) override {
        foregroundRequests.push_back({window, lockTimeout});
        if (grantForeground) foreground = window;
        return grantForeground;
    }
    std::uint32_t ForegroundLockTimeout() override { return lockTimeout; }
    void SetForegroundLockTimeout(std::uint32_t milliseconds) override { lockTimeout = milliseconds; }
    void FlashCaption(DesktopWindow window, bool invert) override { flashes.push_back({window, invert}); }
    void PlayDefaultSound() override { ++sounds; }
    bool IsPasswordFieldFocused() override { return passwordFocused; }
    std::uint32_t MillisecondsSinceInput() override { return now - lastInput; }
    bool IsKeyDown() override { return keyDown; }
};
