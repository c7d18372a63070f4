#include "app/MessengerApp.h"

#include <commctrl.h>

#include "chatwindow/ChatDlg.h"
#include "chatwindow/RegisteredMessages.h"
#include "messaging/LocalComputerName.h"
#include "platform/win32/Win32MailslotApi.h"

namespace {

constexpr UINT kSecondCopyTimeoutMs = 200;
constexpr UINT kSecondCopyFlags = SMTO_BLOCK | SMTO_ABORTIFHUNG;

// The first top-level window that answers the query with the reply.
HWND FindRunningCopy() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            DWORD_PTR answer = 0;
            if (::SendMessageTimeoutA(window, IsMivletApplicationMessage(), kIsMivletQuery, 0, kSecondCopyFlags,
                                      kSecondCopyTimeoutMs, &answer) &&
                static_cast<LRESULT>(answer) == kIsMivletReply) {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

std::unique_ptr<CMailslotApi> ChooseMailslotApi() { return std::make_unique<CWin32MailslotApi>(); }

CMessengerApp::CMessengerApp() : m_richEdit(::LoadLibraryA("RICHED20.DLL")) {}

CMessengerApp::~CMessengerApp() {
    m_mutex.Reset();
    m_chatDlg.reset();  // removes the tray icon, closes the mailslot
    m_richEdit1.Reset();
    m_richEdit.Reset();
}

bool CMessengerApp::StartUp() {
    m_richEdit1.Reset(::LoadLibraryA("RICHED32.DLL"));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    m_mutex.Reset(::CreateMutexA(nullptr, FALSE, "MivletMutex"));
    const DWORD mutexError = ::GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) return RunSecondCopy();

    // The framework is our own and keeps no profile of its own: every
    // setting goes through the settings store.

    const HWND previousForeground = ::GetForegroundWindow();
    m_mailslotApi = ChooseMailslotApi();
    m_chatDlg = std::make_unique<CChatDlg>(*m_mailslotApi, GetLocalComputerName(), m_settings, m_timeZone);
    m_chatDlg->SetQuitOnDestroy(true);
    if (!m_chatDlg->CreateModeless(nullptr)) return true;  // the loop then ends at once on its WM_QUIT
    ::ShowWindow(m_chatDlg->Hwnd(), SW_HIDE);
    if (previousForeground) ::SetForegroundWindow(previousForeground);
    m_chatDlg->FinishStartUp();
    return true;
}

bool CMessengerApp::RunSecondCopy() {
    if (const HWND running = FindRunningCopy()) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(running, ShowChatWndMessage(), 0, 0, kSecondCopyFlags, kSecondCopyTimeoutMs, &ignored);
    }
    return false;
}

int CMessengerApp::Run() {
    if (!m_chatDlg) return 0;
    const int code = m_chatDlg->Exists() ? RunMessageLoop(*m_chatDlg) : 0;
    return m_chatDlg->MailslotFailed() ? 1 : code;
}
