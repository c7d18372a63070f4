// password-box: a log-on window of another program for the end-to-end
// tests: a password box that has the keyboard focus and the foreground for
// HOLD milliseconds, then the focus moves to a plain box beside it.
//
//   password-box HOLD [LINGER]
//
// Prints "holding" once the password box has the focus and "released" when
// it gives it up, each on a line of its own, then stays open LINGER more
// milliseconds (default 10000).

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT_PTR kReleaseTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

struct CLogOn {
    HWND window = nullptr;
    HWND password = nullptr;
    HWND plain = nullptr;
    UINT linger = 10000;
};

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    const auto* logOn = reinterpret_cast<const CLogOn*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == kReleaseTimer && logOn) {
        ::KillTimer(window, kReleaseTimer);
        ::SetFocus(logOn->plain);
        Say("released");
        ::SetTimer(window, kEndTimer, logOn->linger, nullptr);
        return 0;
    }
    if (message == WM_TIMER && wParam == kEndTimer) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: password-box HOLD [LINGER]\n");
        return 2;
    }
    // No CR before each LF from the C runtime.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    CLogOn logOn;
    const UINT hold = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    if (argc > 2) logOn.linger = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));

    WNDCLASSW type{};
    type.lpfnWndProc = &WindowProc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"PasswordBoxTest";
    ::RegisterClassW(&type);
    logOn.window = ::CreateWindowExW(0, type.lpszClassName, L"Log on", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 320,
                                     140, nullptr, nullptr, type.hInstance, &logOn);
    const DWORD box = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    logOn.password = ::CreateWindowExW(0, L"EDIT", L"", box | ES_PASSWORD, 20, 20, 260, 22, logOn.window, nullptr,
                                       type.hInstance, nullptr);
    logOn.plain = ::CreateWindowExW(0, L"EDIT", L"", box, 20, 55, 260, 22, logOn.window, nullptr, type.hInstance, nullptr);
    if (!logOn.window || !logOn.password || !logOn.plain) return 1;
    ::SetForegroundWindow(logOn.window);
    ::SetFocus(logOn.password);
    Say("holding");
    ::SetTimer(logOn.window, kReleaseTimer, hold, nullptr);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
