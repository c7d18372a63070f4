#include "chatwindow/TrayIcon.h"

#include <windowsx.h>

#include <cwchar>
#include <string>

#include "chatwindow/ChatDlg.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool CallShellNotifyIcon(DWORD command, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(command, &data) != FALSE; }

namespace {

constexpr std::size_t kTipUnits = 64;

DesktopWindow ToDesktop(HWND window) { return reinterpret_cast<DesktopWindow>(window); }

}  // namespace

// The record in the layout of Windows Vista and later, which version 4 of
// the interface needs.
CTrayIcon::CTrayIcon(UINT id, CDesktopApi& desktop, CNotifyIconCall shell)
    : m_desktop(desktop), m_shell(std::move(shell)) {
    m_data.cbSize = sizeof m_data;
    m_data.uID = id;
    LoadTooltip();
}

CTrayIcon::~CTrayIcon() { SetIcon(0u); }

void CTrayIcon::SetNotificationWnd(HWND window, UINT message) {
    m_data.hWnd = window;
    m_data.uCallbackMessage = message;
}

void CTrayIcon::LoadTooltip() {
    wchar_t text[kTipUnits] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), m_data.uID, text, static_cast<int>(kTipUnits));
    SetTooltip(NarrowBuffer(text, kTipUnits).c_str());
}

// The first layout has room for 64 units; the tip keeps its terminating
// zero within them and is never cut inside a character.
void CTrayIcon::SetTooltip(const char* text) {
    std::wmemset(m_data.szTip, L'\0', sizeof m_data.szTip / sizeof m_data.szTip[0]);
    const std::wstring tip = Widen(text);
    std::wmemcpy(m_data.szTip, tip.data(), FitUnits(tip, kTipUnits - 1));
}

bool CTrayIcon::SetIcon(UINT resourceId) {
    if (resourceId == 0) return SetIcon(static_cast<HICON>(nullptr), nullptr);
    LoadTooltip();
    const HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    return SetIcon(icon, nullptr);
}

bool CTrayIcon::SetIcon(HICON icon, const char* tooltip) {
    m_data.uFlags = 0;
    DWORD command = NIM_DELETE;
    if (icon) {
        command = m_data.hIcon ? NIM_MODIFY : NIM_ADD;
        m_data.hIcon = icon;
        m_data.uFlags = NIF_ICON;
    } else if (!m_data.hIcon) {
        return true;
    }
    if (tooltip) SetTooltip(tooltip);
    if (m_data.szTip[0]) m_data.uFlags |= NIF_TIP;
    if (m_data.uCallbackMessage && m_data.hWnd) m_data.uFlags |= NIF_MESSAGE;
    const bool done = m_shell(command, m_data);
    if (command == NIM_DELETE || !done) m_data.hIcon = nullptr;
    if (command == NIM_ADD && done) AskForVersion4();
    return done;
}

// Version 4 tells of the keyboard too (Enter on the icon, the menu key,
// Shift+F10) and says where the menu belongs. A shell that does not know
// it keeps sending the first version's mouse messages.
void CTrayIcon::AskForVersion4() {
    m_data.uVersion = NOTIFYICON_VERSION_4;
    m_version = m_shell(NIM_SETVERSION, m_data) ? NOTIFYICON_VERSION_4 : 0;
}

std::optional<LRESULT> CTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (message == TaskbarCreatedMessage())
        result = OnTaskbarCreated();
    else if (message == m_data.uCallbackMessage && m_data.uCallbackMessage != 0)
        result = OnTrayNotification(wParam, lParam);
    if (result == 0) return std::nullopt;
    return result;
}

// Only an icon that was shown comes back; one whose add failed stays away.
LRESULT CTrayIcon::OnTaskbarCreated() {
    if (const HICON icon = m_data.hIcon) {
        m_data.hIcon = nullptr;
        SetIcon(icon, nullptr);
    }
    return 0;
}

// Version 4: the event and the icon's id in the low and high word of
// `lParam`, the place the menu belongs in `wParam`. The first version: the
// id in `wParam`, the mouse message in `lParam`, the menu at the pointer.
LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    const bool version4 = m_version == NOTIFYICON_VERSION_4;
    const UINT id = version4 ? HIWORD(lParam) : static_cast<UINT>(wParam);
    const UINT event = LOWORD(lParam);
    const bool show = event == WM_LBUTTONDOWN || event == WM_LBUTTONDBLCLK || (version4 && event == NIN_KEYSELECT);
    const bool menuAsked = version4 ? event == WM_CONTEXTMENU : event == WM_RBUTTONUP;
    if (id != m_data.uID || (!show && !menuAsked)) return 0;
    const CMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_data.uID)));
    const HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return 0;
    if (show) {
        ::SendMessageW(m_data.hWnd, WM_COMMAND, ::GetMenuItemID(popup, 0), 0);
        return 1;
    }
    POINT point{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
    if (!version4) ::GetCursorPos(&point);
    ShowMenu(popup, point);
    return 1;
}

// The menu closes on a click elsewhere only while its owner is the
// foreground window; that activation must not show the hidden chat window,
// so the ready flag is off for it. The program that was in front gets the
// foreground back afterwards.
void CTrayIcon::ShowMenu(HMENU popup, POINT point) {
    ::SetMenuDefaultItem(popup, 0, TRUE);
    CChatDlg* const chat = GetChatDlg();
    if (!chat) return;
    const DesktopWindow previous = m_desktop.ForegroundWindow();
    const bool ready = chat->IsReady();
    chat->SetReady(false);
    m_desktop.SetForegroundWindow(ToDesktop(chat->Hwnd()));
    chat->SetReady(ready);
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, 0, chat->Hwnd(), nullptr);
    // Without a message after it, a second click on the icon would not
    // open the menu again.
    ::PostMessageW(chat->Hwnd(), WM_NULL, 0, 0);
    if (previous != kNoDesktopWindow) m_desktop.SetForegroundWindow(previous);
}
