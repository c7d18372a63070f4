#include "chatwindow/QuickKeys.h"

int QuickKeyNumber(unsigned virtualKey) {
    constexpr unsigned kF1 = 0x70;
    const unsigned number = virtualKey - kF1 + 1;
    return (virtualKey >= kF1 && number >= kFirstQuickKey && number <= kLastQuickKey) ? static_cast<int>(number) : 0;
}

bool QuickKeyTypesText(std::string_view storedText) { return !storedText.empty() && storedText != "(none)"; }

CQuickKeyState::EPress CQuickKeyState::Press(int number, std::uint32_t now) {
    // Unsigned difference: right across a wrap of the tick count too.
    if (m_lastKey == number && now - m_lastTick <= kQuickKeyRepeatMs) {
        Clear();
        return EPress::SendMessage;
    }
    m_lastKey = number;
    m_lastTick = now;
    return EPress::TypeText;
}
