// The user's side of sending: Send!, the checks a text goes through with
// their messages, the local commands, the QuickKeys and Shift+Enter.

#include "chatwindow/ChatDlg.h"
#include "chatwindow/KeyMessages.h"
#include "chatwindow/SendPlan.h"
#include "chatwindow/Texts.h"
#include "messaging/TypedText.h"
#include "resources/ResourceIds.h"

void CChatDlg::OnSend() {
    const std::string text = CleanTypedText(m_messageBox.Text());
    const bool sent = !text.empty() && SendTypedText(text);
    // "quit" has ended the window by now.
    if (!Exists()) return;
    if (sent) m_messageBox.SetText("");
    ::SetFocus(m_messageBox.Hwnd());
}

bool CChatDlg::SendTypedText(const std::string& text) {
    using EStep = CSendPlan::EStep;
    const std::string recipient = m_recipients ? m_recipients->SelectedText() : std::string();
    const CSendPlan plan =
        PlanSend(text, recipient, m_session.PeerTable(), m_session.Now(), m_settings.CurrentUserName(nullptr),
                 m_settings.PromptOnAllUsers(), m_session.CodePage());
    switch (plan.step) {
    case EStep::Quit: ::SendMessageW(Hwnd(), WM_COMMAND, ID_APP_EXIT, 0); return true;
    case EStep::ClearHistory: m_history.ClearAll(); return true;
    case EStep::TooLongForAllUsers: ShowMessage(kTooLongForAllUsersText, MB_OK | MB_ICONINFORMATION); return false;
    case EStep::TooLong: ShowMessage(kTooLongText, MB_OK | MB_ICONINFORMATION); return false;
    case EStep::PeerGone:
        RefreshRecipientList();
        ShowMessage(kPeerGoneText, MB_OK);
        return false;
    case EStep::Send: break;
    }
    if (plan.askFirst && ShowMessage(kConfirmAllUsersText, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES) return false;
    if (!m_session.Send(plan.target, plan.sender, text)) {
        ShowMessage(SendFailureText(), MB_OK);
        return false;
    }
    if (plan.appendOwn && Exists()) m_history.AppendMessage(OwnMessage(text));
    return true;
}

CMessageRecord CChatDlg::OwnMessage(const std::string& text) {
    CMessageRecord record;
    record.computer = m_session.LocalComputer();
    record.user = m_settings.CurrentUserName(nullptr);
    record.text = text;
    record.broadcast = 0;
    record.time = m_session.Now();
    return record;
}

bool CChatDlg::IsMessageBoxFocused() const { return m_messageBox.Exists() && ::GetFocus() == m_messageBox.Hwnd(); }

// F2 to F12 in the message box: the first press types the key's text, the
// second within a second sends. Consumed whether or not the key has a text;
// a held key's repeats count as no press at all. Shift+F10 is the message
// box's context menu.
bool CChatDlg::OnQuickKey(const MSG& message) {
    const int number = QuickKeyNumber(static_cast<unsigned>(message.wParam));
    if (number == 0 || IsAltKeyHeld(message) || !IsMessageBoxFocused()) return false;
    if (message.wParam == VK_F10 && IsShiftKeyHeld()) return false;
    if (IsKeyRepeat(message)) return true;
    if (m_quickKeys.Press(number, m_clock.Ticks()) == CQuickKeyState::EPress::SendMessage) {
        OnSend();
        return true;
    }
    const std::string text = m_settings.QuickKeyText(number);
    if (QuickKeyTypesText(text)) TypeQuickKeyText(text);
    return true;
}

// Replaces the selection, undoably, and leaves the inserted text selected.
void CChatDlg::TypeQuickKeyText(const std::string& text) {
    const auto start = static_cast<int>(m_messageBox.Selection().first);
    m_messageBox.ReplaceSelection(text);
    m_messageBox.Select(start, start + static_cast<int>(text.size()));
    m_messageBox.ScrollCaret();
}

// Enter alone is the default button, Send!.
bool CChatDlg::OnShiftEnter(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || !IsShiftKeyHeld() || !IsMessageBoxFocused())
        return false;
    m_messageBox.ReplaceSelection("\r\n");
    return true;
}
