// The history's right-click menu, its Open command and its own keys.

#include <windowsx.h>

#include <algorithm>

#include "chattext/ChatTextCtrl.h"
#include "chattext/OpenLink.h"
#include "chattext/OpenSelection.h"
#include "resources/ResourceIds.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

bool IsControlHeld() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

void EnableItem(HMENU menu, UINT id, bool enabled) {
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

LRESULT CChatTextCtrl::OnMessageFilter(const MSGFILTER& filter) {
    switch (filter.msg) {
    case WM_RBUTTONDOWN: {
        POINT point{GET_X_LPARAM(filter.lParam), GET_Y_LPARAM(filter.lParam)};
        ::ClientToScreen(m_window, &point);
        OnContextMenu(point);
        return 0;  // the control then takes the press as usual
    }
    case WM_KEYDOWN:
        return OnKeyDown(filter.wParam) ? 1 : 0;
    default:
        return 0;
    }
}

// Ctrl+V is taken and dropped: nothing is pasted into the history.
bool CChatTextCtrl::OnKeyDown(WPARAM key) {
    if (!IsControlHeld()) return false;
    switch (key) {
    case 'A': SelectAll(); return true;
    case 'C': Send(WM_COPY); return true;
    case 'X': Send(WM_CUT); return true;
    case 'V': return true;
    default: return false;
    }
}

void CChatTextCtrl::OnContextMenu(POINT screen) {
    if (::GetFocus() != m_window) ::SetFocus(m_window);
    if (!m_contextMenuEnabled) return;
    if (screen.x == -1 && screen.y == -1) screen = KeyboardMenuPoint();

    const CMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.Get(), IDM_HISTORY_POPUP) : nullptr;
    if (!popup) return;

    const CHARRANGE selection = Selection();
    const LONG length = CharacterCount();
    EnableItem(popup, ID_COPY, selection.cpMin != selection.cpMax);
    EnableItem(popup, ID_CLEAR_ALL, length > 0);
    EnableItem(popup, ID_SELECT_ALL, length > 0 && !(selection.cpMin == 0 && selection.cpMax >= length));

    const std::string selected = StripSelection(SelectedText());
    ::AppendMenuW(popup, MF_STRING | (IsOpenableSelection(selected) ? MF_ENABLED : MF_GRAYED), ID_HISTORY_OPEN,
                  Widen(OpenItemText(selected, kOpenLabelLimit)).c_str());

    const int command = ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y,
                                         0, m_window, nullptr);
    if (command) OnMenuCommand(command);
}

// Beside the end of the selection: right by a quarter of the default font's
// height (at least 5 pixels) and down by half of it. Setting the selection
// again brings it into view first.
POINT CChatTextCtrl::KeyboardMenuPoint() const {
    const CHARRANGE selection = Selection();
    Select(selection.cpMin, selection.cpMax);
    CHARFORMATW format{};
    format.cbSize = sizeof format;
    Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const CWindowDc screenDc(nullptr);
    const LONG height = ::GetDeviceCaps(screenDc.Get(), LOGPIXELSY) * format.yHeight / 1440;
    POINTL at{};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), std::max(selection.cpMin, selection.cpMax));
    POINT point{at.x + std::max<LONG>(height / 4, 5), at.y + height / 2};
    ::ClientToScreen(m_window, &point);
    return point;
}

bool CChatTextCtrl::OnMenuCommand(int id) {
    switch (id) {
    case ID_COPY: Send(WM_COPY); return true;
    case ID_SELECT_ALL: SelectAll(); return true;
    case ID_CLEAR_ALL: ClearAll(); return true;
    case ID_HISTORY_OPEN: OpenSelection(); return true;
    default: return false;
    }
}

void CChatTextCtrl::SelectAll() {
    ::SetFocus(m_window);
    Select(0, -1);
}

// The same text the Open item names, whole rather than shortened. Only a
// selection of one line is a name that the shell can be given. The focus
// comes back to the history from the boxes the opener may show.
void CChatTextCtrl::OpenSelection() {
    if (!m_contextMenuEnabled || !m_opener) return;
    const std::string text = StripSelection(SelectedText());
    if (!IsOpenableSelection(text)) return;
    ::SetFocus(m_window);
    m_opener->OpenSelectedName(text, SenderAt(Selection().cpMin), reinterpret_cast<WindowRef>(m_window));
}

std::string CChatTextCtrl::SenderAt(LONG position) const {
    const CShownMessage* shown = m_shown.At(position);
    return shown ? shown->record.computer : std::string();
}

// WM_GETTEXTLENGTH counts each line end as two characters, the selection as
// one: measured that way, everything selected would never look so.
LONG CChatTextCtrl::CharacterCount() const {
    GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, kUtf16CodePage};
    return static_cast<LONG>(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request)));
}
