#pragma once
// The About box: the picture, and a read-only text box with the program's
// name and version, a legal notice, the release date and thanks. The text
// box keeps its selection when the focus leaves it, so that entering it by
// keyboard does not select the whole text.

#include <windows.h>

#include <string>

#include "util/BuildInfo.h"
#include "util/win32/Dialog.h"

// The text box's lines, separated by CR LF, for a build's version and date.
std::string AboutBoxText(const CBuildInfo& build);

class CAboutDlg final : public CDialog {
public:
    CAboutDlg();

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    CDialogItem m_text;
    // Start in the low word, end in the high word, as EM_GETSEL tells it.
    DWORD m_savedSelection = 0;
};
