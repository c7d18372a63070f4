#pragma once
#include "platform/DesktopApi.h"

// The desktop seam on user32.
class CWin32DesktopApi final : public CDesktopApi {
public:
    DesktopWindow ForegroundWindow() override;
    bool SetForegroundWindow(DesktopWindow window) override;
    std::uint32_t ForegroundLockTimeout() override;
    void SetForegroundLockTimeout(std::uint32_t milliseconds) override;
    void FlashCaption(DesktopWindow window, bool invert) override;
    void PlayDefaultSound() override;
    bool IsPasswordFieldFocused() override;
    std::uint32_t MillisecondsSinceInput() override;
    bool IsKeyDown() override;
};
