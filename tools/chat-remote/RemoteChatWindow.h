#pragma once
// The running chat window of this session, seen from another process: the
// same search a second copy of the program makes, and the few controls a
// test needs to read or press.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct CToEntry {
    std::string text;
    bool selected = false;
};

class CRemoteChatWindow {
public:
    // The top-level window that answers the "is Mivlet" query; none when no
    // copy runs or it does not answer in time.
    static std::optional<CRemoteChatWindow> Find();

    std::vector<CToEntry> ToEntries() const;
    // Selects the To: entry equal to `text` (case as the list compares it);
    // false when there is none.
    bool SelectTo(const std::string& text) const;
    void SetMessageText(const std::string& text) const;
    // Presses Send! and returns once the window has handled it; false when
    // it did not within `timeoutMs` (a message box may be waiting).
    bool ClickSend(UINT timeoutMs) const;
    std::string HistoryText() const;
    void Show() const;
    // As Escape does: hidden, the program keeps running.
    void Hide() const;
    // "hidden", "minimised", "maximised" or "shown", then the window's
    // rectangle on the screen.
    std::string State() const;

private:
    explicit CRemoteChatWindow(HWND dialog) : m_dialog(dialog) {}
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

    HWND m_dialog;
};
