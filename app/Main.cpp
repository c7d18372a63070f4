// Mivlet's entry point. For now the program takes its computer name, creates
// its mailslot endpoint and runs a message loop with a hidden window whose
// timer drains the mailslot; the chat window builds on this.

#include <windows.h>

#include <vector>

#include "app/ProgramTransport.h"
#include "app/SettingsKeys.h"
#include "app/Texts.h"
#include "messaging/LocalComputerName.h"
#include "messaging/Mailslot.h"
#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/Win32RegistryApi.h"

namespace {

constexpr char kWindowClass[] = "MivletMainWindow";
constexpr UINT_PTR kReceiveTimer = 0;
constexpr UINT kReceivePeriodMs = 50;

void OnReceiveTimer(CMailslot& mailslot) {
    if (!mailslot.HasMessages()) return;
    std::vector<CMessageRecord> records;
    mailslot.Receive(records);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        SetTimer(window, kReceiveTimer, kReceivePeriodMs, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (auto* mailslot = reinterpret_cast<CMailslot*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            OnReceiveTimer(*mailslot);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kReceiveTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateMainWindow(HINSTANCE instance, CMailslot& mailslot) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return nullptr;
    return CreateWindowExA(0, kWindowClass, kAppTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, &mailslot);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitLocalComputerName();

    CWin32RegistryApi registry;
    CProcessSettingsKeys settingsKeys(registry);
    CProgramTransport transport(GetTransportSetting());
    CMailslot mailslot(transport.Api(), "Mivlet", GetLocalComputerName());
    if (!mailslot.IsOpen()) {
        MessageBoxA(nullptr, MailslotFailureText().c_str(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }

    if (!CreateMainWindow(instance, mailslot)) return 1;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
