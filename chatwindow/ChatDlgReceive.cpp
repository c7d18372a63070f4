// The chat dialog's messaging side: the receive and ping ticks, and the To:
// list mirrored from the peer table.

#include "chatwindow/ChatDlg.h"
#include "resources/ResourceIds.h"

void CChatDlg::OnReceiveTick() {
    const auto last =
        m_session.Receive([this](const CMessageRecord& record) { m_history.AppendMessage(record); });
    // A quit command may have ended the window within this tick.
    if (!Exists()) return;
    if (last) {
        RefreshRecipientList();
        if (last->found) NotifyNewMessage(last->sender);
    }
    PaceReceiving();
}

// One receive step reads a bounded number of datagrams. Under a flood it
// leaves some, and the next step runs as soon as everything else that
// waits for the window has been handled, rather than 50 ms later.
void CChatDlg::PaceReceiving() {
    const bool behind = m_session.HasMore();
    if (behind == m_receiveBehind) return;
    m_receiveBehind = behind;
    ::SetTimer(Hwnd(), kReceiveTimer, behind ? kCatchUpPeriodMs : kReceivePeriodMs, nullptr);
}

void CChatDlg::OnPresenceTick() {
    SendPresencePing();
    RefreshRecipientList();
}

void CChatDlg::RefreshRecipientList() {
    if (!m_recipients || !m_toList.Exists()) return;
    ::RefreshRecipientList(m_session.Peers(), m_session.Now(), *m_recipients);
}

// As the Exit command does, so that the exit notice goes out too.
void CChatDlg::Exit() { ::SendMessageA(Hwnd(), WM_COMMAND, ID_APP_EXIT, 0); }
