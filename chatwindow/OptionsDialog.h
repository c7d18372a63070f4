#pragma once
// The Options sheet as the chat window opens it. The sheet belongs to the
// program, above this layer; the program gives the chat window this
// interface to it.

#include <windows.h>

class CChatTextCtrl;

class COptionsDialog {
public:
    virtual ~COptionsDialog() = default;
    // Runs the sheet modally over the chat window `chat`. OK stores what
    // the pages hold and draws `history` again with the stored prefix and
    // fonts. Returns once the sheet is gone, whichever way it went, also
    // when the chat window was destroyed meanwhile.
    virtual void ShowOptions(HWND chat, CChatTextCtrl& history) = 0;
};
