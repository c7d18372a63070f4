#include "chattext/OpenLink.h"

#include <windows.h>

#include <shellapi.h>

#include "util/win32/MessageBox.h"

bool OpenLink(const std::string& text, bool reportErrors, HWND window) {
    if (text.empty()) return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
    if (reportErrors) ShowMessageBox(window, "Mivlet could not open \"" + text + "\".");
    return false;
}
