#include "tools/peer/PeerNode.h"

CPeerNode::CPeerNode(CMailslotApi& api, std::string localComputer, std::string user, std::string buildDate)
    : m_api(api), m_user(std::move(user)), m_session(api, std::move(localComputer), std::move(buildDate), *this) {}

void CPeerNode::ReceiveTick(const ShowFunction& show) {
    // Without a recipient list, the refresh is only the renaming.
    if (m_session.Receive(show)) m_session.Peers().CommitPendingUsers();
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
        if (!m_session.Endpoint().HasMessages()) m_api.Sleep(kReceivePeriodMs);
    }
}

std::vector<std::string> CPeerNode::AlivePeerTexts() {
    std::vector<std::string> texts;
    const std::uint32_t now = m_session.Now();
    for (const CPeerRecord& peer : m_session.PeerTable().Peers())
        if (peer.IsAlive(now)) texts.push_back(peer.GetPeerListText(!peer.pendingUser.empty()));
    return texts;
}
