// The chat dialog's reaction to new messages and to the requests to show
// it: the To: selection, the sound, flashing or popping up, and the retry
// while the user types a password or start-up has not finished, and, for a
// pop-up, while the user types anywhere.

#include "chatwindow/ChatDlg.h"
#include "chatwindow/RecipientList.h"

void CChatDlg::NotifyNewMessage(const std::string& lastSender) {
    const CNewMessagePlan plan =
        PlanNewMessage({m_settings.DefaultToLastSender(), m_settings.PlaySound(), m_alert.IsChatInFront()});
    if (plan.selectSender) SelectLastSender(lastSender);
    if (plan.playSound) m_alert.PlaySound();
    if (plan.activate) ActivateChat(true);
}

// An unknown computer gives an empty text, which selects the first entry.
void CChatDlg::SelectLastSender(const std::string& lastSender) {
    const std::string entry =
        lastSender.empty() ? std::string(kAllUsersEntry) : m_session.PeerTable().GetListText(lastSender);
    m_toList.SelectByPrefix(entry);
    m_lostSelection.Clear();  // a shown message chose anew
}

bool CChatDlg::ActivateChat(bool newMessage) {
    if (!Exists()) return true;
    const HWND popup = ::GetLastActivePopup(Hwnd());
    CActivationState state;
    state.newMessage = newMessage;
    state.ready = m_ready;
    // Asked only where it matters: the check looks into another program.
    state.passwordFocused = newMessage && m_ready && m_alert.IsPasswordFieldFocused();
    state.modalOpen = popup != Hwnd();
    state.visible = ::IsWindowVisible(Hwnd()) != FALSE;
    state.reaction = newMessage ? m_settings.OnNewMessage() : ENewMessageReaction::PopUp;
    // Asked only for a pop-up, the one reaction that takes the keyboard.
    state.typingElsewhere = newMessage && m_ready && state.reaction == ENewMessageReaction::PopUp &&
                            MustPopUpWait(m_alert.UserInput());
    const CActivationPlan plan = PlanActivation(state);

    if (plan.retryLater) {
        ::SetTimer(Hwnd(), kNotifyRetryTimer, kNotifyRetryPeriodMs, nullptr);
        return false;
    }
    if (plan.showMinimised) ShowChat(true, true);
    if (plan.startFlashing) m_alert.StartFlashing();
    if (plan.show) ShowChat(true, false);
    if (plan.focusMessageBox) FocusMessageBox();
    if (!plan.bringForward || m_alert.BringToForeground(popup)) return plan.done;
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
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_messageBox.Hwnd()), TRUE);
}
