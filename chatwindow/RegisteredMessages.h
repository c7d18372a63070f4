#pragma once
// The two window messages between a starting copy and the running one,
// registered once per process (the first call registers them).

#include <windows.h>

inline constexpr WPARAM kIsMivletQuery = 0x5B8C5911;
inline constexpr LRESULT kIsMivletReply = 0x7951BACA;

UINT IsMivletApplicationMessage();  // "Mivlet_IsMivletApplication"
UINT ShowChatWndMessage();          // "Mivlet_ShowChatWnd"
