// Mivlet's entry point: process initialisation in its order, then the
// application object's start-up and message loop. The settings store is
// closed last, after the application object is gone. The one command-line
// switch, /close, ends the running copy instead (installers use it) and
// starts nothing. Every library the process loads after the first line
// comes from System32.

#include <windows.h>

#include "app/CloseRunningCopy.h"
#include "app/MessengerApp.h"
#include "chatwindow/RegisteredMessages.h"
#include "chatwindow/TrayIcon.h"
#include "messaging/LocalComputerName.h"
#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32RegistryApi.h"
#include "settings/SettingsStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Before anything loads a library: from System32 only, never from the
    // program's folder.
    LimitLibrarySearchToSystem();
    if (commandLine && IsCloseRequest(commandLine)) return CloseRunningCopy(kCloseTimeoutMs);
    std::string localComputer = ChooseLocalComputerName(QueryComputerName());
    IsMivletApplicationMessage();
    ShowChatWndMessage();
    CWin32RegistryApi registry;
    CSettingsStore store(registry);
    CMessengerApp app(std::move(localComputer), store);
    TaskbarCreatedMessage();
    if (!app.StartUp()) return 0;
    return app.Run();
}
