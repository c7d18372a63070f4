#include "app/MessengerApp.h"

#include <commctrl.h>

#include <optional>

#include "app/LegacyIni.h"
#include "platform/win32/SystemLibraries.h"
#include "chatwindow/ChatDlg.h"
#include "chatwindow/RegisteredMessages.h"
#include "settings/CarrierSetting.h"
#include "settings/UserName.h"
#include "util/Paths.h"
#include "util/win32/MessageBox.h"
#include "util/win32/ModulePath.h"
#include "util/win32/WideText.h"

namespace {

bool FileExists(const std::string& path) {
    WIN32_FIND_DATAW found{};
    return static_cast<bool>(CFindHandle(::FindFirstFileW(Widen(path).c_str(), &found)));
}

// The program's own folder, lower-cased; nothing when its path is unknown or
// too long, so that no file is looked for at the root of the current drive.
std::optional<std::string> ModuleFolder() {
    const auto module = GetModulePath();
    return module ? FolderOf(*module) : std::nullopt;
}

}  // namespace

CMessengerApp::CMessengerApp(std::string localComputer, CSettingsStore& store)
    : m_richEdit(LoadSystemLibrary("RICHED20.DLL")), m_localComputer(std::move(localComputer)), m_store(store) {}

CMessengerApp::~CMessengerApp() {
    m_mutex.Reset();
    m_chatDlg.reset();  // removes the tray icon, closes the mailslot
    m_carrier.reset();
    m_richEdit1.Reset();
    m_richEdit.Reset();
}

bool CMessengerApp::StartUp() {
    m_richEdit1.Reset(LoadSystemLibrary("RICHED32.DLL"));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    m_mutex.Reset(::CreateMutexW(nullptr, FALSE, L"MivletMutex"));
    const DWORD mutexError = ::GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS || mutexError == ERROR_ACCESS_DENIED) return RunSecondCopy();

    bool userNameUnset = false;
    GetCurrentUserName(m_store, m_system, &userNameUnset);
    CarryOverLegacyIni(userNameUnset);

    const HWND previousForeground = ::GetForegroundWindow();
    // The one place where the carrier is chosen.
    const CCarrierSetting carrier = GetCarrierSetting(m_store);
    m_carrier = std::make_unique<CProgramCarrier>(carrier);
    m_chatDlg = std::make_unique<CChatDlg>(m_carrier->Carrier(), m_carrier->Clock(), m_codePage, m_localComputer,
                                           m_settings, m_timeZone, m_desktop);
    if (carrier.udp) m_chatDlg->SetUdpPort(carrier.port);
    m_chatDlg->SetQuitOnDestroy(true);
    m_chatDlg->UseHelp(m_help, m_opener);
    m_chatDlg->SetOptionsDialog(&m_options);
    if (!m_chatDlg->CreateModeless(nullptr)) return true;  // the loop then ends at once on its WM_QUIT
    ::ShowWindow(m_chatDlg->Hwnd(), SW_HIDE);
    if (carrier.wakeOnArrival) m_chatDlg->WakeOnArrival();
    if (previousForeground) ::SetForegroundWindow(previousForeground);
    m_chatDlg->FinishStartUp();
    return true;
}

// Every move is best effort: a file that cannot be moved stays where it is
// and is tried again at the next start.
void CMessengerApp::CarryOverLegacyIni(bool userNameUnset) {
    const std::string windows = GetWindowsDir(m_system);
    if (windows.empty()) return;
    const std::string legacy = windows + "\\" + kLegacyIniName;
    if (const auto folder = ModuleFolder(); folder && !FileExists(legacy)) {
        const std::string programCopy = *folder + "\\" + kLegacyIniName;
        if (FileExists(programCopy)) ::MoveFileW(Widen(programCopy).c_str(), Widen(legacy).c_str());
    }
    if (userNameUnset && FileExists(legacy)) ImportLegacyIni(m_store, legacy);
    if (FileExists(legacy)) ::MoveFileW(Widen(legacy).c_str(), Widen(windows + "\\" + kRetiredIniName).c_str());
}

bool CMessengerApp::RunSecondCopy() {
    if (const HWND running = FindRunningChatWindow()) {
        // The user has just started this copy, so it may take the
        // foreground; the running copy, in the background, may not, unless
        // this one hands its right over first.
        DWORD runningProcess = 0;
        ::GetWindowThreadProcessId(running, &runningProcess);
        if (runningProcess != 0) ::AllowSetForegroundWindow(runningProcess);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(running, ShowChatWndMessage(), 0, 0, kRunningCopyFlags, kRunningCopyTimeoutMs, &ignored);
    }
    return false;
}

WindowRef CMessengerApp::MainWindow() {
    return m_chatDlg && m_chatDlg->Exists() ? reinterpret_cast<WindowRef>(m_chatDlg->Hwnd()) : kNoWindow;
}

void CMessengerApp::ShowMessage(const std::string& text) {
    ShowMessageBox(reinterpret_cast<HWND>(MainWindow()), text, MB_OK);
}

bool CMessengerApp::Ask(const std::string& question) {
    return ShowMessageBox(reinterpret_cast<HWND>(MainWindow()), question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

int CMessengerApp::Run() {
    if (!m_chatDlg) return 0;
    const int code = m_chatDlg->Exists() ? RunMessageLoop(*m_chatDlg) : 0;
    return m_chatDlg->MailslotFailed() ? 1 : code;
}
