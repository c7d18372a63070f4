#pragma once
// Sees the messages of a window that its own class handles (a control of a
// dialog, the history) before that class does, through the common controls'
// SetWindowSubclass, which chains any number of them safely. The handler's
// answer stands when it gives one; nothing passes the message on to the
// window's own procedure. The subclass goes when its object does or when
// the window is destroyed, whichever comes first.

#include <windows.h>

#include <functional>
#include <optional>

class CWindowSubclass {
public:
    using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    CWindowSubclass() = default;
    CWindowSubclass(const CWindowSubclass&) = delete;
    CWindowSubclass& operator=(const CWindowSubclass&) = delete;
    ~CWindowSubclass() { Remove(); }

    // Replaces what this object had installed before (and is then the first
    // to see messages); false when the window is not there or the system
    // refused.
    bool Install(HWND window, Handler handler);
    void Remove();
    HWND Hwnd() const { return m_window; }
    bool IsInstalled() const { return m_window != nullptr; }

    // The window's own handling (and that of subclasses installed before this
    // one), for a handler that runs it first or with other arguments. Only
    // while the handler runs.
    LRESULT CallNext(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    HWND m_window = nullptr;
    Handler m_handler;
};
