#include "util/win32/Subclass.h"

#include <commctrl.h>

bool CWindowSubclass::Install(HWND window, Handler handler) {
    Remove();
    if (!window || !::IsWindow(window) || !handler) return false;
    m_handler = std::move(handler);
    if (!::SetWindowSubclass(window, &Procedure, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_window = window;
    return true;
}

void CWindowSubclass::Remove() {
    if (m_window) ::RemoveWindowSubclass(m_window, &Procedure, reinterpret_cast<UINT_PTR>(this));
    m_window = nullptr;
}

LRESULT CWindowSubclass::CallNext(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_window ? ::DefSubclassProc(m_window, message, wParam, lParam) : 0;
}

LRESULT CALLBACK CWindowSubclass::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
    auto* self = reinterpret_cast<CWindowSubclass*>(data);
    if (message == WM_NCDESTROY) {
        // The last message the window gets: the subclass goes with it, and
        // the object may outlive the window.
        self->Remove();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    try {
        if (const std::optional<LRESULT> result = self->m_handler(message, wParam, lParam)) return *result;
    } catch (...) {
        // Unwinding through the system's frames is not allowed; the
        // window's own handling is the safest answer.
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
