#pragma once
// The two window messages between a starting copy and the running one,
// registered once per process (the first call registers them).

#include <windows.h>

inline constexpr WPARAM kIsMivletQuery = 0x5B8C5911;
inline constexpr LRESULT kIsMivletReply = 0x7951BACA;

UINT IsMivletApplicationMessage();  // "Mivlet_IsMivletApplication"
UINT ShowChatWndMessage();          // "Mivlet_ShowChatWnd"

// How long a starting copy waits for the running one to answer, and how.
inline constexpr UINT kRunningCopyTimeoutMs = 200;
inline constexpr UINT kRunningCopyFlags = SMTO_BLOCK | SMTO_ABORTIFHUNG;

// The running copy's chat window: the first top-level window that answers
// the query with the reply; null when there is none.
HWND FindRunningChatWindow();
