#pragma once
// What the pages of the Options sheet work with: the settings they read when
// first shown and write on OK, the system (login name, colours, Windows
// folder), the files (the log that View opens), the zone of the example's times, the chat window's history that
// OK on the Format page draws again, and the windows and programs the pages
// open, which tests replace.

#include <windows.h>

#include <commdlg.h>

#include <string>

class CChatTextCtrl;
class CFileApi;
class CSettingsStore;
class CSystemApi;
class CTimeZone;

class COptionsUi {
public:
    virtual ~COptionsUi() = default;
    // The common colour and font dialogs, modal: true after OK.
    virtual bool ChooseColor(CHOOSECOLORW& choice);
    virtual bool ChooseFont(CHOOSEFONTW& choice);
    // ShellExecuteW with no owner, the default verb and SW_SHOW: true when
    // the shell started something (a result above 32).
    virtual bool ShellOpen(const std::string& file, const std::string& parameters);
    // A message box over `window` (ShowMessageBox).
    virtual int ShowMessage(HWND window, const std::string& text, UINT style);
};

struct COptionsContext {
    CSettingsStore& store;
    CSystemApi& system;
    CFileApi& files;  // where View finds the log
    const CTimeZone& timeZone;
    COptionsUi& ui;
    CChatTextCtrl* history = nullptr;  // none: nothing to draw again
};
