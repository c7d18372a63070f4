#include "tools/chat-remote/RemoteChatWindow.h"

#include "chatwindow/RegisteredMessages.h"
#include "resources/ResourceIds.h"
#include "util/win32/WideText.h"

#include <algorithm>

namespace {

// The wide form on purpose: Wine hands the ANSI CB_GETLBTEXT of another
// process's combo box back with only its first character.
std::string ComboItemText(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? std::min(static_cast<std::size_t>(copied), text.size()) : 0);
    return Narrow(text);
}

}  // namespace

std::optional<CRemoteChatWindow> CRemoteChatWindow::Find() {
    const HWND found = FindRunningChatWindow();
    if (!found) return std::nullopt;
    return CRemoteChatWindow(found);
}

std::vector<CToEntry> CRemoteChatWindow::ToEntries() const {
    const HWND combo = Item(IDC_TO);
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    const LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    std::vector<CToEntry> entries;
    for (int i = 0; i < count; ++i) entries.push_back({ComboItemText(combo, i), i == selection});
    return entries;
}

bool CRemoteChatWindow::SelectTo(const std::string& text) const {
    const HWND combo = Item(IDC_TO);
    const LRESULT index =
        ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (index == CB_ERR) return false;
    return ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
}

void CRemoteChatWindow::SetMessageText(const std::string& text) const {
    ::SendMessageW(Item(IDC_MESSAGE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

bool CRemoteChatWindow::ClickSend(UINT timeoutMs) const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_SEND, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Item(IDC_SEND)), SMTO_NORMAL, timeoutMs, &result) != 0;
}

std::string CRemoteChatWindow::HistoryText() const {
    const HWND history = Item(IDC_HISTORY);
    const LRESULT length = ::SendMessageW(history, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(history, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? std::min(static_cast<std::size_t>(copied), text.size()) : 0);
    return Narrow(text);
}

void CRemoteChatWindow::Show() const { ::SendMessageW(m_dialog, ShowChatWndMessage(), 0, 0); }

void CRemoteChatWindow::Hide() const { ::SendMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0); }

std::string CRemoteChatWindow::State() const {
    const char* state = !::IsWindowVisible(m_dialog) ? "hidden"
                        : ::IsIconic(m_dialog)       ? "minimised"
                        : ::IsZoomed(m_dialog)       ? "maximised"
                                                     : "shown";
    RECT rect{};
    ::GetWindowRect(m_dialog, &rect);
    return std::string(state) + " " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
           std::to_string(rect.right) + " " + std::to_string(rect.bottom);
}
