// The chat dialog's messaging side: the receive and ping ticks, the To: list
// mirrored from the peer table, and the commands of other copies.

#include <vector>

#include "chatwindow/ChatDlg.h"
#include "messaging/CommandText.h"
#include "messaging/ReceiveTick.h"
#include "resources/ResourceIds.h"
#include "util/AsciiText.h"

void CChatDlg::OnReceiveTick() {
    if (!m_mailslot->HasMessages()) return;
    std::vector<CMessageRecord> records;
    m_mailslot->Receive(records);
    if (records.empty()) return;
    const CLastSender last = ProcessReceivedRecords(records, m_peers, this, m_mailslot->LocalComputer(),
                                                    [this](const CMessageRecord& record) { m_history.AppendMessage(record); });
    // A quit command may have ended the window within this tick.
    if (!Exists()) return;
    RefreshRecipientList();
    if (last.found) NotifyNewMessage(last.sender);
}

void CChatDlg::OnPresenceTick() {
    SendPresencePing();
    RefreshRecipientList();
}

void CChatDlg::RefreshRecipientList() {
    if (!m_recipients || !m_toList.Exists()) return;
    ::RefreshRecipientList(m_peers, Now(), *m_recipients);
}

// Flashing, the pop-up and the sound come with the notification rules; the
// selection of the sender is what the conversation needs.
void CChatDlg::NotifyNewMessage(const std::string& lastSender) {
    if (!m_settings.DefaultToLastSender()) return;
    // An unknown computer gives an empty text, which selects the first entry.
    const std::string entry = lastSender.empty() ? std::string(kAllUsersEntry) : m_peers.GetListText(lastSender);
    m_toList.Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
}

// The asker's name comes from the datagram and may be made up: a name that
// cannot be opened would hold the window for the whole retry window, once
// for every such request. Copies that ping are known, and get the retries.
void CChatDlg::SendVersionReply(const std::string& computer) {
    const std::string& local = m_mailslot->LocalComputer();
    const bool known = m_peers.FindPeer(computer) >= 0 || EqualsNoCaseAscii(computer, local);
    const std::string reply = MakeVersionReply(ThisBuild());
    m_mailslot->Send(computer.c_str(), local.c_str(), reply.c_str(), known);
}

// As the Exit command does, so that the exit notice goes out too.
void CChatDlg::Exit() { ::SendMessageA(Hwnd(), WM_COMMAND, ID_APP_EXIT, 0); }
