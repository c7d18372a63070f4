#pragma once
// The process-level shell: one running copy behind the mutex "MivletMutex",
// the chat dialog created hidden as the main window, the message loop, and
// the shutdown in its order.

#include <windows.h>

#include <memory>

#include "chattext/TimeZone.h"
#include "chatwindow/ChatSettings.h"
#include "platform/MailslotApi.h"
#include "util/win32/Handles.h"

class CChatDlg;

class CMessengerApp {
public:
    CMessengerApp();  // loads the Rich Edit 2.0 library
    CMessengerApp(const CMessengerApp&) = delete;
    CMessengerApp& operator=(const CMessengerApp&) = delete;
    ~CMessengerApp();

    // True lets the message loop run; false ends the process at once (a
    // second copy, after asking the running one to show itself).
    bool StartUp();
    // The message loop, until the chat dialog is destroyed; the exit code.
    int Run();

private:
    bool RunSecondCopy();

    CModule m_richEdit;
    CModule m_richEdit1;  // the dialog templates name its "RICHEDIT" class
    CHandle m_mutex;
    std::unique_ptr<CMailslotApi> m_mailslotApi;
    CSystemTimeZone m_timeZone;
    CDefaultChatSettings m_settings;
    std::unique_ptr<CChatDlg> m_chatDlg;
};

// The carrier of the mailslot seam. The one place where the program picks it.
std::unique_ptr<CMailslotApi> ChooseMailslotApi();
