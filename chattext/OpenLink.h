#pragma once
// Opens a link of the history through the shell: the shell's "open" verb on
// the text, with a message when nothing can open it, owned by the program's
// window in front of `window`.

#include <windows.h>

#include <string>

bool OpenLink(const std::string& text, bool reportErrors, HWND window);
