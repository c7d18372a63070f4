#include "util/win32/InputDlg.h"

#include <initializer_list>
#include <utility>

#include "resources/ResourceIds.h"
#include "util/AsciiText.h"

CInputDlg::CInputDlg(std::string caption, std::string prompt, std::string initialText, int maxLength,
                     bool allowTabs)
    : CDialog(IDD_INPUT),
      m_prompt(IDC_INPUTPROMPT),
      m_text(IDC_INPUTTEXT),
      m_okButton(IDOK),
      m_caption(std::move(caption)),
      m_promptText(std::move(prompt)),
      m_initialText(std::move(initialText)),
      m_maxLength(maxLength),
      m_allowTabs(allowTabs) {}

void CInputDlg::BindControls() {
    for (CDialogItem* item : std::initializer_list<CDialogItem*>{&m_prompt, &m_text, &m_okButton}) item->Bind(Hwnd());
}

bool CInputDlg::OnInitDialog() {
    m_prompt.SetText(m_promptText + ":");
    m_text.SetText(m_initialText);
    ::SetWindowTextW(Hwnd(), Widen(m_caption).c_str());
    if (m_maxLength > 0)
        m_text.LimitCharacters(static_cast<std::size_t>(m_maxLength));
    else
        m_text.SetLimit(0);
    // Setting the text notified both already where the edit box does so for
    // set text; run them anyway rather than count on it.
    OnTextUpdate();
    OnTextChange();
    return true;
}

bool CInputDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDC_INPUTTEXT) {
        if (code == EN_CHANGE) OnTextChange();
        if (code == EN_UPDATE) OnTextUpdate();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CInputDlg::OnTextChange() {
    const std::string text = m_text.Text();
    ::EnableWindow(m_okButton.Hwnd(), TrimAsciiSpace(text).empty() ? FALSE : TRUE);
}

// Runs before the changed text is drawn, so a typed or pasted tab never
// shows. Putting the text back raises EN_UPDATE once more, which then finds
// no tab and changes nothing.
void CInputDlg::OnTextUpdate() {
    // Text typed over the limit the control can count (two units a
    // character) is cut back here; the initial text is never cut.
    if (m_maxLength > 0 && m_text.Text() != m_initialText) m_text.CutToCharacters(static_cast<std::size_t>(m_maxLength));
    if (m_allowTabs) return;
    std::string text = m_text.Text();
    if (!ReplaceTabsWithSpaces(text)) return;
    DWORD start = 0, end = 0;
    m_text.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    m_text.SetText(text);
    m_text.Send(EM_SETSEL, start, end);
    m_text.Send(EM_SCROLLCARET);
}

// The command can come while the button is disabled (Enter, or one sent by
// another window), so the rule is checked again.
void CInputDlg::OnOk() {
    const std::string text = m_text.Text();
    const std::string_view trimmed = TrimAsciiSpace(text);
    if (trimmed.empty()) return;
    m_result = std::string(trimmed);
    m_confirmed = true;
    CDialog::OnOk();
}

bool InputBox(const std::string& caption, const std::string& prompt, std::string& result,
              const std::string& initialText, int maxLength, bool allowTabs, HWND owner) {
    CInputDlg dialog(caption, prompt, initialText, maxLength, allowTabs);
    if (dialog.RunModal(owner) != IDOK || !dialog.Confirmed()) return false;
    result = dialog.Result();
    return true;
}
