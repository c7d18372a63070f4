#include "chatwindow/PopUpGuard.h"

bool MustPopUpWait(const CUserInput& input) {
    return input.passwordFocused || input.keyDown || input.millisecondsSinceInput < kTypingPauseMs;
}
