// The chat dialog's messaging side: the receive and ping ticks, and the To:
// list mirrored from the peer table.

#include "chatwindow/ChatDlg.h"

#include <vector>

#include "resources/ResourceIds.h"

// While datagrams are left over, steps follow one another for as long as
// nothing waits for the window: no input, no message sent from another
// program, and not longer than a budget, after which it paints.
void CChatDlg::OnReceiveTick() {
    const DWORD start = ::GetTickCount();
    do {
        if (!ReceiveStep()) return;
    } while (m_session.HasMore() && HIWORD(::GetQueueStatus(QS_INPUT | QS_SENDMESSAGE | QS_HOTKEY)) == 0 &&
             ::GetTickCount() - start < kCatchUpBudgetMs);
    PaceReceiving();
}

bool CChatDlg::ReceiveStep() {
    std::vector<CMessageRecord> arrived;
    const auto last =
        m_session.Receive([&arrived](const CMessageRecord& record) { arrived.push_back(record); });
    m_history.AppendMessages(arrived);
    // A quit command may have ended the window within this step.
    if (!Exists()) return false;
    if (last) {
        RefreshRecipientList();
        if (last->found) NotifyNewMessage(last->sender);
    }
    return true;
}

// The carrier posts its notice again after reads that leave datagrams
// waiting, and the loop takes posted messages before input and painting:
// while the window is behind, notices would keep it from both. The
// catch-up timer, which comes after them, does the reading then.
void CChatDlg::OnDatagramArrived() {
    MSG more;
    while (::PeekMessageW(&more, Hwnd(), kMessageArrived, kMessageArrived, PM_REMOVE)) {
    }
    if (!m_receiveBehind) OnReceiveTick();
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

// A refresh changes a bounded number of entries; the rest follows as soon as
// the loop has nothing else to do (a timer's message comes after input and
// painting).
void CChatDlg::RefreshRecipientList() {
    if (!m_recipients || !m_toList.Exists()) return;
    const bool done =
        ::RefreshRecipientList(m_session.Peers(), m_session.Now(), *m_recipients, m_lostSelection,
                               kMaxListChangesPerRefresh);
    if (done)
        ::KillTimer(Hwnd(), kListTimer);
    else
        ::SetTimer(Hwnd(), kListTimer, USER_TIMER_MINIMUM, nullptr);
}

// As the Exit command does, so that the exit notice goes out too.
void CChatDlg::Exit() { ::SendMessageW(Hwnd(), WM_COMMAND, ID_APP_EXIT, 0); }
