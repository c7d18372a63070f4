#include "chatwindow/ChatDlg.h"

#include <algorithm>

#include "chatwindow/Texts.h"
#include "chatwindow/KeyMessages.h"
#include "chatwindow/OptionsDialog.h"
#include "chatwindow/RecipientList.h"
#include "chatwindow/RegisteredMessages.h"
#include "messaging/CommandText.h"
#include "messaging/LongDate.h"
#include "resources/ResourceIds.h"
#include "util/BuildInfo.h"
#include "util/win32/Dpi.h"
#include "util/win32/Handles.h"
#include "util/win32/MessageBox.h"
#include "util/win32/ModulePath.h"
#include "util/win32/WideText.h"

namespace {

CChatDlg* g_chatDlg = nullptr;

constexpr UINT kTrayCallbackMessage = WM_USER + 10;
constexpr UINT kPresencePeriodMs = 1000;
constexpr UINT kNamePromptPeriodMs = 1;

}  // namespace

CChatDlg* GetChatDlg() { return g_chatDlg; }

CChatDlg::CChatDlg(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage, std::string localComputer,
                   CChatSettings& settings, const CTimeZone& timeZone, CDesktopApi& desktop)
    : CDialog(IDD_CHAT),
      m_clock(clock),
      m_session(carrier, clock, codePage, std::move(localComputer), ThisBuild(), *this),
      m_settings(settings),
      m_history(settings, timeZone),
      m_desktop(desktop),
      m_alert(desktop, kFlashTimer) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_bigIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_BIGICON));
    m_smallIcon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_SMALLICON), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    g_chatDlg = this;
}

CChatDlg::~CChatDlg() {
    m_trayIcon.reset();
    if (g_chatDlg == this) g_chatDlg = nullptr;
}

void CChatDlg::BindControls() {
    const std::initializer_list<CDialogItem*> items = {&m_captionPlaceholder, &m_iconPlaceholder, &m_sendButton,
                                                       &m_optionsButton,      &m_nameLabel,       &m_toLabel,
                                                       &m_messageLabel,       &m_nameBox,         &m_toList,
                                                       &m_messageBox};
    for (CDialogItem* item : items) item->Bind(Hwnd());
}

bool CChatDlg::OnInitDialog() {
    if (!m_session.IsOpen()) {
        m_mailslotFailed = true;
        ShowMessage(OpenFailureText(m_session.Endpoint().OpenResult(), m_udpPort), MB_OK);
        ExitProgram();
        return false;
    }
    m_alert.Attach(Hwnd());
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    m_history.ReplaceDialogControl(IDC_HISTORY, Hwnd());
    m_history.EnableLinks(true);
    ::SendMessageW(m_history.Hwnd(), EM_EXLIMITTEXT, 0, kHistoryTextLimit);

    bool unset = false;
    m_settings.CurrentUserName(&unset);
    if (unset) ::SetTimer(Hwnd(), kNamePromptTimer, kNamePromptPeriodMs, nullptr);

    m_recipients.emplace(m_toList.Hwnd());
    m_recipients->Select(m_recipients->Add(kAllUsersEntry));

    ApplySettings();
    ::SetTimer(Hwnd(), kPresenceTimer, kPresencePeriodMs, nullptr);
    ::SetTimer(Hwnd(), kReceiveTimer, kReceivePeriodMs, nullptr);
    m_messageBox.SetLimit(static_cast<int>(kMessageTextLimit));
    // The window still has its template's size, the smallest it may take.
    // The system's first size event came before this object was attached.
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    m_minTrackWidth = window.right - window.left;
    m_minTrackHeight = window.bottom - window.top;
    m_dpi = WindowDpi(Hwnd());
    FitLabelsToText();
    LayOutControls();
    RestorePosition();
    return true;
}

void CChatDlg::FinishStartUp() {
    if (!Exists()) return;
    m_trayIcon = std::make_unique<CTrayIcon>(IDR_MAINMENU, m_desktop, m_notifyIcon);
    m_trayIcon->SetNotificationWnd(Hwnd(), kTrayCallbackMessage);
    m_trayIcon->SetIcon(IDI_SMALLICON);
    m_ready = true;
    CreateCaptionBar();
    for (CDialogItem* placeholder : {&m_iconPlaceholder, &m_captionPlaceholder}) {
        if (placeholder->Exists()) ::DestroyWindow(placeholder->Hwnd());
        placeholder->Unbind();
    }
    ::SetWindowTextW(Hwnd(), Widen(kAppTitle).c_str());
    m_captionBar.SetCaption(kCaptionBarText);
}

