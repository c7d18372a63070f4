// Mivlet's entry point: process initialisation in its order, then the
// application object's start-up and message loop.

#include <windows.h>

#include "app/MessengerApp.h"
#include "chatwindow/RegisteredMessages.h"
#include "chatwindow/TrayIcon.h"
#include "platform/win32/Win32ComputerName.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitLocalComputerName();
    IsMivletApplicationMessage();
    ShowChatWndMessage();
    CMessengerApp app;
    TaskbarCreatedMessage();
    if (!app.StartUp()) return 0;
    return app.Run();
}
