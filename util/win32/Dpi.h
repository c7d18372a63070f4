#pragma once
// The dots per inch a window is drawn at: its monitor's under per-monitor
// awareness (Windows 10 1607 and later), else the system's.

#include <windows.h>

int WindowDpi(HWND window);
