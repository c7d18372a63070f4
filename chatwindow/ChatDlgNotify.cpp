// The chat dialog's reaction to new messages and to the requests to show
// it: the To: selection, the sound, flashing or popping up, and the retry
// while the user types a password or start-up has not finished.

#include "chatwindow/ChatDlg.h"
#include "chatwindow/RecipientList.h"

// The selection follows the sender whatever else happens; the sound and
// the reaction only when the user is not looking at the chat already.
void CChatDlg::NotifyNewMessage(const std::string& lastSender) {
    if (m_settings.DefaultToLastSender()) SelectLastSender(lastSender);
    if (m_alert.IsChatInFront()) return;
    if (m_settings.PlaySound()) m_alert.PlaySound();
    ActivateChat(true);
}

// An unknown computer gives an empty text, which selects the first entry.
void CChatDlg::SelectLastSender(const std::string& lastSender) {
    const std::string entry =
        lastSender.empty() ? std::string(kAllUsersEntry) : m_session.PeerTable().GetListText(lastSender);
    m_toList.Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
}

bool CChatDlg::ActivateChat(bool newMessage) {
    if (!Exists()) return true;
    // Nobody typing a password anywhere is interrupted by a pop-up.
    if (newMessage && (!m_ready || m_alert.IsPasswordFieldFocused())) {
        ::SetTimer(Hwnd(), kNotifyRetryTimer, kNotifyRetryPeriodMs, nullptr);
        return false;
    }
    const HWND popup = ::GetLastActivePopup(Hwnd());
    if (!m_ready && popup == Hwnd()) return true;
    if (newMessage) {
        switch (m_settings.OnNewMessage()) {
        case ENewMessageReaction::FlashTaskbar:
            if (popup == Hwnd() && !::IsWindowVisible(Hwnd())) ShowChat(true, true);
            m_alert.StartFlashing();
            return true;
        case ENewMessageReaction::PopUp: break;
        case ENewMessageReaction::Nothing: return true;
        }
    }
    // A modal window open over the chat keeps its focus and comes forward
    // itself.
    if (popup == Hwnd()) {
        ShowChat(true, false);
        FocusMessageBox();
    }
    if (m_alert.BringToForeground(popup)) return true;
    // Refused (Windows gives the foreground only to a program the user has
    // just used, or that such a program allowed): the window stands shown
    // behind and its caption flashes, as the default reaction does.
    const bool shown = ShowChat(true, false) != FALSE;
    m_alert.StartFlashing();
    return shown;
}

void CChatDlg::OnNotifyRetryTick() {
    if (ActivateChat(true)) ::KillTimer(Hwnd(), kNotifyRetryTimer);
}

// Through the dialog manager, so that the default button follows.
void CChatDlg::FocusMessageBox() {
    if (m_messageBox.Exists())
        ::SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_messageBox.Hwnd()), TRUE);
}
