#pragma once
// The process-level shell: one running copy behind the mutex "MivletMutex",
// legacy settings carried over once, the chat dialog created hidden as the
// main window, the message loop, and the shutdown in its order.

#include <windows.h>

#include <memory>

#include "app/HelpCommands.h"
#include "app/ProgramOptions.h"
#include "app/ProgramCarrier.h"
#include "app/RegistryChatSettings.h"
#include "chattext/TimeZone.h"
#include "settings/SettingsStore.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32DesktopApi.h"
#include "platform/win32/Win32FileApi.h"
#include "platform/win32/Win32RegistryApi.h"
#include "platform/win32/Win32ShellApi.h"
#include "platform/win32/Win32SystemApi.h"
#include "util/win32/Handles.h"

class CChatDlg;

class CMessengerApp final : private COpenerHost {
public:
    // Loads the Rich Edit 2.0 library. `localComputer` is this computer's
    // name on the network; `store` outlives the application object.
    CMessengerApp(std::string localComputer, CSettingsStore& store);
    CMessengerApp(const CMessengerApp&) = delete;
    CMessengerApp& operator=(const CMessengerApp&) = delete;
    ~CMessengerApp() override;

    // True lets the message loop run; false ends the process at once (a
    // second copy, after asking the running one to show itself).
    bool StartUp();
    // The message loop, until the chat dialog is destroyed; the exit code.
    int Run();

private:
    bool RunSecondCopy();
    void CarryOverLegacyIni(bool userNameUnset);
    // What links and the Help commands open: owned by the chat window,
    // told in the program's message boxes.
    WindowRef MainWindow() override;
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& question) override;

    CModule m_richEdit;
    CModule m_richEdit1;  // the dialog templates name its "RICHEDIT" class
    CHandle m_mutex;
    std::string m_localComputer;
    CSettingsStore& m_store;
    CWin32SystemApi m_system;
    CWin32FileApi m_files;
    CWin32DesktopApi m_desktop;
    CWin32CodePage m_codePage;  // the system's ANSI code page: the wire's and older logs'
    CRegistryChatSettings m_settings{m_store, m_files, m_system, m_codePage};
    CSystemTimeZone m_timeZone;
    CWin32ShellApi m_shell;
    CWin32RegistryApi m_classes;
    CLinkOpener m_opener{m_shell, m_classes, *this};
    CProgramHelp m_help{m_opener};
    CProgramOptions m_options{m_store, m_system, m_files, m_timeZone};  // outlives the chat dialog
    std::unique_ptr<CProgramCarrier> m_carrier;
    std::unique_ptr<CChatDlg> m_chatDlg;
};
