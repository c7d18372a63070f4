#include "tools/chat-remote/WallClock.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

using PreciseTimeFunction = VOID(WINAPI*)(LPFILETIME);

// Windows 8 and later have the precise clock; older ones tick in 10-16 ms.
PreciseTimeFunction FindPreciseClock() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<PreciseTimeFunction>(
                        reinterpret_cast<void*>(::GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime")))
                  : nullptr;
}

std::uint64_t HundredNanosecondsSince1601() {
    static const PreciseTimeFunction precise = FindPreciseClock();
    FILETIME now{};
    if (precise)
        precise(&now);
    else
        ::GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

constexpr std::uint64_t kUnixEpochIn1601Units = 116444736000000000ULL;

}  // namespace

std::string WallClockText() {
    const std::uint64_t microseconds = (HundredNanosecondsSince1601() - kUnixEpochIn1601Units) / 10;
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%06llu", static_cast<unsigned long long>(microseconds / 1000000),
                  static_cast<unsigned long long>(microseconds % 1000000));
    return text;
}
