#include "chatwindow/TrayIcon.h"

#include <cstring>

#include "chatwindow/ChatDlg.h"
#include "util/win32/Handles.h"

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool CallShellNotifyIcon(DWORD command, NOTIFYICONDATAA& data) { return ::Shell_NotifyIconA(command, &data) != FALSE; }

namespace {

constexpr std::size_t kTipBytes = 64;

DesktopWindow ToDesktop(HWND window) { return reinterpret_cast<DesktopWindow>(window); }

}  // namespace

// The record in the shell's first layout: every shell since takes it, and
// the program uses no field of the later ones.
CTrayIcon::CTrayIcon(UINT id, CDesktopApi& desktop, CNotifyIconCall shell)
    : m_desktop(desktop), m_shell(std::move(shell)) {
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.uID = id;
    LoadTooltip();
}

CTrayIcon::~CTrayIcon() { SetIcon(0u); }

void CTrayIcon::SetNotificationWnd(HWND window, UINT message) {
    m_data.hWnd = window;
    m_data.uCallbackMessage = message;
}

void CTrayIcon::LoadTooltip() {
    char text[kTipBytes] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), m_data.uID, text, sizeof text);
    SetTooltip(text);
}

// The first layout has room for 64 bytes; the tip keeps its terminating
// zero within them.
void CTrayIcon::SetTooltip(const char* text) {
    std::memset(m_data.szTip, 0, sizeof m_data.szTip);
    std::memcpy(m_data.szTip, text, strnlen(text, kTipBytes - 1));
}

bool CTrayIcon::SetIcon(UINT resourceId) {
    if (resourceId == 0) return SetIcon(static_cast<HICON>(nullptr), nullptr);
    LoadTooltip();
    const HICON icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
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
    return done;
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

LRESULT CTrayIcon::OnTrayNotification(WPARAM id, LPARAM event) {
    const UINT mouse = LOWORD(event);
    if (id != m_data.uID || (mouse != WM_LBUTTONDOWN && mouse != WM_LBUTTONDBLCLK && mouse != WM_RBUTTONUP)) return 0;
    const CMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_data.uID)));
    const HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return 0;
    if (mouse == WM_RBUTTONUP)
        ShowMenu(popup);
    else
        ::SendMessageA(m_data.hWnd, WM_COMMAND, ::GetMenuItemID(popup, 0), 0);
    return 1;
}

// The menu closes on a click elsewhere only while its owner is the
// foreground window; that activation must not show the hidden chat window,
// so the ready flag is off for it. The program that was in front gets the
// foreground back afterwards.
void CTrayIcon::ShowMenu(HMENU popup) {
    ::SetMenuDefaultItem(popup, 0, TRUE);
    POINT point{};
    ::GetCursorPos(&point);
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
    ::PostMessageA(chat->Hwnd(), WM_NULL, 0, 0);
    if (previous != kNoDesktopWindow) m_desktop.SetForegroundWindow(previous);
}
