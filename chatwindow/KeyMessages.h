#pragma once
// Reading key-down messages as the chat window's pre-translation sees them.

#include <windows.h>

// Alt held: the context bit of the message, or the keyboard state (the
// bit is only set for system keys, and F10 is a system key without Alt).
inline bool IsAltKeyHeld(const MSG& message) {
    return (message.lParam & (1 << 29)) != 0 || ::GetKeyState(VK_MENU) < 0;
}

inline bool IsShiftKeyHeld() { return ::GetKeyState(VK_SHIFT) < 0; }

// An auto-repeat key-down of a held key: the previous-state bit is set.
inline bool IsKeyRepeat(const MSG& message) { return (message.lParam & (1 << 30)) != 0; }
