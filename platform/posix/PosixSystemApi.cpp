#include "platform/posix/PosixSystemApi.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/ErrorCodes.h"


bool CPosixSystemApi::Unsupported() {
    m_lastError = kErrorNotSupported;
    return false;
}

PlatformHandle CPosixSystemApi::CreateMailslotServer(const std::string&, std::uint32_t, std::uint32_t) {
    Unsupported();
    return kInvalidPlatformHandle;
}
bool CPosixSystemApi::GetMailslotInfo(PlatformHandle, std::uint32_t*, std::uint32_t*) { return Unsupported(); }
bool CPosixSystemApi::ReadFile(PlatformHandle, void*, std::uint32_t, std::uint32_t*) { return Unsupported(); }
PlatformHandle CPosixSystemApi::OpenForWrite(const std::string&) {
    Unsupported();
    return kInvalidPlatformHandle;
}
bool CPosixSystemApi::WriteFile(PlatformHandle, const void*, std::uint32_t, std::uint32_t*) { return Unsupported(); }
bool CPosixSystemApi::CloseHandle(PlatformHandle) { return Unsupported(); }

std::uint32_t CPosixSystemApi::GetTickCount() {
    using namespace std::chrono;
    // Wraps like the Windows tick count, which the retry window expects.
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CPosixSystemApi::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t CPosixSystemApi::GetTime() { return static_cast<std::uint32_t>(std::time(nullptr)); }
