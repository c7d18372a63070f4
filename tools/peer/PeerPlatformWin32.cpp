#include <windows.h>

#include <atomic>

#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32SystemApi.h"
#include "platform/win32/WinsockSockets.h"
#include "tools/peer/PeerPlatform.h"

namespace {

std::atomic<bool> g_stopRequested{false};

class CWin32PeerPlatform final : public CPeerPlatform {
public:
    CClock& Clock() override { return m_clock; }
    CDatagramSocketApi& Sockets() override { return m_sockets; }
    std::optional<std::string> ComputerName() override { return QueryComputerName(); }
    std::string LoginName() override { return CWin32SystemApi().QueryLoginName().value_or(std::string()); }
    std::uint32_t ProcessId() override { return ::GetCurrentProcessId(); }

private:
    CWin32Clock m_clock;
    CWinsockSockets m_sockets;
};

}  // namespace

// Before Winsock and the IP helper load what they need.
std::unique_ptr<CPeerPlatform> MakePeerPlatform() {
    LimitLibrarySearchToSystem();
    return std::make_unique<CWin32PeerPlatform>();
}

void InstallStopHandler() {
    ::SetConsoleCtrlHandler(
        [](DWORD) -> BOOL {
            g_stopRequested = true;
            return TRUE;
        },
        TRUE);
}

bool StopRequested() { return g_stopRequested; }