// The bar takes the place and style of its placeholder, down to its bottom
// margin above the bottom of the client area, in the measures of the
// window's dots per inch.
void CChatDlg::CreateCaptionBar() {
    const DWORD style = m_captionPlaceholder.Exists()
                            ? static_cast<DWORD>(::GetWindowLongW(m_captionPlaceholder.Hwnd(), GWL_STYLE))
                            : WS_CHILD | WS_VISIBLE;
    m_captionBar.SetDpi(WindowDpi(Hwnd()));
    if (!m_captionBar.Create(Hwnd(), IDC_CAPTIONBAR, style, CaptionBarRect())) return;
    m_captionBar.SetButton(kHelpButtonCaption, IDR_MAINMENU, IDM_HELP_POPUP);
}

RECT CChatDlg::CaptionBarRect() const {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const CCaptionBarMetrics& bar = m_captionBar.Metrics();
    return {bar.left, bar.top, bar.left + bar.width, client.bottom - bar.bottomMargin};
}

// Moved to a monitor of another scale: the system has scaled the template's
// controls and fonts; the window takes the size it suggests, its smallest
// size and the caption bar follow.
LRESULT CChatDlg::OnDpiChanged(int dpi, const RECT& suggested) {
    const int before = std::max(1, m_dpi);
    m_minTrackWidth = ::MulDiv(m_minTrackWidth, dpi, before);
    m_minTrackHeight = ::MulDiv(m_minTrackHeight, dpi, before);
    m_dpi = dpi;
    ::SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_captionBar.SetDpi(dpi);
    if (m_captionBar.Exists()) {
        const RECT bar = CaptionBarRect();
        ::MoveWindow(m_captionBar.Hwnd(), bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
    }
    LayOutControls();
    return 0;
}

bool CChatDlg::WakeOnArrival() {
    if (!Exists()) return false;
    const HWND window = Hwnd();
    // The system's own notice comes soonest; the carrier's reader thread
    // tells of what it took off the socket (posting is all it may do).
    const bool direct = m_session.Endpoint().NotifyWindowOnArrival(reinterpret_cast<std::uintptr_t>(window), kMessageArrived);
    const bool fromThread =
        m_session.Endpoint().NotifyOnArrival([window] { ::PostMessageW(window, kMessageArrived, 0, 0); });
    return direct || fromThread;
}

void CChatDlg::ApplySettings() {
    ApplyBackground();
    m_nameBox.SetText(m_settings.CurrentUserName(nullptr));
    ::SetWindowTextW(Hwnd(), Widen(kAppTitle).c_str());
    SendPresencePing();
}

void CChatDlg::ApplyBackground() {
    ::SendMessageW(m_history.Hwnd(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(m_settings.ChatTextBackground()));
}

void CChatDlg::SendPresencePing() { m_session.SendPing(m_settings.CurrentUserName(nullptr)); }

BOOL CChatDlg::ShowChat(bool show, bool minimised) {
    if (!show) {
        SavePosition();
        return ::ShowWindow(Hwnd(), SW_HIDE);
    }
    if (minimised) return ::ShowWindow(Hwnd(), SW_SHOWMINNOACTIVE);
    if (!m_maximised) return ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    return ::ShowWindow(Hwnd(), ::IsZoomed(Hwnd()) ? SW_SHOWNA : SW_SHOWMAXIMIZED);
}

bool CChatDlg::HasModalPopup() const { return Exists() && ::GetLastActivePopup(Hwnd()) != Hwnd(); }

void CChatDlg::ExitProgram() {
    SavePosition();
    m_session.SendExitNotice();
    DestroyDialog();
}

void CChatDlg::DestroyDialog() {
    if (!Exists()) return;
    const HWND popup = ::GetLastActivePopup(Hwnd());
    if (popup != Hwnd() && ::IsWindow(popup)) ::EndDialog(popup, 0);
    CDialog::DestroyDialog();
}

bool CChatDlg::PreTranslateKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (OnQuickKey(message)) return true;
    m_quickKeys.Clear();
    if (OnShiftEnter(message)) return true;
    if (message.wParam == VK_ESCAPE) {
        // A dropped-down To: list closes first, as in every dialog.
        if (m_toList.IsDroppedDown()) return false;
        ShowChat(false, false);
        return true;
    }
    // The Help menu opens beside the caption bar's button.
    if (message.wParam == VK_F1 || (message.wParam == 'H' && IsAltKeyHeld(message))) {
        m_captionBar.ShowButtonMenu();
        return true;
    }
    return false;
}

bool CChatDlg::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case ID_CHAT: ActivateChat(false); return true;
    case IDC_OPTIONS:
    case ID_OPTIONS: OnOptions(); return true;
    case ID_APP_ABOUT: OnAbout(); return true;
    case ID_VIEW_README:
    case ID_EMAIL_SUPPORT:
    case ID_VISIT_WEBSITE: OnHelpCommand(id); return true;
    case ID_APP_EXIT: ExitProgram(); return true;
    case IDC_SEND: OnSend(); return true;
    case IDC_TO:
        // Only the user's own choice notifies; the program's selections do not.
        if (code == CBN_SELCHANGE) m_lostSelection.Clear();
        return CDialog::OnCommand(id, code, control);
    default: return CDialog::OnCommand(id, code, control);
    }
}

