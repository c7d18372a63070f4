#pragma once
// Whether a pop-up for a new message must wait: it would take the keyboard
// focus, and whatever the user types next would go into the chat's message
// box, Enter sending it to whoever the To: list names. So it waits while the
// user types a password anywhere, while a key is down, and until a second
// has passed without input; the retry timer asks again.

#include <cstdint>

// What the desktop seam tells about the user's input at one moment.
struct CUserInput {
    bool passwordFocused = false;
    bool keyDown = false;
    std::uint32_t millisecondsSinceInput = 0;
};

// Input this recent counts as typing into another program.
inline constexpr std::uint32_t kTypingPauseMs = 1000;

bool MustPopUpWait(const CUserInput& input);
