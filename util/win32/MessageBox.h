#pragma once
// The one way the program shows a message box: titled "Mivlet", with the
// exclamation icon when the caller names no icon, owned by the program's
// active top-level window. Returns the button pressed.

#include <windows.h>

#include <string>

UINT AddDefaultIcon(UINT style);
int ShowMessageBox(const std::string& text, UINT style = MB_OK);