void CChatDlg::OnCancel() { ShowChat(false, false); }

std::optional<LRESULT> CChatDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_trayIcon)
        if (const std::optional<LRESULT> result = m_trayIcon->HandleMessage(message, wParam, lParam)) return result;
    if (message == ShowChatWndMessage()) return OnShowChatWnd();
    if (message == IsMivletApplicationMessage()) return OnIsMivletApplication(wParam);
    switch (message) {
    case WM_CLOSE: ExitProgram(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: return OnEndSession(wParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_SHOWWINDOW: return OnShowWindow(wParam);
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_WININICHANGE: return OnWinIniChange();
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_smallIcon);
    case WM_TIMER: return OnTimer(wParam);
    case WM_SIZE: return OnSize(wParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_PAINT: return OnPaint();
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case kMessageArrived: OnDatagramArrived(); return 0;
    default: return std::nullopt;
    }
}

// Logoff and shutdown end the process without WM_CLOSE: the other copies
// would keep this computer listed for 15 s and send into nothing.
LRESULT CChatDlg::OnEndSession(WPARAM ending) {
    if (ending) ExitProgram();
    return 0;
}

LRESULT CChatDlg::OnIsMivletApplication(WPARAM query) const { return query == kIsMivletQuery ? kIsMivletReply : 0; }

// The close box hides; a close request while a modal window is open is
// taken as the request to end, which default handling would turn into
// WM_CLOSE, but only while the chat window is enabled, and the modal window
// has disabled it.
std::optional<LRESULT> CChatDlg::OnSysCommand(WPARAM command) {
    if (command != SC_CLOSE) return std::nullopt;
    if (HasModalPopup())
        ExitProgram();
    else
        ShowChat(false, false);
    return 0;
}

// Done before the dialog manager's own handling, which only moves the focus.
std::optional<LRESULT> CChatDlg::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_ACTIVE && m_ready && !::IsWindowVisible(Hwnd())) ShowChat(true, false);
    return std::nullopt;
}

std::optional<LRESULT> CChatDlg::OnShowWindow(WPARAM shown) {
    if (!shown) m_history.RequestLogHeader();
    return std::nullopt;
}

std::optional<LRESULT> CChatDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_HISTORY) return std::nullopt;
    switch (header.code) {
    case EN_LINK: return m_history.OnLink(reinterpret_cast<const ENLINK&>(header));
    case EN_MSGFILTER: return m_history.OnMessageFilter(reinterpret_cast<const MSGFILTER&>(header));
    default: return std::nullopt;
    }
}

LRESULT CChatDlg::OnWinIniChange() {
    ApplyBackground();
    return 0;
}

LRESULT CChatDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case kReceiveTimer: OnReceiveTick(); break;
    case kPresenceTimer: OnPresenceTick(); break;
    case kListTimer: RefreshRecipientList(); break;
    case kNamePromptTimer: OnNamePromptTick(); break;
    case kFlashTimer: m_alert.OnFlashTick(); break;
    case kNotifyRetryTimer: OnNotifyRetryTick(); break;
    default: break;
    }
    return 0;
}

// Options: the window comes forward and the sheet runs over it; then,
// unless the program ended meanwhile, the window takes whatever the settings
// say now, redraws its history and gives the message box the focus.
void CChatDlg::OnOptions() {
    if (HasModalPopup()) return;
    SavePosition();
    ShowChat(true, false);
    if (m_options) m_options->ShowOptions(Hwnd(), m_history);
    if (!Exists()) return;
    ApplySettings();
    ::RedrawWindow(m_history.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ::SetFocus(m_messageBox.Hwnd());
}

// Owned by the chat window, or by the modal window open over it, whichever
// program is active.
int CChatDlg::ShowMessage(const std::string& text, UINT style) { return ShowMessageBox(Hwnd(), text, style); }

// A path too long to be read is on nobody's share as far as quit goes.
std::string CChatDlg::ModulePath() { return GetModulePath().value_or(std::string()); }
