#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/codepage/CodePage1252.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixSockets.h"
#include "platform/posix/PosixClock.h"
#include "tools/peer/PeerPlatform.h"

namespace {

volatile sig_atomic_t g_stopRequested = 0;

class CPosixPeerPlatform final : public CPeerPlatform {
public:
    CClock& Clock() override { return m_clock; }
    CDatagramSocketApi& Sockets() override { return m_sockets; }
    std::optional<std::string> ComputerName() override {
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) != 0) return std::nullopt;
        std::string text(name);
        return text.substr(0, text.find('.'));  // the host part, as Windows names a computer
    }
    std::string LoginName() override {
        if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) return entry->pw_name;
        const char* user = std::getenv("USER");
        return user ? user : "";
    }
    std::uint32_t ProcessId() override { return static_cast<std::uint32_t>(::getpid()); }

private:
    CPosixClock m_clock;
    CPosixSockets m_sockets;
};

}  // namespace

std::unique_ptr<CPeerPlatform> MakePeerPlatform() { return std::make_unique<CPosixPeerPlatform>(); }

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void UseUtf8Console() {}

// 1252 as Windows has it (iconv leaves its five undefined bytes undefined);
// any other through iconv.
std::unique_ptr<CCodePage> OpenCodePage(unsigned number) {
    if (number == 1252) return std::make_unique<CCodePage1252>();
    return CIconvCodePage::Open(number);
}

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = [](int) { g_stopRequested = 1; };
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() { return g_stopRequested != 0; }
