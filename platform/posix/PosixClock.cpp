#include "platform/posix/PosixClock.h"

#include <chrono>
#include <ctime>
#include <thread>

std::uint32_t CPosixClock::Ticks() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::uint32_t CPosixClock::Now() { return static_cast<std::uint32_t>(std::time(nullptr)); }

void CPosixClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
