#pragma once
// The About box: the picture, and a read-only text box with the program's
// name and version, a legal notice, the release date and thanks. The text
// box keeps its selection when the focus leaves it, so that entering it by
// keyboard does not select the whole text.

#include <windows.h>

#include <string>
#include <string_view>

#include "util/win32/Dialog.h"

// The text box's lines, separated by CR LF, for the build date in the
// compiler's form ("Dec 12 2000").
std::string AboutBoxText(std::string_view buildDate);

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
