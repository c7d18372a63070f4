#pragma once
// "Mivlet.exe /close": ends the copy that runs in this session the way a
// WM_CLOSE from outside does (with its exit notice to the other computers)
// and waits until its process is gone, so that an installer or uninstaller
// can replace or remove the program file. The running copy may be of any
// version: the registered query that finds it has never changed.

#include <windows.h>

#include <string_view>

// Exit codes of "Mivlet.exe /close".
enum ECloseResult : int {
    kCopyClosed = 0,
    kNoCopyRunning = 1,
    kCopyStillRunning = 2,  // it did not end in time, or would not take the request
};

inline constexpr DWORD kCloseTimeoutMs = 15000;

// True for the command line "/close" (any letter case, spaces around).
bool IsCloseRequest(std::string_view commandLine);

ECloseResult CloseRunningCopy(DWORD timeoutMs);
