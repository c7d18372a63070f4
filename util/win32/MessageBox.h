#pragma once
// The one way the program shows a message box: titled "Mivlet", with the
// exclamation icon when the caller names no icon. Returns the button
// pressed.

#include <windows.h>

#include <string>

UINT AddDefaultIcon(UINT style);

// The box is owned by the window in front of `window`'s top-level window:
// that window itself, or the modal window open over it. Whichever program
// is active, the program's own window is disabled while the box is open.
// Without a window the box has no owner.
HWND MessageBoxOwner(HWND window);
int ShowMessageBox(HWND window, const std::string& text, UINT style = MB_OK);
