#include "util/win32/Dpi.h"

#include "util/win32/Handles.h"

namespace {

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);

// Looked up once: older Windows have no such function.
GetDpiForWindowCall GetDpiForWindowFunction() {
    static const auto call = [] {
        const HMODULE user = ::GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<GetDpiForWindowCall>(
                          reinterpret_cast<void*>(::GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return call;
}

}  // namespace

int WindowDpi(HWND window) {
    if (const GetDpiForWindowCall call = GetDpiForWindowFunction(); call && window)
        if (const UINT dpi = call(window); dpi > 0) return static_cast<int>(dpi);
    const CWindowDc screen(nullptr);
    const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;  // 100 %
}
