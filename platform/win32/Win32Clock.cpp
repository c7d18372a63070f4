#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include <ctime>

std::uint32_t CWin32Clock::Ticks() { return ::GetTickCount(); }
std::uint32_t CWin32Clock::Now() { return static_cast<std::uint32_t>(std::time(nullptr)); }
void CWin32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
