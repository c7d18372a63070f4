#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <memory>

#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32CodePage.h"
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

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                                &::LocalFree);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const wchar_t* argument = wide.get()[i];
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, argument, -1, nullptr, 0, nullptr, nullptr);
        std::string text(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, argument, -1, text.data(), size, nullptr, nullptr);
        text.pop_back();  // the terminator
        arguments.push_back(std::move(text));
    }
    return arguments;
}

void UseUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
}

std::unique_ptr<CCodePage> OpenCodePage(unsigned number) {
    if (!CWin32CodePage::IsInstalled(number)) return nullptr;
    return std::make_unique<CWin32CodePage>(number);
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
