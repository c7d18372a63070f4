// Mivlet's entry point: process initialisation in its order, then the
// application object's start-up and message loop. The settings keys are
// opened after the application object and closed after it is gone. The one
// command-line switch, /close, ends the running copy instead (installers use
// it) and starts nothing.

#include <windows.h>

#include <optional>

#include "app/CloseRunningCopy.h"
#include "app/MessengerApp.h"
#include "app/SettingsKeys.h"
#include "chatwindow/RegisteredMessages.h"
#include "chatwindow/TrayIcon.h"
#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/Win32RegistryApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (commandLine && IsCloseRequest(commandLine)) return CloseRunningCopy(kCloseTimeoutMs);
    InitLocalComputerName();
    IsMivletApplicationMessage();
    ShowChatWndMessage();
    CWin32RegistryApi registry;
    std::optional<CProcessSettingsKeys> settingsKeys;
    CMessengerApp app;
    settingsKeys.emplace(registry);
    TaskbarCreatedMessage();
    if (!app.StartUp()) return 0;
    return app.Run();
}
