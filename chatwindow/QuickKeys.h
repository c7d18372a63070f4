#pragma once
// F2 to F12 in the message box: the first press types the key's stored
// text, a second press of the same key within a second sends the box.

#include <cstdint>
#include <string_view>

#include "settings/QuickKeySettings.h"  // which function keys are QuickKeys

inline constexpr std::uint32_t kQuickKeyRepeatMs = 1000;

// The QuickKey number (2 to 12) of a virtual key (F2 is 0x71), or 0 when
// the key is none of them.
int QuickKeyNumber(unsigned virtualKey);

// A stored text of "" or "(none)" means the key types nothing.
bool QuickKeyTypesText(std::string_view storedText);

class CQuickKeyState {
public:
    enum class EPress { TypeText, SendMessage };

    // A press of QuickKey `number` at tick `now`. Any press arms the next:
    // an empty key, too, makes its second press send.
    EPress Press(int number, std::uint32_t now);
    // Any other key clears the state.
    void Clear() { m_lastKey = 0; }

private:
    int m_lastKey = 0;
    std::uint32_t m_lastTick = 0;
};
