#include "app/CloseRunningCopy.h"

#include "chatwindow/RegisteredMessages.h"
#include "util/AsciiText.h"
#include "util/win32/Handles.h"

namespace {

constexpr DWORD kPollMs = 50;

// Without a handle of the process (another user's copy may not open), the
// window going is the best sign there is.
bool WaitForWindowToGo(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (!::IsWindow(window)) return true;
        ::Sleep(kPollMs);
    }
    return !::IsWindow(window);
}

}  // namespace

bool IsCloseRequest(std::string_view commandLine) { return EqualsNoCaseAscii(TrimAsciiSpace(commandLine), "/close"); }

ECloseResult CloseRunningCopy(DWORD timeoutMs) {
    const HWND window = FindRunningChatWindow();
    if (!window) return kNoCopyRunning;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const CHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!::PostMessageW(window, WM_CLOSE, 0, 0)) return kCopyStillRunning;
    const bool gone = process ? ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0
                              : WaitForWindowToGo(window, timeoutMs);
    return gone ? kCopyClosed : kCopyStillRunning;
}
