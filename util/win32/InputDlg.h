#pragma once
// The one-line modal prompt (the user name, for one): a caption, a prompt
// and an edit box whose text, trimmed of white space at both ends, is the
// answer. OK is only offered while there is something left after trimming.

#include <windows.h>

#include <string>

#include "util/win32/Controls.h"
#include "util/win32/Dialog.h"

class CInputDlg : public CDialog {
public:
    // `maxLength` limits in characters what can be typed (0 or less: only
    // the edit box's own largest limit) but does not cut the initial text; unless
    // `allowTabs`, tabs turn into spaces as they come in.
    CInputDlg(std::string caption, std::string prompt, std::string initialText, int maxLength, bool allowTabs);

    // Whether the dialog closed through OK, and then the trimmed text.
    bool Confirmed() const { return m_confirmed; }
    const std::string& Result() const { return m_result; }

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOk() override;

private:
    void OnTextChange();
    void OnTextUpdate();

    CDialogItem m_prompt;
    CEditBox m_text;
    CDialogItem m_okButton;
    const std::string m_caption;
    const std::string m_promptText;
    const std::string m_initialText;
    const int m_maxLength;
    const bool m_allowTabs;
    bool m_confirmed = false;
    std::string m_result;
};

// Runs the prompt modally over `owner`; true when confirmed, and `result`
// then holds the trimmed text. `result` is left alone otherwise.
bool InputBox(const std::string& caption, const std::string& prompt, std::string& result,
              const std::string& initialText, int maxLength, bool allowTabs, HWND owner = nullptr);
