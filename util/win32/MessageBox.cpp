#include "util/win32/MessageBox.h"

UINT AddDefaultIcon(UINT style) { return (style & MB_ICONMASK) == 0 ? style | MB_ICONEXCLAMATION : style; }

int ShowMessageBox(const std::string& text, UINT style) {
    HWND owner = ::GetActiveWindow();
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    const int result = ::MessageBoxA(owner, text.c_str(), "Mivlet", AddDefaultIcon(style));
    // The box disabled its owner while it was open; a box closed from
    // outside must not leave the owner disabled.
    if (owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    return result;
}
