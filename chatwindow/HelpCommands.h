#pragma once
// The Help menu's commands as the program carries them out: the About box,
// the read-me page, the web site and the support mail. The chat window
// reaches them through this and makes its own checks first; the program
// above it gives the implementation.

#include <windows.h>

class CHelpCommands {
public:
    virtual ~CHelpCommands() = default;

    // Runs the About box modally over `parent`.
    virtual void ShowAbout(HWND parent) = 0;
    virtual void ViewReadMe() = 0;
    virtual void VisitWebSite() = 0;
    virtual void EmailSupport() = 0;
};
