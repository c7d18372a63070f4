#include "util/win32/MessageBox.h"

#include "util/win32/WideText.h"

UINT AddDefaultIcon(UINT style) { return (style & MB_ICONMASK) == 0 ? style | MB_ICONEXCLAMATION : style; }

HWND MessageBoxOwner(HWND window) {
    if (!window || !::IsWindow(window)) return nullptr;
    const HWND root = ::GetAncestor(window, GA_ROOT);
    const HWND popup = root ? ::GetLastActivePopup(root) : nullptr;
    return popup ? popup : root;
}

int ShowMessageBox(HWND window, const std::string& text, UINT style) {
    const HWND owner = MessageBoxOwner(window);
    const int result = ::MessageBoxW(owner, Widen(text).c_str(), L"Mivlet", AddDefaultIcon(style));
    // The box disabled its owner while it was open; a box closed from
    // outside must not leave the owner disabled.
    if (owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    return result;
}
