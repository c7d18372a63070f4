#include "tools/peer/PeerNode.h"

#include "messaging/CommandText.h"
#include "messaging/ReceiveTick.h"

CPeerNode::CPeerNode(CMailslotApi& api, std::string localComputer, std::string user, std::string buildDate)
    : m_api(api),
      m_localComputer(std::move(localComputer)),
      m_user(std::move(user)),
      m_buildDate(std::move(buildDate)),
      m_endpoint(api, "Mivlet", m_localComputer) {}

bool CPeerNode::Ping() {
    return m_endpoint.Send("*", kCommandMarker, (std::string(kPingText) + m_user).c_str(), true);
}

bool CPeerNode::SendExitNotice() { return m_endpoint.Send("*", kCommandMarker, kExitNoticeText, true); }

void CPeerNode::SendVersionReply(const std::string& computer) {
    m_endpoint.Send(computer.c_str(), m_localComputer.c_str(), MakeVersionReply(m_buildDate).c_str(), true);
}

void CPeerNode::ReceiveTick(const ShowFunction& show) {
    if (!m_endpoint.HasMessages()) return;
    std::vector<CMessageRecord> records;
    m_endpoint.Receive(records);
    ProcessReceivedRecords(records, m_peers, this, m_localComputer, show);
    // Without a recipient list, the refresh is only the renaming.
    m_peers.CommitPendingUsers();
}

void CPeerNode::Run(std::uint32_t milliseconds, const ShowFunction& show, const std::function<bool()>& stop) {
    const std::uint32_t start = m_api.GetTickCount();
    std::uint32_t lastPing = start;
    Ping();
    for (;;) {
        if (stop && stop()) return;
        ReceiveTick(show);
        const std::uint32_t now = m_api.GetTickCount();
        if (now - start >= milliseconds) return;
        if (now - lastPing >= kPingPeriodMs) {
            lastPing = now;
            Ping();
        }
        // A drain stops at its bound; what it left is read without waiting.
        if (!m_endpoint.HasMessages()) m_api.Sleep(kReceivePeriodMs);
    }
}

std::vector<std::string> CPeerNode::AlivePeerTexts() {
    std::vector<std::string> texts;
    const std::uint32_t now = m_api.GetTime();
    for (const CPeerRecord& peer : m_peers.Peers())
        if (peer.IsAlive(now)) texts.push_back(peer.GetPeerListText(!peer.pendingUser.empty()));
    return texts;
}
