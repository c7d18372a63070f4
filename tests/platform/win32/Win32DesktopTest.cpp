// The desktop seam's real calls under Wine: the foreground, the lock
// time-out, and the password check across threads, which needs the other
// thread's input state.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/Win32DesktopApi.h"

namespace {

DesktopWindow Desk(HWND window) { return reinterpret_cast<DesktopWindow>(window); }

TEST(Win32Desktop, TheLockTimeOutIsSetAndReadBack) {
    CWin32DesktopApi desktop;
    const std::uint32_t saved = desktop.ForegroundLockTimeout();
    desktop.SetForegroundLockTimeout(12345);
    EXPECT_EQ(desktop.ForegroundLockTimeout(), 12345u);
    desktop.SetForegroundLockTimeout(saved);
    EXPECT_EQ(desktop.ForegroundLockTimeout(), saved);
}

TEST(Win32Desktop, BringsAWindowToTheFront) {
    CWin32DesktopApi desktop;
    const HWND first = ::CreateWindowExA(0, "STATIC", "first", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 100, 80,
                                         nullptr, nullptr, nullptr, nullptr);
    const HWND second = ::CreateWindowExA(0, "STATIC", "second", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 100, 80,
                                          nullptr, nullptr, nullptr, nullptr);
    for (HWND window : {first, second, first}) {
        EXPECT_TRUE(BringToForeground(desktop, Desk(window)));
        EXPECT_EQ(desktop.ForegroundWindow(), Desk(window));
    }
    ::DestroyWindow(first);
    ::DestroyWindow(second);
}

// A window with a password box, a plain box and a control of another class
// with the same style bit, made and run by a thread of its own, as another
// program's would be.
class CPasswordWindowThread {
public:
    CPasswordWindowThread() {
        m_thread = std::thread([this] { Run(); });
        while (!m_ready) ::Sleep(5);
    }
    ~CPasswordWindowThread() {
        ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    // Puts the focus on the control `which` (0 password, 1 plain, 2 the
    // other class) in that thread, with its window in front.
    void Focus(int which) {
        ::PostThreadMessageA(m_threadId, WM_APP, static_cast<WPARAM>(which), 0);
        m_done = false;
        while (!m_done) ::Sleep(5);
    }

private:
    void Run() {
        m_threadId = ::GetCurrentThreadId();
        const HWND window = ::CreateWindowExA(0, "STATIC", "log on", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 300,
                                              200, nullptr, nullptr, nullptr, nullptr);
        const DWORD child = WS_CHILD | WS_VISIBLE | WS_BORDER;
        const HWND controls[] = {
            ::CreateWindowExA(0, "Edit", "", child | ES_PASSWORD, 10, 10, 200, 20, window, nullptr, nullptr, nullptr),
            ::CreateWindowExA(0, "EDIT", "", child, 10, 40, 200, 20, window, nullptr, nullptr, nullptr),
            ::CreateWindowExA(0, "BUTTON", "", child | 0x20, 10, 70, 200, 20, window, nullptr, nullptr, nullptr),
        };
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists from here on
        m_ready = true;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == WM_APP) {
                ::SetForegroundWindow(window);
                ::SetFocus(controls[message.wParam]);
                m_done = true;
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::DestroyWindow(window);
    }

    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_done{false};
};

TEST(Win32Desktop, SeesAPasswordBoxWithTheFocusInAnotherThread) {
    CWin32DesktopApi desktop;
    CPasswordWindowThread other;
    const struct {
        int control;
        bool password;
    } cases[] = {{0, true}, {1, false}, {2, false}, {0, true}};
    for (const auto& c : cases) {
        other.Focus(c.control);
        EXPECT_EQ(desktop.IsPasswordFieldFocused(), c.password) << "control " << c.control;
    }
}

}  // namespace
